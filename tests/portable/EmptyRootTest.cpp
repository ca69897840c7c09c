// The default, portable puzzle on a machine with nothing installed: it is started inside an
// empty root (a chroot holding only the puzzle, an empty home and /tmp, with /proc, /dev, the X
// socket and the socket of a PulseAudio server this test starts bound in). Its board must show
// on the screen, and its song (a knock each second) must reach the server's null sink. There a
// damaged portable puzzle started with its standard files closed (as from a file manager), and a
// lean puzzle, whose libraries the root lacks, each say why in a window of the launcher's own.
// Then the cache the puzzle unpacked into is damaged in the ways a crash, a `chmod -R` or older
// builds leave it, one at a time: each start must still show the board and leave the cache as
// the first left it.
//   empty_root_test ARTIFACTS_DIR
// Run it under xvfb-run, as root. Exits 77 (a skip) with the reason when no chroot can be made.
#include "package/PortableImage.h"
#include "support/TestSupport.h"
#include "xvfb/ScreenSupport.h"
#include "xvfb/X11Support.h"

#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <sched.h>
#include <signal.h>
#include <string>
#include <sys/mount.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

// The board colour the puzzle is packed with, #336699: nothing else on the screen has it.
constexpr std::uint32_t BoardRgb = 0x336699;

bool OnPath(const std::string& program) {
    return std::system(("command -v " + program + " >/dev/null 2>&1").c_str()) == 0;
}

// Runs `argv` with its output to `log` (with its standard files closed when `log` is empty), in
// `root` when one is given; returns its process id.
pid_t Spawn(const std::vector<std::string>& argv, const std::vector<std::string>& environment,
            const std::string& log, const std::string& root = {}) {
    const pid_t pid = fork();
    if (pid != 0) {
        return pid;
    }
    if (log.empty()) {
        close(0);
        close(1);
        close(2);
    } else {
        const int out = open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        dup2(out, 1);
        dup2(out, 2);
    }
    if (!root.empty() && (chroot(root.c_str()) != 0 || chdir("/") != 0)) {
        _exit(126);
    }
    std::vector<char*> args;
    for (const std::string& a : argv) {
        args.push_back(const_cast<char*>(a.c_str()));
    }
    args.push_back(nullptr);
    std::vector<char*> envp;
    for (const std::string& v : environment) {
        envp.push_back(const_cast<char*>(v.c_str()));
    }
    envp.push_back(nullptr);
    execvpe(args[0], args.data(), envp.data());
    _exit(127);
}

void Stop(pid_t pid) {
    if (pid > 0) {
        kill(pid, SIGTERM);
        waitpid(pid, nullptr, 0);
    }
}

// Ends the processes running in the root (the puzzle started afresh by its launcher's watcher).
void StopAllIn(const std::string& root) {
    for (const auto& process : fs::directory_iterator("/proc")) {
        std::error_code error;
        const pid_t pid = std::atoi(process.path().filename().c_str());
        if (pid > 0 && fs::read_symlink(process.path() / "root", error) == fs::path(root)) {
            kill(pid, SIGTERM);
        }
    }
}

std::string Text(const std::string& path) {
    const Bytes bytes = ReadBytes(path);
    return {bytes.begin(), bytes.end()};
}

// A private mount namespace, so that the binds vanish with this process.
std::string MakePrivateMounts() {
    if (getuid() != 0) {
        return "making a chroot needs root";
    }
    if (unshare(CLONE_NEWNS) != 0) {
        return std::string("no mount namespace here: ") + std::strerror(errno);
    }
    if (mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
        return std::string("mounts cannot be made private here: ") + std::strerror(errno);
    }
    return {};
}

// The mounts made in the root, undone before the scratch folder that holds the root is removed:
// removing it through a bound /dev would remove the machine's devices. When one cannot be
// undone the test ends at once and leaves its folder behind.
class RootMounts {
public:
    ~RootMounts() {
        for (auto at = Points.rbegin(); at != Points.rend(); ++at) {
            if (umount2(at->c_str(), MNT_DETACH) != 0) {
                std::printf("FAILED: cannot unmount %s; the scratch folder stays\n", at->c_str());
                std::fflush(stdout);
                _exit(1);
            }
        }
    }
    bool Bind(const std::string& from, const std::string& to) {
        return Made(to, mount(from.c_str(), to.c_str(), nullptr, MS_BIND | MS_REC, nullptr));
    }
    bool Proc(const std::string& to) {
        return Made(to, mount("proc", to.c_str(), "proc", 0, nullptr));
    }

private:
    bool Made(const std::string& point, int result) {
        if (result == 0) {
            Points.push_back(point);
        }
        return result == 0;
    }
    std::vector<std::string> Points;
};

// The share of the screen's pixels that show the board colour.
double BoardShare() {
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    xcb_get_image_reply_t* image =
        xcb_get_image_reply(c,
                            xcb_get_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, screen->root, 0, 0,
                                          screen->width_in_pixels, screen->height_in_pixels, ~0u),
                            nullptr);
    double share = 0;
    if (image != nullptr) {
        const auto* pixels = reinterpret_cast<const std::uint32_t*>(xcb_get_image_data(image));
        const int count = xcb_get_image_data_length(image) / 4;
        int board = 0;
        for (int i = 0; i < count; ++i) {
            board += (pixels[i] & 0xFFFFFF) == BoardRgb;
        }
        share = count > 0 ? static_cast<double>(board) / count : 0;
        free(image);
    }
    xcb_disconnect(c);
    return share;
}

// The loudest 20 ms of a recording of 16-bit mono samples.
double Loudest(const std::string& rawFile) {
    const Bytes bytes = ReadBytes(rawFile);
    constexpr std::size_t Window = 2 * 44100 / 50;
    double loudest = 0;
    for (std::size_t at = 0; at + Window <= bytes.size(); at += Window) {
        double sum = 0;
        for (std::size_t i = at; i < at + Window; i += 2) {
            const auto sample = static_cast<std::int16_t>(bytes[i] | bytes[i + 1] << 8);
            sum += static_cast<double>(sample) * sample;
        }
        loudest = std::max(loudest, std::sqrt(sum / (Window / 2)));
    }
    return loudest;
}

void SavePpm(const std::vector<std::uint32_t>& shot, int screenWidth, const ShownWindow& w,
             const fs::path& file) {
    std::ofstream out(file, std::ios::binary);
    out << "P6\n" << w.Width << " " << w.Height << "\n255\n";
    for (int y = w.Y; y < w.Y + w.Height; ++y) {
        for (int x = w.X; x < w.X + w.Width; ++x) {
            const std::uint32_t p = shot[static_cast<std::size_t>(y * screenWidth + x)];
            out.put(static_cast<char>(p >> 16))
                .put(static_cast<char>(p >> 8))
                .put(static_cast<char>(p));
        }
    }
}

// The launcher's failure window, captioned "Tavrin", shows for the puzzle process `pid`, painted
// (dark text on a light ground; its screenshot is saved as `artifact`), and closing it (with its
// OK button at the bottom middle, or as a window manager does) ends the puzzle.
void CheckFailureWindow(const Screen& s, pid_t pid, const std::string& what,
                        const fs::path& artifact, bool withButton) {
    const bool shown = WaitForWindows(s, pid, "Tavrin", 1);
    Check(shown, what + " shows a window captioned Tavrin");
    if (shown) {
        const ShownWindow w = Captioned(s, pid, "Tavrin").back();
        WaitForStableScreen(s);
        const std::vector<std::uint32_t> shot = Screenshot(s);
        SavePpm(shot, s.Root->width_in_pixels, w, artifact);
        const double dark = BlackShare(shot, s.Root->width_in_pixels, w);
        Check(dark > 0 && dark < 0.5, what + ": its window shows text");
        if (withButton) {
            Click(s, w.X + w.Width / 2, w.Y + w.Height - 24);
        } else {
            RequestClose(s.Connection, w.Id);
        }
        xcb_flush(s.Connection);
    } else {
        kill(pid, SIGTERM);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    Check(shown && WIFEXITED(status) && WEXITSTATUS(status) == 127,
          what + ": closing its window ends the puzzle");
}

// A copy of the portable puzzle with one byte of its bundle changed.
void WriteDamaged(const std::string& puzzle, const std::string& damaged) {
    Bytes bytes = ReadBytes(puzzle);
    bytes[*ElfFileEnd(bytes) + BundleHeader::Size + 4096] ^= 1;
    WriteBytes(damaged, bytes);
    fs::permissions(damaged, fs::perms::owner_all);
}

// A standard MIDI file of one second: a wood block knocks at its start, then rests.
Bytes KnockAndRest() {
    return {'M',  'T',  'h',  'd',  0,   0,   0,    6,    0,    0,    0,    1,
            0x01, 0xE0, 'M',  'T',  'r', 'k', 0,    0,    0,    13,   0x00, 0x99,
            76,   127,  0x60, 0x89, 76,  0,   0x86, 0x60, 0xFF, 0x2F, 0x00};
}

// Waits until the board shows (true) or 30 s have passed.
bool BoardShows() {
    for (int i = 0; i < 300; ++i) {
        if (BoardShare() >= 0.5) {
            return true;
        }
        std::this_thread::sleep_for(100ms);
    }
    return false;
}

// Stops the player and waits (at most 5 s) until its window has left the screen.
void StopPlayer(pid_t player) {
    Stop(player);
    for (int i = 0; i < 50 && BoardShare() >= 0.5; ++i) {
        std::this_thread::sleep_for(100ms);
    }
}

// Every entry of the cache folder with its size (-1 for a folder) and, for folders, mode.
std::map<std::string, std::intmax_t> CacheContents(const std::string& cache) {
    std::map<std::string, std::intmax_t> contents;
    for (const auto& entry : fs::recursive_directory_iterator(cache)) {
        const std::string name = fs::relative(entry.path(), cache).string();
        contents[name] = entry.is_regular_file()
                             ? static_cast<std::intmax_t>(entry.file_size())
                             : -static_cast<std::intmax_t>(entry.status().permissions());
    }
    return contents;
}

// The ways a cache is found damaged or cluttered, given the cache folder and the build's folder.
struct CacheDamage {
    const char* What;
    std::function<void(const std::string& cache, const std::string& build)> Apply;
};

const std::vector<CacheDamage> CacheDamages = {
    {"an emptied library (a crash during the first unpack)",
     [](const std::string&, const std::string& build) {
         fs::resize_file(build + "/lib/libc.so.6", 0);
     }},
    {"a cache folder of mode 0755 (chmod -R a+rX of the home)",
     [](const std::string& cache, const std::string& build) {
         fs::permissions(cache, fs::perms::owner_all | fs::perms::group_read |
                                    fs::perms::group_exec | fs::perms::others_read |
                                    fs::perms::others_exec);
         fs::permissions(build, fs::perms::group_read | fs::perms::others_read,
                         fs::perm_options::add);
     }},
    {"an unfinished unpack, a lock and a build unused for 40 days",
     [](const std::string& cache, const std::string& build) {
         const std::string other(64, 'e');
         const std::string old(64, 'f');
         fs::create_directories(build + ".part-1/lib");
         fs::create_directories(cache + "/" + other + ".part-2");
         WriteBytes(cache + "/" + other + ".lock", {});
         fs::create_directories(cache + "/" + old + "/lib");
         WriteBytes(cache + "/" + old + "/lib/libc.so.6", Bytes(100));
         fs::last_write_time(cache + "/" + old, fs::file_time_type::clock::now() - 24h * 40);
     }},
    {"a folder without its list of files (unpacked, then cut short before it was whole)",
     [](const std::string&, const std::string& build) { fs::remove(build + "/unpacked.list"); }},
};

// Starts the puzzle on each damaged cache: the board must show and the cache be as before.
// The entries of `a` that `b` lacks or holds with another size or mode.
std::string Difference(const std::map<std::string, std::intmax_t>& a,
                       const std::map<std::string, std::intmax_t>& b) {
    std::string names;
    for (const auto& [name, size] : a) {
        names += b.contains(name) && b.at(name) == size ? "" : " " + name;
    }
    return names;
}

void CheckCacheMends(const std::string& root, const std::function<pid_t()>& start,
                     const std::string& log) {
    const std::string cache = root + "/home/.cache/tavrin";
    const auto sound = CacheContents(cache);
    std::string build;
    for (const auto& [name, size] : sound) {
        build = name.size() == 64 && sound.contains(name + "/lib/libc.so.6") ? cache + "/" + name
                                                                             : build;
    }
    Check(!build.empty() && sound.contains(fs::relative(build, cache).string() + "/unpacked.list"),
          "the first start leaves a whole player folder in the cache");
    for (const CacheDamage& damage : CacheDamages) {
        damage.Apply(cache, build);
        const pid_t player = start();
        const bool shows = BoardShows();
        Check(shows, std::string("the board shows on ") + damage.What);
        StopPlayer(player);
        if (!shows) {
            std::printf("the puzzle said:\n%s\n", Text(log).c_str());
        }
        const auto now = CacheContents(cache);
        Check(now == sound && fs::status(cache).permissions() == fs::perms::owner_all,
              std::string("the cache is mended after ") + damage.What + " (missing or changed:" +
                  Difference(sound, now) + "; left over:" + Difference(now, sound) + ")");
    }
}

} // namespace

int main(int argc, char** argv) {
    for (const char* program : {"pulseaudio", "parec", "pactl"}) {
        if (!OnPath(program)) {
            std::printf("skipped: %s is not installed (apt-get install pulseaudio "
                        "pulseaudio-utils)\n",
                        program);
            return 77;
        }
    }
    if (const std::string why = MakePrivateMounts(); !why.empty()) {
        std::printf("skipped: %s\n", why.c_str());
        return 77;
    }
    const ScratchFolder work;
    const std::string root = work.File("root");
    const std::string sockets = work.File("pulse");
    for (const char* folder : {"proc", "dev", "tmp/.X11-unix", "home", "run/pulse"}) {
        fs::create_directories(root + "/" + folder);
    }
    fs::create_directories(sockets);
    fs::permissions(root + "/tmp", fs::perms::all | fs::perms::sticky_bit);
    fs::permissions(root + "/home", fs::perms::owner_all);

    const std::string socket = sockets + "/native";
    const pid_t server =
        Spawn({"pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1", "--use-pid-file=no",
               "--log-target=stderr", "-L", "module-null-sink sink_name=tavrin_null", "-L",
               "module-native-protocol-unix auth-anonymous=1 socket=" + socket},
              {"HOME=" + work.Path(), "XDG_RUNTIME_DIR=" + sockets, "PATH=/usr/bin:/bin"},
              work.File("server.log"));
    bool ready = false;
    for (int i = 0; i < 100 && !ready; ++i) {
        std::this_thread::sleep_for(100ms);
        ready = std::system(
                    ("PULSE_SERVER=unix:" + socket + " pactl info >/dev/null 2>&1").c_str()) == 0;
    }
    if (!ready) {
        Stop(server);
        std::printf("skipped: PulseAudio cannot start here:\n%s\n",
                    Text(work.File("server.log")).c_str());
        return 77;
    }
    RootMounts mounts;
    Check(mounts.Proc(root + "/proc") && mounts.Bind("/dev", root + "/dev") &&
              mounts.Bind("/tmp/.X11-unix", root + "/tmp/.X11-unix") &&
              mounts.Bind(sockets, root + "/run/pulse"),
          "/proc, /dev, the X socket and the sound server's socket are bound into the root");

    WriteBytes(work.File("song.mid"), KnockAndRest());
    const CommandResult packed =
        RunPackTool({"--picture", TAVRIN_SOURCE_DIR "/resources/demo/winter-village.jpg", "--song",
                     work.File("song.mid"), "--color", "#336699", "-o", root + "/puzzle"});
    Check(packed.ExitCode == 0, "the default puzzle is packed " + packed.Err);
    const char* xauthority = std::getenv("XAUTHORITY");
    if (xauthority != nullptr) {
        fs::copy_file(xauthority, root + "/home/.Xauthority");
    }
    const fs::path artifacts = argc > 1 ? argv[1] : work.Path();
    fs::create_directories(artifacts);
    const std::vector<std::string> environment = {"HOME=/home",
                                                  "DISPLAY=" + std::string(std::getenv("DISPLAY")),
                                                  "XAUTHORITY=/home/.Xauthority"};
    const auto start = [&] {
        std::vector<std::string> withSound = environment;
        withSound.push_back("PULSE_SERVER=unix:/run/pulse/native");
        withSound.push_back("LD_PRELOAD=/home/absent.so");
        return Spawn({"/puzzle"}, withSound, work.File("player.log"), root);
    };
    WriteDamaged(root + "/puzzle", root + "/damaged");
    std::vector<std::string> damagedEnvironment = environment;
    damagedEnvironment.push_back("XDG_CACHE_HOME=/tmp");
    // Held open to the end: the server resets when its last client leaves, and a client that
    // connects meanwhile is refused.
    const auto screen = OpenScreen();
    Check(screen.has_value(), "the X server is reached");
    if (!screen) {
        Stop(server);
        return CheckSummary();
    }
    CheckFailureWindow(*screen, Spawn({"/damaged"}, damagedEnvironment, "", root),
                       "a damaged puzzle started with its standard files closed",
                       artifacts / "failure-window-damaged.ppm", true);
    const CommandResult lean =
        RunPackTool({"--lean", "--picture", TAVRIN_SOURCE_DIR "/resources/demo/winter-village.jpg",
                     "-o", root + "/lean"});
    Check(lean.ExitCode == 0, "the lean puzzle is packed " + lean.Err);
    CheckFailureWindow(*screen, Spawn({"/lean"}, environment, work.File("lean.log"), root),
                       "a lean puzzle without its libraries", artifacts / "failure-window-lean.ppm",
                       false);
    const std::string leanSaid = Text(work.File("lean.log"));
    const bool named =
        leanSaid.find("apt-get install libqt6widgets6 qt6-qpa-plugins "
                      "libjpeg62-turbo libfluidsynth3 timgm6mb-soundfont") != std::string::npos;
    Check(named, "the lean puzzle names the packages to install" + (named ? "" : ":\n" + leanSaid));

    const pid_t player = start();

    double share = 0;
    for (int i = 0; i < 300 && share < 0.5; ++i) {
        std::this_thread::sleep_for(100ms);
        share = BoardShare();
    }
    Check(share >= 0.5, "the board colour covers most of the screen (" +
                            std::to_string(static_cast<int>(share * 100)) + " %)");
    const std::string playerEnvironment =
        '\0' + Text("/proc/" + std::to_string(player) + "/environ");
    Check(
        playerEnvironment.find(std::string(1, '\0') + "LD_PRELOAD=") == std::string::npos &&
            playerEnvironment.find("TAVRIN_SAVED_ENVIRONMENT=LD_PRELOAD=/home/absent.so;") !=
                std::string::npos,
        "LD_PRELOAD does not reach the bundled loader, and is kept for programs the player starts");
    const pid_t recorder =
        Spawn({"parec", "--device=tavrin_null.monitor", "--raw", "--format=s16le", "--rate=44100",
               "--channels=1", "--file-format=raw", work.File("recording.raw")},
              {"PULSE_SERVER=unix:" + socket, "HOME=" + work.Path(), "PATH=/usr/bin:/bin"},
              work.File("parec.log"));
    std::this_thread::sleep_for(4s);
    Stop(recorder);
    const double loudest = Loudest(work.File("recording.raw"));
    Check(loudest > 300, "the song is heard at the sink (loudest 20 ms: " +
                             std::to_string(static_cast<int>(loudest)) + ")");
    StopPlayer(player);
    CheckCacheMends(root, start, work.File("player.log"));

    // A cache whose files have their sizes but that the loader cannot start from (a library
    // overwritten) is unpacked again by the puzzle started afresh, whose board then shows.
    fs::path library;
    for (const auto& folder : fs::directory_iterator(root + "/home/.cache/tavrin")) {
        if (fs::exists(folder.path() / "lib/libQt6Core.so.6")) {
            library = folder.path() / "lib/libQt6Core.so.6";
            std::fstream(library, std::ios::in | std::ios::out | std::ios::binary)
                .write(std::string(4096, '\0').data(), 4096);
        }
    }
    const pid_t again = start();
    Check(BoardShows() && ReadBytes(library.string()).at(1) == 'E',
          "a cache the loader cannot start from is unpacked again and the board shows");
    StopPlayer(again);
    StopAllIn(root);
    Stop(server);
    const int status = CheckSummary();
    if (status != 0) {
        std::printf("the puzzle said:\n%s\n", Text(work.File("player.log")).c_str());
    }
    return status;
}

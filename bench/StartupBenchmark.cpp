// The player as a user meets it, timed from outside: launch a puzzle on the current X server,
// watch the screen until it stops changing, read the player's peak memory, then drag a piece
// with real pointer events and count the player's CPU time per pointer motion.
//   tavrin_startup_bench PUZZLE BOARD-COLOR-RRGGBB RUNS
// Prints one line per run and a summary line of minima and medians, all tab-separated.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <signal.h>
#include <spawn.h>
#include <string>
#include <sys/mman.h>
#include <sys/shm.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>
#include <xcb/shm.h>
#include <xcb/xcb.h>
#include <xcb/xtest.h>

extern char** environ;

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

// The screen must keep still this long to count as settled.
constexpr auto SettleTime = 1500ms;
constexpr auto GiveUpAfter = 30s;
// A pointer that reports 250 times a second; the drag is a square walked out and back.
constexpr auto MotionInterval = 4ms;
constexpr int DragSide = 200;
constexpr int DragStep = 2;
constexpr int MenuBarRoom = 80;

struct Run {
    double StableMs = 0;
    double PeakRssMiB = 0;
    double CpuPerMotionUs = 0;
};

// Root-window captures through a shared-memory segment.
class ScreenCapture {
public:
    explicit ScreenCapture(xcb_connection_t* c)
        : Connection(c)
        , Root(xcb_setup_roots_iterator(xcb_get_setup(c)).data) {
        Bytes = static_cast<std::size_t>(Width()) * Height() * 4;
        SegmentId = shmget(IPC_PRIVATE, Bytes, IPC_CREAT | 0600);
        Pixels = static_cast<const std::uint32_t*>(shmat(SegmentId, nullptr, SHM_RDONLY));
        shmctl(SegmentId, IPC_RMID, nullptr);
        Segment = xcb_generate_id(c);
        xcb_shm_attach(c, Segment, static_cast<std::uint32_t>(SegmentId), 0);
    }
    ~ScreenCapture() { shmdt(Pixels); }

    int Width() const { return Root->width_in_pixels; }
    int Height() const { return Root->height_in_pixels; }
    xcb_window_t RootWindow() const { return Root->root; }

    // Takes the screen and returns a fingerprint of it.
    std::uint64_t Take() {
        auto* reply = xcb_shm_get_image_reply(
            Connection,
            xcb_shm_get_image(Connection, Root->root, 0, 0, Root->width_in_pixels,
                              Root->height_in_pixels, ~0u, XCB_IMAGE_FORMAT_Z_PIXMAP, Segment, 0),
            nullptr);
        std::free(reply);
        // Four independent lanes, so that the fingerprint costs little of the machine's time.
        const auto* words = reinterpret_cast<const std::uint64_t*>(Pixels);
        std::uint64_t lanes[4] = {1, 2, 3, 4};
        const std::size_t count = Bytes / 8 / 4 * 4;
        for (std::size_t i = 0; i < count; i += 4) {
            for (int lane = 0; lane < 4; ++lane) {
                lanes[lane] = (lanes[lane] ^ words[i + lane]) * 0x9E3779B97F4A7C15ull;
            }
        }
        return lanes[0] ^ (lanes[1] << 1) ^ (lanes[2] << 2) ^ (lanes[3] << 3);
    }

    std::uint32_t At(int x, int y) const {
        return Pixels[static_cast<std::size_t>(y) * Width() + x] & 0xFFFFFF;
    }

private:
    xcb_connection_t* Connection;
    xcb_screen_t* Root;
    std::size_t Bytes = 0;
    int SegmentId = -1;
    const std::uint32_t* Pixels = nullptr;
    xcb_shm_seg_t Segment = 0;
};

pid_t StartPlayer(const std::string& puzzle, const fs::path& home) {
    std::vector<std::string> env;
    for (char** e = environ; *e != nullptr; ++e) {
        const std::string entry = *e;
        if (entry.rfind("HOME=", 0) != 0 && entry.rfind("XDG_RUNTIME_DIR=", 0) != 0 &&
            entry.rfind("QT_QPA_PLATFORM=", 0) != 0) {
            env.push_back(entry);
        }
    }
    env.push_back("HOME=" + home.string());
    env.push_back("XDG_RUNTIME_DIR=" + (home / "runtime").string());
    env.push_back("QT_QPA_PLATFORM=xcb");
    std::vector<char*> envp;
    for (auto& e : env) {
        envp.push_back(e.data());
    }
    envp.push_back(nullptr);
    std::string program = puzzle;
    char* argv[] = {program.data(), nullptr};
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    const std::string log = (home / "player.log").string();
    posix_spawn_file_actions_addopen(&files, 2, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    pid_t pid = -1;
    if (posix_spawn(&pid, program.c_str(), &files, nullptr, argv, envp.data()) != 0) {
        pid = -1;
    }
    posix_spawn_file_actions_destroy(&files);
    return pid;
}

// The time from `start` at which the screen took the look it then kept for SettleTime.
std::optional<double> WaitUntilSettled(ScreenCapture& screen, Clock::time_point start) {
    std::uint64_t last = screen.Take();
    auto lastChange = Clock::now();
    bool changed = false;
    while (Clock::now() - start < GiveUpAfter) {
        const auto asked = Clock::now();
        const std::uint64_t now = screen.Take();
        if (now != last) {
            last = now;
            lastChange = asked;
            if (std::getenv("BENCH_DEBUG") != nullptr) {
                std::fprintf(stderr, "change at %.1f ms\n",
                             std::chrono::duration<double, std::milli>(asked - start).count());
            }
            changed = true;
        } else if (changed && asked - lastChange >= SettleTime) {
            return std::chrono::duration<double, std::milli>(lastChange - start).count();
        }
        std::this_thread::sleep_for(2ms);
    }
    return std::nullopt;
}

// CPU time of every thread of the process so far, in nanoseconds.
std::uint64_t CpuNanoseconds(pid_t pid) {
    std::uint64_t total = 0;
    for (const auto& task : fs::directory_iterator("/proc/" + std::to_string(pid) + "/task")) {
        std::ifstream in(task.path() / "schedstat");
        std::uint64_t onCpu = 0;
        if (in >> onCpu) {
            total += onCpu;
        }
    }
    return total;
}

double PeakRssMiB(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("VmHWM:", 0) == 0) {
            return std::stod(line.substr(6)) / 1024.0;
        }
    }
    return 0;
}

// A point well inside a piece: a block of pixels none of which has the board's colour, away
// from the menu bar and with room for the drag around it.
std::optional<std::pair<int, int>> PointOnAPiece(const ScreenCapture& screen, std::uint32_t board) {
    const int margin = DragSide + 20;
    for (int y = std::max(MenuBarRoom, margin); y < screen.Height() - margin; y += 3) {
        for (int x = margin; x < screen.Width() - margin; x += 3) {
            bool inside = true;
            for (int dy = -4; dy <= 4 && inside; ++dy) {
                for (int dx = -4; dx <= 4 && inside; ++dx) {
                    inside = screen.At(x + dx, y + dy) != board;
                }
            }
            if (inside) {
                return std::pair{x, y};
            }
        }
    }
    return std::nullopt;
}

void Fake(xcb_connection_t* c, xcb_window_t root, std::uint8_t type, std::uint8_t detail, int x,
          int y) {
    xcb_test_fake_input(c, type, detail, XCB_CURRENT_TIME, root, static_cast<std::int16_t>(x),
                        static_cast<std::int16_t>(y), 0);
    xcb_flush(c);
}

// The pointer's path: out along a square and back, DragStep pixels a motion.
std::vector<std::pair<int, int>> DragPath(int x, int y) {
    std::vector<std::pair<int, int>> path;
    const int steps = DragSide / DragStep;
    for (int i = 1; i <= steps; ++i)
        path.emplace_back(x + i * DragStep, y);
    for (int i = 1; i <= steps; ++i)
        path.emplace_back(x + DragSide, y + i * DragStep);
    for (int i = 1; i <= steps; ++i)
        path.emplace_back(x + DragSide - i * DragStep, y + DragSide);
    for (int i = 1; i <= steps; ++i)
        path.emplace_back(x, y + DragSide - i * DragStep);
    return path;
}

// The player's CPU time per pointer motion while it drags the piece under (x, y), less what it
// spends idle over as long a time (the song's synthesizer, timers); nothing when the screen
// shows no piece moved.
std::optional<double> CpuPerMotionUs(xcb_connection_t* c, ScreenCapture& screen, pid_t pid, int x,
                                     int y) {
    const xcb_window_t root = screen.RootWindow();
    const auto path = DragPath(x, y);
    const auto span = MotionInterval * static_cast<int>(path.size()) + 300ms;
    Fake(c, root, XCB_MOTION_NOTIFY, 0, x, y);
    std::this_thread::sleep_for(200ms);
    const std::uint64_t idleStart = CpuNanoseconds(pid);
    std::this_thread::sleep_for(span);
    const std::uint64_t idle = CpuNanoseconds(pid) - idleStart;

    const std::uint64_t before = screen.Take();
    Fake(c, root, XCB_BUTTON_PRESS, 1, x, y);
    std::this_thread::sleep_for(100ms);
    const std::uint64_t dragStart = CpuNanoseconds(pid);
    auto next = Clock::now();
    for (const auto& [px, py] : path) {
        next += MotionInterval;
        std::this_thread::sleep_until(next);
        Fake(c, root, XCB_MOTION_NOTIFY, 0, px, py);
    }
    std::this_thread::sleep_until(next + 300ms);
    const std::uint64_t drag = CpuNanoseconds(pid) - dragStart;
    // Let go a little to the right, away from every grid neighbour, so that the piece moved.
    Fake(c, root, XCB_MOTION_NOTIFY, 0, x + 2 * DragStep * 10, y);
    Fake(c, root, XCB_BUTTON_RELEASE, 1, x + 2 * DragStep * 10, y);
    std::this_thread::sleep_for(200ms);
    if (screen.Take() == before) {
        std::fprintf(stderr, "the drag from (%d, %d) moved nothing\n", x, y);
        return std::nullopt;
    }
    if (std::getenv("BENCH_DEBUG") != nullptr) {
        std::fprintf(stderr, "idle %.1f ms, drag %.1f ms\n", idle / 1e6, drag / 1e6);
    }
    const double busy = static_cast<double>(drag) - static_cast<double>(idle);
    return std::max(0.0, busy) / 1000.0 / static_cast<double>(path.size());
}

std::optional<Run> MeasureOnce(xcb_connection_t* c, ScreenCapture& screen,
                               const std::string& puzzle, std::uint32_t board) {
    const fs::path home =
        fs::temp_directory_path() / ("tavrin-startup-bench-" + std::to_string(getpid()));
    fs::remove_all(home);
    fs::create_directories(home / "runtime");
    fs::permissions(home / "runtime", fs::perms::owner_all);
    std::ofstream(home / ".asoundrc") << "pcm.!default { type null }\n"
                                         "ctl.!default { type hw card 0 }\n";
    screen.Take();
    const auto start = Clock::now();
    const pid_t pid = StartPlayer(puzzle, home);
    if (std::getenv("BENCH_DEBUG") != nullptr) {
        std::fprintf(stderr, "launch at %.1f\n",
                     std::chrono::duration<double, std::milli>(start.time_since_epoch()).count());
    }
    std::optional<Run> run;
    if (pid > 0) {
        const std::optional<double> stable = WaitUntilSettled(screen, start);
        const auto point = stable ? PointOnAPiece(screen, board) : std::nullopt;
        const std::optional<double> cpu =
            point ? CpuPerMotionUs(c, screen, pid, point->first, point->second) : std::nullopt;
        if (cpu) {
            run = Run{*stable, PeakRssMiB(pid), *cpu};
        } else if (!point) {
            std::fprintf(stderr, "the board did not settle or shows no piece\n");
        }
        kill(pid, SIGTERM);
        waitpid(pid, nullptr, 0);
    }
    if (std::getenv("BENCH_DEBUG") != nullptr) {
        std::ifstream log(home / "player.log");
        std::fprintf(stderr, "%s", std::string(std::istreambuf_iterator<char>(log), {}).c_str());
    }
    fs::remove_all(home);
    return run;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

double Min(const std::vector<double>& values) {
    return *std::min_element(values.begin(), values.end());
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s PUZZLE BOARD-COLOR-RRGGBB RUNS\n", argv[0]);
        return 2;
    }
    const std::string puzzle = fs::absolute(argv[1]).string();
    const auto board = static_cast<std::uint32_t>(std::stoul(argv[2], nullptr, 16));
    const int runs = std::atoi(argv[3]);
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c) != 0) {
        std::fprintf(stderr, "no X server\n");
        return 1;
    }
    ScreenCapture screen(c);
    std::vector<double> stable, rss, cpu;
    std::printf("run\tstable_ms\tpeak_rss_mib\tcpu_per_motion_us\n");
    for (int i = 1, failures = 0; i <= runs; ++i) {
        const std::optional<Run> run = MeasureOnce(c, screen, puzzle, board);
        if (!run) {
            if (++failures > 2) {
                return 1;
            }
            --i; // measured again
            continue;
        }
        std::printf("%d\t%.1f\t%.1f\t%.1f\n", i, run->StableMs, run->PeakRssMiB,
                    run->CpuPerMotionUs);
        std::fflush(stdout);
        stable.push_back(run->StableMs);
        rss.push_back(run->PeakRssMiB);
        cpu.push_back(run->CpuPerMotionUs);
    }
    std::printf("min\t%.1f\t%.1f\t%.1f\n", Min(stable), Min(rss), Min(cpu));
    std::printf("median\t%.1f\t%.1f\t%.1f\n", Median(stable), Median(rss), Median(cpu));
    xcb_disconnect(c);
    return 0;
}

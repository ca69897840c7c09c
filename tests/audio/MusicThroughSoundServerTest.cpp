// The music as a user hears it: a private PulseAudio server with a null sink stands in for the
// desktop's sound server, ALSA's default device is routed to it, and the real player plays a
// package whose song is a single short knock followed by a rest. The sink's monitor is recorded;
// the recording must not be silent, and the knock must come back: the song started again.
//   music_through_sound_server_test
// Run it under xvfb-run. Exits 77 (a skip) with the reason when no server can be started here.
#include "support/TestSupport.h"
#include "xvfb/X11Support.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <signal.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

constexpr int SampleRate = 44100;
constexpr double RecordSeconds = 6.0;
constexpr int WindowSamples = SampleRate / 50; // 20 ms

// A standard MIDI file of one second at 120 bpm: a wood block knocks at its start, then rests.
Bytes KnockAndRest() {
    Bytes track = {0x00, 0x99, 76, 127, 0x60, 0x89, 76, 0};    // knock, off after 96 ticks
    track.insert(track.end(), {0x86, 0x60, 0xFF, 0x2F, 0x00}); // end of track at 960 ticks
    Bytes file = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0x01, 0xE0, 'M', 'T', 'r', 'k'};
    for (int shift = 24; shift >= 0; shift -= 8) {
        file.push_back(static_cast<std::uint8_t>(track.size() >> shift));
    }
    file.insert(file.end(), track.begin(), track.end());
    return file;
}

bool OnPath(const std::string& program) {
    const std::string command = "command -v " + program + " >/dev/null 2>&1";
    return std::system(command.c_str()) == 0;
}

// The caller's environment with `changes` ("NAME=value") replacing the variables they name.
std::vector<std::string> EnvironmentWith(const std::vector<std::string>& changes) {
    std::vector<std::string> variables;
    for (char** e = environ; *e != nullptr; ++e) {
        const std::string v = *e;
        bool replaced = false;
        for (const std::string& change : changes) {
            replaced |= v.compare(0, change.find('=') + 1, change, 0, change.find('=') + 1) == 0;
        }
        if (!replaced) {
            variables.push_back(v);
        }
    }
    variables.insert(variables.end(), changes.begin(), changes.end());
    return variables;
}

// Starts a program with its output going to `output`; returns its process id, or -1.
pid_t Start(std::vector<std::string> argv, std::vector<std::string> environment,
            const std::string& output) {
    std::vector<char*> args;
    for (std::string& a : argv) {
        args.push_back(a.data());
    }
    args.push_back(nullptr);
    std::vector<char*> envp;
    for (std::string& v : environment) {
        envp.push_back(v.data());
    }
    envp.push_back(nullptr);
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, 1, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_adddup2(&files, 1, 2);
    pid_t pid = -1;
    const int started = posix_spawnp(&pid, args[0], &files, nullptr, args.data(), envp.data());
    posix_spawn_file_actions_destroy(&files);
    return started == 0 ? pid : -1;
}

void Stop(pid_t pid) {
    if (pid > 0) {
        kill(pid, SIGTERM);
        waitpid(pid, nullptr, 0);
    }
}

bool Succeeds(const std::string& command) {
    return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

// The loudness of each 20 ms of 16-bit mono samples.
std::vector<double> Envelope(const std::string& rawFile) {
    const Bytes bytes = ReadBytes(rawFile);
    std::vector<double> envelope;
    for (std::size_t at = 0; at + 2 * WindowSamples <= bytes.size(); at += 2 * WindowSamples) {
        double sum = 0;
        for (std::size_t i = at; i < at + 2 * WindowSamples; i += 2) {
            const auto sample = static_cast<std::int16_t>(bytes[i] | bytes[i + 1] << 8);
            sum += static_cast<double>(sample) * sample;
        }
        envelope.push_back(std::sqrt(sum / WindowSamples));
    }
    return envelope;
}

// How many times the sound starts after at least 200 ms of near silence (or at the beginning).
int Onsets(const std::vector<double>& envelope, double loud) {
    int onsets = 0;
    int quiet = 10;
    for (const double level : envelope) {
        if (level >= loud && quiet >= 10) {
            ++onsets;
        }
        quiet = level < loud / 10 ? quiet + 1 : 0;
    }
    return onsets;
}

} // namespace

int main() {
    for (const char* program : {"pulseaudio", "parec", "pactl"}) {
        if (!OnPath(program)) {
            std::printf("skipped: %s is not installed (apt-get install pulseaudio "
                        "pulseaudio-utils libasound2-plugins)\n",
                        program);
            return 77;
        }
    }
    const ScratchFolder home;
    const std::string runtime = home.File("runtime");
    fs::create_directories(runtime);
    fs::permissions(runtime, fs::perms::owner_all);
    const std::string socket = runtime + "/pulse-native";
    // ALSA's default device goes to the sound server, as on a desktop.
    std::ofstream(home.File(".asoundrc")) << "pcm.!default { type pulse }\n"
                                             "ctl.!default { type pulse }\n";
    const std::vector<std::string> environment =
        EnvironmentWith({"HOME=" + home.Path(), "XDG_RUNTIME_DIR=" + runtime,
                         "PULSE_SERVER=unix:" + socket, "QT_QPA_PLATFORM=xcb"});

    const pid_t server =
        Start({"pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1", "--use-pid-file=no",
               "--log-target=stderr", "-L", "module-null-sink sink_name=tavrin_null", "-L",
               "module-native-protocol-unix auth-anonymous=1 socket=" + socket},
              environment, home.File("server.log"));
    const std::string ask = "PULSE_SERVER=unix:" + socket + " pactl info";
    bool ready = false;
    for (int i = 0; i < 100 && !ready; ++i) {
        std::this_thread::sleep_for(100ms);
        ready = Succeeds(ask);
    }
    if (!ready) {
        Stop(server);
        std::printf("skipped: PulseAudio cannot start here:\n%s\n",
                    std::string(ReadBytes(home.File("server.log")).begin(),
                                ReadBytes(home.File("server.log")).end())
                        .c_str());
        return 77;
    }

    WriteBytes(home.File("song.mid"), KnockAndRest());
    const CommandResult packed =
        RunPackTool({"--player", TAVRIN_PLAYER, "--picture",
                     TAVRIN_SOURCE_DIR "/resources/demo/winter-village.jpg", "--song",
                     home.File("song.mid"), "-o", home.File("puzzle")});
    Check(packed.ExitCode == 0, "the puzzle is packed");

    const pid_t player = Start({home.File("puzzle")}, environment, home.File("player.log"));
    std::this_thread::sleep_for(2s);
    const pid_t recorder =
        Start({"parec", "--device=tavrin_null.monitor", "--raw", "--format=s16le", "--rate=44100",
               "--channels=1", "--latency-msec=20", "--file-format=raw"},
              environment, home.File("recording.raw"));
    std::this_thread::sleep_for(std::chrono::duration<double>(RecordSeconds));
    Stop(recorder);
    Stop(player);
    Stop(server);

    const std::vector<double> envelope = Envelope(home.File("recording.raw"));
    Check(envelope.size() >= RecordSeconds * 50 * 0.8, "the sink's monitor was recorded");
    double loudest = 0;
    for (const double level : envelope) {
        loudest = std::max(loudest, level);
    }
    Check(loudest > 300, "the recording is not silent (loudest 20 ms: " +
                             std::to_string(static_cast<int>(loudest)) + ")");
    const int onsets = Onsets(envelope, loudest / 4);
    Check(onsets >= 3, "the one-second song starts again and again (" + std::to_string(onsets) +
                           " knocks in " + std::to_string(static_cast<int>(RecordSeconds)) +
                           " seconds)");
    const int status = CheckSummary();
    if (status != 0) {
        const Bytes log = ReadBytes(home.File("player.log"));
        std::printf("the player said:\n%s\n", std::string(log.begin(), log.end()).c_str());
    }
    return status;
}

// A program as a user meets it, timed from outside: launch it on the current X server, watch the
// screen until it stops changing, read the peak memory of its processes, then (the player only)
// drag a piece with real pointer events and count the player's CPU time per pointer motion.
//   tavrin_startup_bench PUZZLE BOARD-COLOR-RRGGBB RUNS
//     the player: one line per run and a summary line of minima and medians, tab-separated.
//   tavrin_startup_bench --versus PUZZLE ROUNDS -- COMMAND [ARGUMENT...]
//     the player and another program launched by COMMAND, timed the same way up to the stable
//     screen (no drag) in alternating rounds after one warm-up of each; one line per run, then
//     the minima and medians of each.
#include "ProcessTree.h"
#include "ScreenCapture.h"

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
#include <spawn.h>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>
#include <xcb/xcb.h>
#include <xcb/xtest.h>

extern char** environ;

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

// The screen must keep still this long to count as settled.
constexpr auto SettleTime = 1500ms;
// Long enough for a slow program to open thousands of pieces on a busy machine.
constexpr auto GiveUpAfter = 120s;
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

// What a run launches. The player gets the run's fresh folder as its home and runtime folder;
// another program keeps the environment it is given (the caller points it at folders of its own).
struct Program {
    std::vector<std::string> Argv;
    bool OwnHome = false;
};

std::vector<std::string> Environment(const Program& program, const fs::path& folder) {
    std::vector<std::string> env;
    for (char** e = environ; *e != nullptr; ++e) {
        const std::string entry = *e;
        const bool replaced = entry.rfind("QT_QPA_PLATFORM=", 0) == 0 ||
                              (program.OwnHome && (entry.rfind("HOME=", 0) == 0 ||
                                                   entry.rfind("XDG_RUNTIME_DIR=", 0) == 0));
        if (!replaced) {
            env.push_back(entry);
        }
    }
    if (program.OwnHome) {
        env.push_back("HOME=" + folder.string());
        env.push_back("XDG_RUNTIME_DIR=" + (folder / "runtime").string());
    }
    env.push_back("QT_QPA_PLATFORM=xcb");
    return env;
}

// Starts the program with its standard error in the run folder's log; -1 when it cannot start.
pid_t Launch(const Program& program, const fs::path& folder) {
    std::vector<std::string> env = Environment(program, folder);
    std::vector<char*> envp;
    for (auto& e : env) {
        envp.push_back(e.data());
    }
    envp.push_back(nullptr);
    std::vector<std::string> args = program.Argv;
    std::vector<char*> argv;
    for (auto& a : args) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    const std::string log = (folder / "program.log").string();
    posix_spawn_file_actions_addopen(&files, 2, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    pid_t pid = -1;
    if (posix_spawnp(&pid, argv[0], &files, nullptr, argv.data(), envp.data()) != 0) {
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

// A fresh folder for one run: the player's home (with ALSA's null device as its sound card) and
// the log of whichever program runs.
fs::path FreshRunFolder() {
    const fs::path folder =
        fs::temp_directory_path() / ("tavrin-startup-bench-" + std::to_string(getpid()));
    fs::remove_all(folder);
    fs::create_directories(folder / "runtime");
    fs::permissions(folder / "runtime", fs::perms::owner_all);
    std::ofstream(folder / ".asoundrc") << "pcm.!default { type null }\n"
                                           "ctl.!default { type hw card 0 }\n";
    return folder;
}

// One launch: the time to the stable screen, the peak memory of the program's processes then,
// and, when `dragOn` gives the board's colour, the CPU per motion of a drag after it.
std::optional<Run> MeasureOnce(xcb_connection_t* c, ScreenCapture& screen, const Program& program,
                               std::optional<std::uint32_t> dragOn) {
    const fs::path folder = FreshRunFolder();
    // The last run's windows are gone before the screen is read for this one.
    std::this_thread::sleep_for(300ms);
    screen.Take();
    const auto start = Clock::now();
    const pid_t pid = Launch(program, folder);
    if (std::getenv("BENCH_DEBUG") != nullptr) {
        std::fprintf(stderr, "launch at %.1f\n",
                     std::chrono::duration<double, std::milli>(start.time_since_epoch()).count());
    }
    std::optional<Run> run;
    if (pid <= 0) {
        std::fprintf(stderr, "%s: cannot start it\n", program.Argv[0].c_str());
    } else {
        const std::optional<double> stable = WaitUntilSettled(screen, start);
        if (!stable) {
            std::fprintf(stderr, "%s: the screen did not settle\n", program.Argv[0].c_str());
        } else if (!dragOn) {
            run = Run{*stable, TreePeakRssMiB(pid), 0};
        } else if (const auto point = PointOnAPiece(screen, *dragOn)) {
            if (const auto cpu = CpuPerMotionUs(c, screen, pid, point->first, point->second)) {
                run = Run{*stable, TreePeakRssMiB(pid), *cpu};
            }
        } else {
            std::fprintf(stderr, "the board shows no piece\n");
        }
        EndProcessTree(pid);
    }
    if (std::getenv("BENCH_DEBUG") != nullptr) {
        std::ifstream log(folder / "program.log");
        std::fprintf(stderr, "%s", std::string(std::istreambuf_iterator<char>(log), {}).c_str());
    }
    fs::remove_all(folder);
    return run;
}

// Measures until a run succeeds; nothing after three failures in a row.
std::optional<Run> MeasureWithRetries(xcb_connection_t* c, ScreenCapture& screen,
                                      const Program& program, std::optional<std::uint32_t> dragOn) {
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (auto run = MeasureOnce(c, screen, program, dragOn)) {
            return run;
        }
    }
    return std::nullopt;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

double Min(const std::vector<double>& values) {
    return *std::min_element(values.begin(), values.end());
}

int TimePlayer(xcb_connection_t* c, ScreenCapture& screen, const Program& player,
               std::uint32_t board, int runs) {
    std::vector<double> stable, rss, cpu;
    std::printf("run\tstable_ms\tpeak_rss_mib\tcpu_per_motion_us\n");
    for (int i = 1; i <= runs; ++i) {
        const std::optional<Run> run = MeasureWithRetries(c, screen, player, board);
        if (!run) {
            return 1;
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
    return 0;
}

// The player and the peer in turn, each round in the same order, after one warm-up of each
// (which fills the file system's cache and lets each program make what it keeps between runs).
int TimeAgainstPeer(xcb_connection_t* c, ScreenCapture& screen, const Program& player,
                    const Program& peer, int rounds) {
    const Program* programs[] = {&player, &peer};
    const char* names[] = {"tavrin", "peer"};
    std::vector<double> stable[2], rss[2];
    std::printf("round\tprogram\tstable_ms\tpeak_rss_mib\n");
    for (int round = 0; round <= rounds; ++round) {
        for (int p = 0; p < 2; ++p) {
            const std::optional<Run> run = MeasureWithRetries(c, screen, *programs[p], {});
            if (!run) {
                return 1;
            }
            const std::string label = round == 0 ? "warm-up" : std::to_string(round);
            std::printf("%s\t%s\t%.1f\t%.1f\n", label.c_str(), names[p], run->StableMs,
                        run->PeakRssMiB);
            std::fflush(stdout);
            if (round > 0) {
                stable[p].push_back(run->StableMs);
                rss[p].push_back(run->PeakRssMiB);
            }
        }
    }
    for (int p = 0; p < 2; ++p) {
        std::printf("min\t%s\t%.1f\t%.1f\n", names[p], Min(stable[p]), Min(rss[p]));
        std::printf("median\t%s\t%.1f\t%.1f\n", names[p], Median(stable[p]), Median(rss[p]));
    }
    return 0;
}

// A count of runs or rounds from the command line: 1 or more, or nothing.
std::optional<int> Count(const char* text) {
    char* end = nullptr;
    const long n = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || n < 1 || n > 1000) {
        return std::nullopt;
    }
    return static_cast<int>(n);
}

int Usage(const char* self) {
    std::fprintf(stderr,
                 "usage: %s PUZZLE BOARD-COLOR-RRGGBB RUNS\n"
                 "       %s --versus PUZZLE ROUNDS -- COMMAND [ARGUMENT...]\n",
                 self, self);
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    const bool versus =
        argc >= 6 && std::strcmp(argv[1], "--versus") == 0 && std::strcmp(argv[4], "--") == 0;
    if (!versus && argc != 4) {
        return Usage(argv[0]);
    }
    const Program player{{fs::absolute(argv[versus ? 2 : 1]).string()}, true};
    const std::optional<int> count = Count(argv[3]);
    char* colorEnd = nullptr;
    const auto board = static_cast<std::uint32_t>(std::strtoul(argv[2], &colorEnd, 16));
    const bool boardRead = colorEnd != argv[2] && *colorEnd == '\0';
    if (!count || (!versus && !boardRead)) {
        return Usage(argv[0]);
    }
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c) != 0) {
        std::fprintf(stderr, "no X server\n");
        return 1;
    }
    int status = 0;
    {
        ScreenCapture screen(c);
        if (versus) {
            const Program peer{{argv + 5, argv + argc}, false};
            status = TimeAgainstPeer(c, screen, player, peer, *count);
        } else {
            status = TimePlayer(c, screen, player, board, *count);
        }
    }
    xcb_disconnect(c);
    return status;
}

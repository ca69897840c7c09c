#include "StartWatcher.h"

#include "FailureWindow.h"
#include "LoaderCheck.h"
#include "PlayerCache.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string_view>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr const char* StartFdVariable = "TAVRIN_START_FD";
constexpr const char* AgainVariable = "TAVRIN_START_AGAIN";
constexpr char Started = 'S', Failed = 'F', Dismissed = 'X';

std::string ReadToEnd(int fd) {
    std::string text;
    char buffer[4096];
    for (ssize_t n; (n = read(fd, buffer, sizeof buffer)) != 0;) {
        if (n > 0) {
            text.append(buffer, static_cast<std::size_t>(n));
            if (text.front() == Started || text.front() == Dismissed) {
                break;
            }
        } else if (errno != EINTR) {
            break;
        }
    }
    return text;
}

// The signal that ended the process `pid`, read from the kernel's record while the process is
// still there to read (until its parent collects it); 0 when it ended otherwise or is gone.
int EndingSignal(pid_t pid) {
    FILE* file = std::fopen(("/proc/" + std::to_string(pid) + "/stat").c_str(), "r");
    if (file == nullptr) {
        return 0;
    }
    char buffer[2048];
    const std::size_t n = std::fread(buffer, 1, sizeof buffer - 1, file);
    std::fclose(file);
    const std::string_view stat(buffer, n);
    // The fields after the name in parentheses; the exit code is the 52nd field of all.
    std::size_t at = stat.rfind(')');
    for (int field = 2; field < 52 && at != std::string_view::npos; ++field) {
        at = stat.find(' ', at + 1);
    }
    if (at == std::string_view::npos) {
        return 0;
    }
    const int code = std::atoi(std::string(stat.substr(at + 1)).c_str());
    return code & 0x7F;
}

// A signal someone sent to end the player, not a crash. 0 (the player is gone, its end not
// known) is no such signal: a crash is said rather than kept quiet.
bool FromOutside(int signal) {
    return signal == SIGTERM || signal == SIGINT || signal == SIGKILL || signal == SIGHUP ||
           signal == SIGPIPE || signal == SIGQUIT;
}

// Marks the player's folder as damaged, so that it is unpacked afresh, and starts the puzzle as
// a new process; returns only when that cannot be done, with the reason.
std::string StartAgainWithFreshCache(const WatchedStart& start) {
    DiscardPlayerFolder(start.CachePath + "/" + start.Folder);
    setenv(AgainVariable, "1", 1);
    unsetenv(StartFdVariable);
    execl(start.Puzzle.c_str(), start.Puzzle.c_str(), nullptr);
    return "cannot start " + start.Puzzle + " again: " + std::strerror(errno);
}

std::string DamagedPlayerText(const WatchedStart& start, const std::string& said) {
    return "the player it unpacked into " + start.CachePath + "/" + start.Folder +
           " cannot start, even unpacked afresh" + (said.empty() ? "." : ":\n\n" + said);
}

// The pipe ended with no word from the player: it died before it could show windows.
void DiedEarly(const WatchedStart& start, pid_t player) {
    const int signal = EndingSignal(player);
    const std::string folder = start.CachePath + "/" + start.Folder;
    const LoadCheck check = CheckLoading(folder, start.Lean);
    // Unless the loader was seen to fail, the folder is left alone: it may be sound.
    if (check.Loads || !check.Checked) {
        if (!FromOutside(signal)) {
            ReportStartFailure(
                "the player stopped before its window opened" +
                (signal != 0 ? " (it crashed: " + std::string(strsignal(signal)) + ")" : "") +
                ". Start it again; should it fail again, the puzzle may be damaged.");
        }
        return;
    }
    if (start.Lean) {
        ReportStartFailure(MissingLibrariesText(check));
    } else if (!start.Again) {
        ReportStartFailure(StartAgainWithFreshCache(start));
    } else {
        ReportStartFailure(DamagedPlayerText(start, check.Said));
    }
}

void Watch(const WatchedStart& start, int readFd, pid_t player) {
    const std::string word = ReadToEnd(readFd);
    close(readFd);
    if (word.empty()) {
        DiedEarly(start, player);
    } else if (word.front() == Failed) {
        ShowFailureWindow("Tavrin", "This puzzle cannot start: " + word.substr(1));
    }
}

} // namespace

bool TakeStartAgain() {
    const bool again = std::getenv(AgainVariable) != nullptr;
    unsetenv(AgainVariable);
    return again;
}

int StartWatcher(const WatchedStart& start) {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
        return -1;
    }
    const pid_t player = getpid();
    const pid_t child = fork();
    if (child == 0) {
        // The watcher is the child's child, so that the player (this process after the exec)
        // never has a child of its own that it did not start.
        close(fds[1]);
        const pid_t watcher = fork();
        if (watcher == 0) {
            Watch(start, fds[0], player);
        }
        _exit(watcher < 0 ? 1 : 0);
    }
    close(fds[0]);
    int status = -1;
    while (child > 0 && waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    const bool watching = child > 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    if (!watching || fcntl(fds[1], F_SETFD, 0) != 0) {
        close(fds[1]);
        return -1;
    }
    setenv(StartFdVariable, std::to_string(fds[1]).c_str(), 1);
    return fds[1];
}

void DismissWatcher(int fd) {
    if (fd >= 0) {
        const char word = Dismissed;
        // A watcher that is gone must not end the launcher before it says why.
        const auto before = signal(SIGPIPE, SIG_IGN);
        (void)!write(fd, &word, 1);
        signal(SIGPIPE, before);
        close(fd);
    }
    unsetenv(StartFdVariable);
}

std::string ExecFailure(const WatchedStart& start, const std::string& error, int execErrno) {
    // Programs may not run from there (a mount or a security policy): unpacking again would not
    // help.
    if (execErrno == EACCES || execErrno == EPERM) {
        return error + ". Programs may not run from " + start.CachePath +
               ": set XDG_CACHE_HOME to a folder of your own where they may, and start the "
               "puzzle again.";
    }
    if (start.Lean) {
        const LoadCheck check = CheckLoading(start.CachePath + "/" + start.Folder, true);
        return check.Loads ? error : MissingLibrariesText(check);
    }
    return start.Again ? DamagedPlayerText(start, error) : StartAgainWithFreshCache(start);
}

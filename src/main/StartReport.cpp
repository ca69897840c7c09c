#include "main/StartReport.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

int& ReportFd() {
    static int fd = -1;
    return fd;
}

void Say(const std::string& word) {
    const int fd = ReportFd();
    if (fd < 0) {
        return;
    }
    // A watcher that is gone must not end the player.
    const auto before = signal(SIGPIPE, SIG_IGN);
    for (std::size_t done = 0; done < word.size();) {
        const ssize_t n = write(fd, word.data() + done, word.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    signal(SIGPIPE, before);
    close(fd);
    ReportFd() = -1;
}

} // namespace

void TakeStartReport() {
    if (const char* hold = std::getenv("TAVRIN_CACHE_HOLD_FD"); hold != nullptr) {
        const int fd = std::atoi(hold);
        if (fd > 2) {
            fcntl(fd, F_SETFD, FD_CLOEXEC);
        }
        unsetenv("TAVRIN_CACHE_HOLD_FD");
    }
    const char* number = std::getenv("TAVRIN_START_FD");
    if (number == nullptr) {
        return;
    }
    const int fd = std::atoi(number);
    unsetenv("TAVRIN_START_FD");
    struct stat info {};
    // Only a pipe: a number left in the environment by something else names no file of ours.
    if (fd > 2 && fstat(fd, &info) == 0 && S_ISFIFO(info.st_mode) &&
        fcntl(fd, F_SETFD, FD_CLOEXEC) == 0) {
        ReportFd() = fd;
    }
}

void ReportStarted() {
    Say("S");
}

void ReportCannotStart(const std::string& reason) {
    Say("F" + reason);
}

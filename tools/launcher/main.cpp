// The start of a portable puzzle: unpacks the bundle that follows this launcher in the puzzle's
// own file into the user's cache (once per player build, named by the bundle's hash), then runs
// the player from there. Statically linked, it runs on any x86-64 Linux. A lean puzzle starts
// the same way, with the player alone in the cache, run on the machine's libraries. A start
// that fails says why in a window of its own.
#include "FailureWindow.h"
#include "LeanPlayer.h"
#include "PlayerCache.h"
#include "PlayerExec.h"
#include "StartWatcher.h"
#include "package/PortableImage.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

Result<std::string> OwnFile() {
    std::vector<char> path(4096);
    const ssize_t n = readlink("/proc/self/exe", path.data(), path.size() - 1);
    if (n <= 0) {
        return Failure{"cannot find its own file (is /proc mounted?)"};
    }
    return std::string(path.data(), static_cast<std::size_t>(n));
}

std::vector<std::uint8_t> ReadAt(int fd, std::uint64_t offset, std::size_t size) {
    std::vector<std::uint8_t> bytes(size);
    const ssize_t n = pread(fd, bytes.data(), size, static_cast<off_t>(offset));
    bytes.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
    return bytes;
}

// The bundle header, right after this launcher's ELF file; `offset` receives the bundle's start.
Result<BundleHeader> FindBundle(int fd, std::uint64_t& offset) {
    const auto end = ElfFileEnd(ReadAt(fd, 0, 64));
    const auto header =
        end ? BundleHeader::Decode(ReadAt(fd, *end, BundleHeader::Size)) : std::nullopt;
    if (!header) {
        return Failure{"the puzzle holds no player bundle: it is damaged"};
    }
    offset = *end + BundleHeader::Size;
    return *header;
}

// Returns only when the puzzle cannot start, with the reason.
Failure Start(bool again) {
    const Result<std::string> puzzle = OwnFile();
    if (!puzzle) {
        return puzzle.Error();
    }
    const int fd = open(puzzle->c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return Failure{"cannot read " + *puzzle + ": " + std::strerror(errno)};
    }
    std::uint64_t offset = 0;
    const Result<BundleHeader> header = FindBundle(fd, offset);
    const Result<std::string> folder =
        header ? ReadyPlayerFolder(fd, offset, *header) : header.Error();
    close(fd);
    if (!folder) {
        return folder.Error();
    }
    const std::size_t slash = folder->rfind('/');
    const WatchedStart watched{*puzzle, folder->substr(0, slash), folder->substr(slash + 1),
                               header->Lean, again};
    const int watcher = StartWatcher(watched);
    const Failure execFailure =
        header->Lean ? RunLeanPlayer(*folder, *puzzle) : RunPlayer(*folder, *puzzle);
    const int execErrno = errno;
    DismissWatcher(watcher);
    return Failure{ExecFailure(watched, execFailure.What, execErrno)};
}

// Started with its standard files closed (as a file manager may), the launcher would hand their
// numbers to the files it opens, and a message meant for the error output would go into one.
void KeepStandardFilesOpen() {
    for (int fd = 0; fd < 3; ++fd) {
        if (fcntl(fd, F_GETFD) < 0 && open("/dev/null", O_RDWR) != fd) {
            return;
        }
    }
}

// What a file manager or shell handed down must not change how the launcher waits for its
// children: an ignored SIGCHLD would make every wait fail.
void ResetSignals() {
    signal(SIGCHLD, SIG_DFL);
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
}

} // namespace

int main() {
    ResetSignals();
    KeepStandardFilesOpen();
    ReportStartFailure(Start(TakeStartAgain()).What);
    return 127;
}

#include "main/TerminationRequests.h"

#include <QSocketNotifier>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

// The signal handler only writes a byte; the notifier reads it on the user-interface thread.
int Pipe[2] = {-1, -1};

constexpr int Requests[] = {SIGTERM, SIGINT, SIGHUP};

extern "C" void WriteRequest(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = write(Pipe[1], &byte, 1);
}

} // namespace

TerminationRequests::TerminationRequests(std::function<void()> onRequest)
    : OnRequest(std::move(onRequest)) {
    if (pipe2(Pipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        return;
    }
    Notifier = new QSocketNotifier(Pipe[0], QSocketNotifier::Read, this);
    connect(Notifier, &QSocketNotifier::activated, this, &TerminationRequests::Receive);
    struct sigaction action {};
    action.sa_handler = WriteRequest;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int request : Requests) {
        sigaction(request, &action, nullptr);
    }
}

TerminationRequests::~TerminationRequests() {
    for (const int request : Requests) {
        std::signal(request, SIG_DFL);
    }
    for (int& end : Pipe) {
        if (end >= 0) {
            close(end);
            end = -1;
        }
    }
}

void TerminationRequests::Receive() {
    char bytes[16];
    while (read(Pipe[0], bytes, sizeof bytes) > 0) {
    }
    if (OnRequest) {
        OnRequest();
    }
}

#pragma once

#include <QObject>
#include <functional>

class QSocketNotifier;

// A request to end the process (SIGTERM, SIGINT, SIGHUP: a logout, a kill, Ctrl+C in a
// terminal) becomes a call on the user-interface thread, so the player can close as it does
// when its window is closed, temporary files and all. One instance per process.
class TerminationRequests : public QObject {
    Q_OBJECT
public:
    explicit TerminationRequests(std::function<void()> onRequest);
    ~TerminationRequests() override;
    TerminationRequests(const TerminationRequests&) = delete;
    TerminationRequests& operator=(const TerminationRequests&) = delete;

private:
    void Receive();

    std::function<void()> OnRequest;
    QSocketNotifier* Notifier = nullptr;
};

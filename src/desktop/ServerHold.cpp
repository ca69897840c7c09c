#include "desktop/ServerHold.h"

#ifdef TAVRIN_HAVE_XCB

#include <QByteArray>
#include <QtGlobal>
#include <chrono>
#include <cstdlib>
#include <thread>
#include <xcb/xcb.h>

namespace {

// A connection tried again is answered once the reset that closed the last one is done: beside
// two clients polling every few milliseconds no more than three tries were needed. Tries on a
// missing server fail at once; 5 ms apart, 20 of them outlast a slow reset.
constexpr int ConnectionTries = 20;

bool ToolkitUsesX11() {
    return !qEnvironmentVariableIsEmpty("DISPLAY") &&
           qgetenv("QT_QPA_PLATFORM").startsWith(QByteArrayLiteral("xcb"));
}

// A display on this machine's own socket: a remote one is tried once, since a connection
// there may take long to fail.
bool LocalDisplay() {
    char* host = nullptr;
    int display = 0;
    if (xcb_parse_display(nullptr, &host, &display, nullptr) == 0) {
        return false;
    }
    const bool local = host == nullptr || *host == 0 || qstrcmp(host, "unix") == 0;
    std::free(host);
    return local;
}

} // namespace

ServerHold::ServerHold() {
    if (!ToolkitUsesX11()) {
        return;
    }
    const int tries = LocalDisplay() ? ConnectionTries : 1;
    for (int i = 0; i < tries; ++i) {
        xcb_connection_t* c = xcb_connect(nullptr, nullptr);
        if (xcb_connection_has_error(c) == 0) {
            Connection = c;
            return;
        }
        xcb_disconnect(c);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

ServerHold::~ServerHold() {
    if (Connection != nullptr) {
        xcb_disconnect(Connection);
    }
}

#else

ServerHold::ServerHold() = default;
ServerHold::~ServerHold() = default;

#endif

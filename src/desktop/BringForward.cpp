#include "desktop/BringForward.h"

#ifdef TAVRIN_HAVE_XCB
#include "desktop/XSession.h"

#include <cstdlib>
#include <fstream>
#include <string>

namespace {

// The process's parent, from /proc; 0 when unknown.
std::int64_t ParentOf(std::int64_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), {});
    const auto close = text.rfind(')');
    return close == std::string::npos ? 0 : std::atoll(text.c_str() + close + 4);
}

bool OwnedBy(xcb_window_t window, std::int64_t pid) {
    const auto owner = X11Values(window, "_NET_WM_PID", XCB_ATOM_CARDINAL);
    return !owner.empty() && (owner[0] == pid || ParentOf(owner[0]) == pid);
}

void AskToActivate(xcb_connection_t* c, xcb_window_t window) {
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = X11Atom("_NET_ACTIVE_WINDOW");
    event.data.data32[0] = 2; // from a pager: the user asked for it
    xcb_send_event(c, 0, X11Root(),
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&event));
    xcb_flush(c);
}

} // namespace

void BringForward(std::int64_t pid) {
    xcb_connection_t* c = X11Connection();
    if (c == nullptr) {
        return;
    }
    for (const std::uint32_t window : X11Values(X11Root(), "_NET_CLIENT_LIST", XCB_ATOM_WINDOW)) {
        if (OwnedBy(window, pid)) {
            AskToActivate(c, window);
            return;
        }
    }
}
#else
void BringForward(std::int64_t) {}
#endif

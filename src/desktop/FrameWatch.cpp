#include "desktop/FrameWatch.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#ifdef TAVRIN_HAVE_XCB
#include "desktop/XSession.h"

#include <cstdlib>
#endif

FrameWatch::FrameWatch(QWidget& window, std::function<void()> onChange)
    : QObject(&window)
    , Window(window)
    , OnChange(std::move(onChange)) {
    window.installEventFilter(this);
    QCoreApplication::instance()->installNativeEventFilter(this);
}

FrameWatch::~FrameWatch() {
    QCoreApplication::instance()->removeNativeEventFilter(this);
}

void FrameWatch::FollowFrameMoves() {
    FollowsFrame = true;
    WatchTheFrame();
}

bool FrameWatch::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (watched == &Window && type == QEvent::Show && Window.windowHandle() != nullptr) {
        Window.windowHandle()->installEventFilter(this);
    }
    const bool onWindow = watched == &Window &&
                          (type == QEvent::Show || type == QEvent::Move || type == QEvent::Resize);
    const bool exposed = watched == Window.windowHandle() && type == QEvent::Expose;
    if (onWindow || exposed) {
        Tell();
    }
    return false;
}

// After the toolkit has taken the event in, and once for events that come together.
void FrameWatch::Tell() {
    if (Told) {
        return;
    }
    Told = true;
    QTimer::singleShot(0, this, [this] {
        Told = false;
        if (FollowsFrame) {
            WatchTheFrame();
        }
        OnChange();
    });
}

#ifdef TAVRIN_HAVE_XCB

// The window manager's frame is the window's parent below the root, found once it has been
// reparented; its moves are asked for like any client may.
void FrameWatch::WatchTheFrame() {
    const xcb_window_t window = X11Window(Window);
    if (window == XCB_NONE || Frame != 0) {
        return;
    }
    xcb_connection_t* c = X11Connection();
    auto* tree = xcb_query_tree_reply(c, xcb_query_tree(c, window), nullptr);
    if (tree != nullptr && tree->parent != tree->root && tree->parent != XCB_NONE) {
        Frame = tree->parent;
        const std::uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
        xcb_change_window_attributes(c, Frame, XCB_CW_EVENT_MASK, &mask);
        xcb_flush(c);
    }
    std::free(tree);
}

bool FrameWatch::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    if (eventType != "xcb_generic_event_t") {
        return false;
    }
    const xcb_window_t window = X11Window(Window);
    switch (X11EventType(message)) {
    case XCB_PROPERTY_NOTIFY: {
        const auto* property = static_cast<const xcb_property_notify_event_t*>(message);
        if (window != XCB_NONE && property->window == window &&
            property->atom == X11Atom("_NET_FRAME_EXTENTS")) {
            Tell();
        }
        break;
    }
    case XCB_CONFIGURE_NOTIFY: {
        // The window's own as well: a size the toolkit rounds to the one it had gives no resize.
        const xcb_window_t configured =
            static_cast<const xcb_configure_notify_event_t*>(message)->window;
        if ((Frame != 0 && configured == Frame) || (window != XCB_NONE && configured == window)) {
            Tell();
        }
        break;
    }
    case XCB_REPARENT_NOTIFY:
        if (static_cast<const xcb_reparent_notify_event_t*>(message)->window == window) {
            Frame = 0; // a new frame: found again at the next change
            Tell();
        }
        break;
    default:
        break;
    }
    return false;
}

#else

void FrameWatch::WatchTheFrame() {}

bool FrameWatch::nativeEventFilter(const QByteArray&, void*, qintptr*) {
    return false;
}

#endif

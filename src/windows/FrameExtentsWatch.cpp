#include "windows/FrameExtentsWatch.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QTimer>
#include <QWidget>

#ifdef TAVRIN_HAVE_XCB
#include <cstdlib>
#include <xcb/xcb.h>
#endif

FrameExtentsWatch::FrameExtentsWatch(QWidget& window, std::function<void()> onChange)
    : Window(window)
    , OnChange(std::move(onChange)) {
    QCoreApplication::instance()->installNativeEventFilter(this);
}

#ifdef TAVRIN_HAVE_XCB

bool FrameExtentsWatch::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    if (eventType != "xcb_generic_event_t" || !Window.testAttribute(Qt::WA_WState_Created)) {
        return false;
    }
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & 0x7F) != XCB_PROPERTY_NOTIFY) {
        return false;
    }
    const auto* property = static_cast<const xcb_property_notify_event_t*>(message);
    if (property->window != static_cast<xcb_window_t>(Window.winId())) {
        return false;
    }
    if (Extents == 0) {
        auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
        xcb_connection_t* c = x11 != nullptr ? x11->connection() : nullptr;
        if (c == nullptr) {
            return false;
        }
        static const char name[] = "_NET_FRAME_EXTENTS";
        auto* reply =
            xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, sizeof name - 1, name), nullptr);
        Extents = reply != nullptr ? reply->atom : 0;
        std::free(reply);
    }
    if (property->atom == Extents) {
        // After the toolkit has taken the event in too.
        QTimer::singleShot(0, &Window, OnChange);
    }
    return false;
}

#else

bool FrameExtentsWatch::nativeEventFilter(const QByteArray&, void*, qintptr*) {
    return false;
}

#endif

#include "windows/FrameExtentsWatch.h"

#include "windows/X11.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QTimer>
#include <QWidget>

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
        xcb_connection_t* c = X11Connection();
        if (c == nullptr) {
            return false;
        }
        Extents = X11Atom(c, "_NET_FRAME_EXTENTS");
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

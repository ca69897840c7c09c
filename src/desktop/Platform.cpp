#include "desktop/Platform.h"

#include <QGuiApplication>

#ifdef TAVRIN_HAVE_XCB
#include "desktop/XSession.h"
#endif

bool OnWaylandItself() {
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

bool WindowManagerPresent() {
    if (OnWaylandItself()) {
        return true;
    }
#ifdef TAVRIN_HAVE_XCB
    return X11WindowManagerAnnounced();
#else
    return false;
#endif
}

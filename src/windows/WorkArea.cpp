#include "windows/WorkArea.h"

#include "windows/DevicePixels.h"

#ifdef TAVRIN_HAVE_XCB
#include "windows/X11.h"
#endif

#include <QGuiApplication>
#include <QLayout>
#include <QMainWindow>
#include <QMenuBar>
#include <QScreen>
#include <algorithm>

namespace {

QRect WorkArea() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen != nullptr ? screen->availableGeometry() : QRect(0, 0, 800, 600);
}

QSize DeviceAligned(const QWidget& window, const QSize& size) {
    const qreal ratio = window.devicePixelRatioF();
    return {AlignDownToDevicePixels(size.width(), ratio),
            AlignDownToDevicePixels(size.height(), ratio)};
}

void AlignMenuBarToDevicePixels(QMainWindow& window) {
    QMenuBar* menu = window.menuBar();
    menu->setFixedHeight(
        AlignUpToDevicePixels(menu->sizeHint().height(), window.devicePixelRatioF()));
}

void PlaceAt(QMainWindow& window, const QSize& size, const QPoint& corner) {
    window.setFixedSize(size);
    window.move(corner);
    if (window.layout() != nullptr) {
        window.layout()->activate();
    }
}

// A window manager that states no frame and publishes no work area (weston's, for Xwayland)
// puts its title bar and panel above the window all the same: the window's place on the screen
// then tells how much of it lies off the screen, and it is made that much smaller.
void KeepOnScreen(QMainWindow& window) {
    const QScreen* screen = window.screen();
    if (screen == nullptr) {
        return;
    }
    const QRect area = screen->geometry();
    QRect client = window.geometry();
#ifdef TAVRIN_HAVE_XCB
    if (const std::optional<QPoint> position = X11ScreenPosition(window)) {
        client.moveTopLeft((QPointF(*position) / window.devicePixelRatioF()).toPoint());
    }
#endif
    const QSize fits(std::min(client.width(), area.right() + 1 - client.left()),
                     std::min(client.height(), area.bottom() + 1 - client.top()));
    if (fits != client.size() && fits.isValid()) {
        window.setFixedSize(DeviceAligned(window, fits));
    }
}

} // namespace

bool CompositorPlacesWindows() {
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

void FixToWorkArea(QMainWindow& window) {
    AlignMenuBarToDevicePixels(window);
    if (CompositorPlacesWindows()) {
        // A maximised window must keep exactly the size it was given, or the compositor ends
        // the connection; it is not fixed, and its board follows it should it be restored.
        window.setWindowState(Qt::WindowMaximized);
        if (window.layout() != nullptr) {
            window.layout()->activate();
        }
        return;
    }
    const QRect work = WorkArea();
    PlaceAt(window, DeviceAligned(window, work.size()), work.topLeft());
}

void FitFrameIntoWorkArea(QMainWindow& window) {
    if (!window.isVisible() || CompositorPlacesWindows()) {
        return;
    }
    const QSize frameExtra = window.frameGeometry().size() - window.geometry().size();
    if (frameExtra.width() <= 0 && frameExtra.height() <= 0) {
        KeepOnScreen(window);
        return;
    }
    const QRect work = WorkArea();
    const QSize wanted = DeviceAligned(window, work.size() - frameExtra);
    if (wanted != window.size() && wanted.isValid()) {
        PlaceAt(window, wanted, work.topLeft());
    }
}

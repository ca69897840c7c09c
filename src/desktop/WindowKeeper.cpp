#include "desktop/WindowKeeper.h"

#include "desktop/DevicePixels.h"
#include "desktop/FrameWatch.h"
#include "desktop/Platform.h"
#include "desktop/ShownOnScreen.h"

#ifdef TAVRIN_HAVE_XCB
#include "desktop/XSession.h"
#endif

#include <QEvent>
#include <QGuiApplication>
#include <QLayout>
#include <QMainWindow>
#include <QMenuBar>
#include <QScreen>
#include <QWindow>
#include <algorithm>
#include <cmath>

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

// The largest size whole in device pixels within the size the server gave the window, when that
// size is no whole size in the toolkit's units: the window manager clamped it to the work area in
// its own pixels (openbox does), and the toolkit rounds it to a size it cannot show whole.
std::optional<QSize> ClampedByTheWindowManager(const QWidget& window) {
#ifdef TAVRIN_HAVE_XCB
    const qreal ratio = window.devicePixelRatioF();
    if (const std::optional<QSize> given = X11DeviceSize(window)) {
        const QSize units(static_cast<int>(given->width() / ratio + 1e-6),
                          static_cast<int>(given->height() / ratio + 1e-6));
        const QSize whole = DeviceAligned(window, units);
        if (whole * ratio != *given) {
            return whole;
        }
    }
#endif
    return std::nullopt;
}

// Where the client area starts on the screen: as the server knows it on X11, where a window
// manager need not tell the window where it put its frame.
QPoint ScreenPosition(const QWidget& window) {
#ifdef TAVRIN_HAVE_XCB
    if (const std::optional<QPoint> position = X11ScreenPosition(window)) {
        return (QPointF(*position) / window.devicePixelRatioF()).toPoint();
    }
#endif
    return window.geometry().topLeft();
}

} // namespace

QSize WorkAreaInDevicePixels() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return {};
    }
    const QSizeF device = QSizeF(screen->availableGeometry().size()) * screen->devicePixelRatio();
    return {static_cast<int>(std::ceil(device.width())),
            static_cast<int>(std::ceil(device.height()))};
}

DesktopBehaviour CurrentDesktop() {
    const bool wayland = OnWaylandItself();
    return {wayland, !wayland};
}

WindowKeeper::WindowKeeper(QMainWindow& window, DesktopBehaviour desktop)
    : QObject(&window)
    , Window(window)
    , Desktop(desktop) {
    window.installEventFilter(this);
    connect(qGuiApp, &QGuiApplication::primaryScreenChanged, this, &WindowKeeper::FollowScreen);
    FollowScreen(QGuiApplication::primaryScreen());
    if (!Desktop.CompositorPlaces) {
        Watch = new FrameWatch(window, [this] { Fit(); });
        if (Desktop.FollowsFrameMoves) {
            Watch->FollowFrameMoves();
        }
    }
    Fix();
}

void WindowKeeper::FollowScreen(QScreen* screen) {
    if (Followed != nullptr) {
        disconnect(Followed, nullptr, this, nullptr);
    }
    Followed = screen;
    if (screen != nullptr) {
        const auto refix = [this] {
            Fix();
            Fit();
        };
        connect(screen, &QScreen::availableGeometryChanged, this, refix);
        connect(screen, &QScreen::geometryChanged, this, refix);
    }
    if (Window.isVisible()) {
        Fix();
        Fit();
    }
}

// A compositor that dropped the maximised state (a restore) is asked for it again.
bool WindowKeeper::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &Window && event->type() == QEvent::WindowStateChange &&
        Desktop.CompositorPlaces && !Window.isMaximized() && !Window.isMinimized()) {
        Window.setWindowState(Qt::WindowMaximized);
    }
    return false;
}

void WindowKeeper::WaitUntilPlaced(std::chrono::milliseconds limit,
                                   const std::function<bool()>& stop) {
    if (Desktop.CompositorPlaces) {
        // The maximised window has its size once the compositor has shown it.
        WaitUntilOnScreen(Window, limit, stop);
    }
    Fix();
    Fit();
}

void WindowKeeper::Fix() {
    Limit = QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    AlignMenuBarToDevicePixels(Window);
    if (Desktop.CompositorPlaces) {
        // A maximised window must keep exactly the size it was given, or the compositor ends
        // the connection; it is not fixed, and its board follows it should it be restored.
        Window.setWindowState(Qt::WindowMaximized);
        if (Window.layout() != nullptr) {
            Window.layout()->activate();
        }
        return;
    }
    const QRect work = WorkArea();
    PlaceAt(Window, DeviceAligned(Window, work.size()), work.topLeft());
}

void WindowKeeper::Fit() {
    if (!Window.isVisible() || Desktop.CompositorPlaces) {
        return;
    }
    const QSize frameExtra = Window.frameGeometry().size() - Window.geometry().size();
    if (frameExtra.width() > 0 || frameExtra.height() > 0) {
        const QRect work = WorkArea();
        if (const std::optional<QSize> clamped = ClampedByTheWindowManager(Window)) {
            Limit = Limit.boundedTo(*clamped);
        }
        const QSize wanted = DeviceAligned(Window, work.size() - frameExtra).boundedTo(Limit);
        if (wanted != Window.size() && wanted.isValid()) {
            PlaceAt(Window, wanted, work.topLeft());
        }
    }
    // Wherever the window manager put it after all (weston's cascades it).
    KeepOnScreen();
}

// A window manager that states no frame and publishes no work area (weston's, for Xwayland)
// puts its title bar and panel above the window all the same: the window's place on the screen
// then tells how much of it lies off the screen, and it is made that much smaller.
void WindowKeeper::KeepOnScreen() {
    const QScreen* screen = Window.screen();
    if (screen == nullptr) {
        return;
    }
    const QRect area = screen->geometry();
    const QRect client(ScreenPosition(Window), Window.size());
    const QSize fits(std::min(client.width(), area.right() + 1 - client.left()),
                     std::min(client.height(), area.bottom() + 1 - client.top()));
    if (fits != client.size() && fits.isValid()) {
        Window.setFixedSize(DeviceAligned(Window, fits));
    }
}

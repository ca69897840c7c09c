#include "windows/WorkArea.h"

#include "windows/DevicePixels.h"

#include <QGuiApplication>
#include <QLayout>
#include <QMainWindow>
#include <QMenuBar>
#include <QScreen>

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

} // namespace

void FixToWorkArea(QMainWindow& window) {
    const QRect work = WorkArea();
    AlignMenuBarToDevicePixels(window);
    PlaceAt(window, DeviceAligned(window, work.size()), work.topLeft());
}

void FitFrameIntoWorkArea(QMainWindow& window) {
    if (!window.isVisible()) {
        return;
    }
    const QSize frameExtra = window.frameGeometry().size() - window.geometry().size();
    if (frameExtra.width() <= 0 && frameExtra.height() <= 0) {
        return;
    }
    const QRect work = WorkArea();
    const QSize wanted = DeviceAligned(window, work.size() - frameExtra);
    if (wanted != window.size() && wanted.isValid()) {
        PlaceAt(window, wanted, work.topLeft());
    }
}

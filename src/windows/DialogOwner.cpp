#include "windows/DialogOwner.h"

#include <QApplication>
#include <QWidget>

namespace {

bool StaysOnTop(const QWidget& window) {
    return window.isVisible() && window.windowFlags().testFlag(Qt::WindowStaysOnTopHint);
}

// Not the thumbnail, a tool window that can be closed at any time.
QWidget* StayOnTopWindow() {
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (StaysOnTop(*window) && !window->windowFlags().testFlag(Qt::Tool)) {
            return window;
        }
    }
    return nullptr;
}

QWidget* AnyVisibleWindow() {
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->isVisible()) {
            return window;
        }
    }
    return nullptr;
}

} // namespace

QWidget* DialogOwner() {
    if (QWidget* modal = QApplication::activeModalWidget()) {
        return modal;
    }
    if (QWidget* onTop = StayOnTopWindow()) {
        return onTop;
    }
    if (QWidget* active = QApplication::activeWindow()) {
        return active;
    }
    return AnyVisibleWindow();
}

void KeepAboveStayOnTopWindows(QWidget& dialog) {
    for (const QWidget* window : QApplication::topLevelWidgets()) {
        if (window != &dialog && StaysOnTop(*window)) {
            dialog.setWindowFlag(Qt::WindowStaysOnTopHint);
            return;
        }
    }
}

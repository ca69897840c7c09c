#include "desktop/FocusKeeper.h"

#include "desktop/Platform.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

#ifdef TAVRIN_HAVE_XCB
#include "desktop/XSession.h"
#endif

namespace {

// Whether the keyboard is with no window: on X11 asked of the server, which knows it at once.
bool KeyboardIsNowhere() {
#ifdef TAVRIN_HAVE_XCB
    if (X11Connection() != nullptr) {
        return X11KeyboardIsNowhere();
    }
#endif
    return QApplication::activeWindow() == nullptr;
}

// Boxes, the loading window and the thumbnail; not menus, tooltips and other popups, which
// never had the keyboard's window.
bool IsDialogLike(const QObject* watched) {
    if (!watched->isWidgetType()) {
        return false;
    }
    const auto* widget = static_cast<const QWidget*>(watched);
    const Qt::WindowType type = widget->windowType();
    return widget->isWindow() && (type == Qt::Window || type == Qt::Dialog || type == Qt::Tool);
}

} // namespace

void FocusKeeper::WatchWhereNeeded(QWidget& mainWindow) {
    if (!WindowManagerPresent()) {
        new FocusKeeper(mainWindow);
    }
}

FocusKeeper::FocusKeeper(QWidget& mainWindow)
    : QObject(&mainWindow)
    , MainWindow(mainWindow) {
    QApplication::instance()->installEventFilter(this);
}

bool FocusKeeper::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Hide && watched != &MainWindow && IsDialogLike(watched)) {
        QTimer::singleShot(0, this, &FocusKeeper::TakeFocusIfNowhere);
    }
    return false;
}

void FocusKeeper::TakeFocusIfNowhere() {
    if (MainWindow.isVisible() && QApplication::activeModalWidget() == nullptr &&
        KeyboardIsNowhere()) {
        MainWindow.activateWindow();
    }
}

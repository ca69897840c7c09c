#include "windows/FocusKeeper.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

#ifdef TAVRIN_HAVE_XCB
#include "windows/X11.h"

#include <cstdlib>
#endif

namespace {

// Whether the keyboard is with no window: on X11 asked of the server, which knows it at once.
bool KeyboardIsNowhere() {
#ifdef TAVRIN_HAVE_XCB
    if (xcb_connection_t* c = X11Connection()) {
        auto* focus = xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr);
        const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
        const bool nowhere = focus == nullptr || focus->focus == XCB_NONE ||
                             focus->focus == XCB_INPUT_FOCUS_POINTER_ROOT || focus->focus == root;
        std::free(focus);
        return nowhere;
    }
#endif
    return QApplication::activeWindow() == nullptr;
}

} // namespace

FocusKeeper::FocusKeeper(QWidget& mainWindow)
    : QObject(&mainWindow)
    , MainWindow(mainWindow) {
    QApplication::instance()->installEventFilter(this);
}

bool FocusKeeper::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Hide && watched != &MainWindow && watched->isWidgetType() &&
        static_cast<QWidget*>(watched)->isWindow()) {
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

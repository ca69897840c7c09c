#pragma once

#include <QObject>

class QWidget;

// Where no window manager hands the keyboard on, it falls to the root window when a window that
// had it goes away (a box, the loading window), and the menu keys do nothing until the board is
// clicked. When another window of the player hides and the keyboard is with no window, the main
// window takes it.
class FocusKeeper : public QObject {
public:
    // Watches every window of the application; `mainWindow` must outlive it.
    explicit FocusKeeper(QWidget& mainWindow);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void TakeFocusIfNowhere();

    QWidget& MainWindow;
};

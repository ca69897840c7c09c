#pragma once

#include <QObject>

class QWidget;

// Where no window manager hands the keyboard on, it falls to the root window when a window that
// had it goes away (a box, the loading window), and the menu keys do nothing until the board is
// clicked. When another window of the player hides and the keyboard is with no window, the main
// window takes it.
class FocusKeeper : public QObject {
public:
    // Watches every window of the application, owned by `mainWindow`, where no window manager
    // is announced; where one is, it hands the keyboard on itself and nothing is watched.
    static void WatchWhereNeeded(QWidget& mainWindow);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit FocusKeeper(QWidget& mainWindow);
    void TakeFocusIfNowhere();

    QWidget& MainWindow;
};

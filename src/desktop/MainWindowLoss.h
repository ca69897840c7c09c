#pragma once

#include <QAbstractNativeEventFilter>
#include <functional>

class QWidget;

// A window destroyed from outside (a crashed window manager, xkill, `xdotool windowclose`) goes
// unnoticed by the toolkit, which runs on as if the window were there: the player would play on,
// unseen, with its song and its files. This filter sees the main window's X11 window destroyed
// and hands it on; elsewhere it does nothing.
class MainWindowLoss : public QAbstractNativeEventFilter {
public:
    MainWindowLoss(QWidget& window, std::function<void()> onLoss);

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    QWidget& Window;
    std::function<void()> OnLoss;
};

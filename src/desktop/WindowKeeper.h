#pragma once

#include <QObject>
#include <QSize>
#include <chrono>
#include <functional>

class FrameWatch;
class QMainWindow;
class QScreen;

// What a desktop does with the main window, read once from what it announces: the keeper acts on
// these rather than on a desktop's name.
struct DesktopBehaviour {
    // Wayland itself: the compositor places windows and tells the area its panels leave only
    // through the size of a maximised window, which must keep exactly that size. The window is
    // maximised rather than fixed.
    bool CompositorPlaces = false;
    // A window manager may state its frame (_NET_FRAME_EXTENTS), state none and still put one
    // around the window (weston's for Xwayland), and move that frame later without telling the
    // window: the frame's moves are followed.
    bool FollowsFrameMoves = true;
};

// The desktop as the toolkit runs on it now.
DesktopBehaviour CurrentDesktop();

// The primary screen's work area in device pixels, rounded up: the keeper never gives the main
// window a larger client area. Empty without a screen.
QSize WorkAreaInDevicePixels();

// The one keeper of the main window's place: the window fills the desktop's work area, frame
// and all, in whole device pixels so that its board is drawn pixel for pixel at every scale.
// It fixes the window to the work area, follows a change of the screen or of the work area, the
// frame a window manager states, a move of the frame by the window manager or the user, and
// where the compositor places windows, keeps the window maximised. Each from the events that say
// so; nothing is polled.
class WindowKeeper : public QObject {
public:
    // Owned by `window`; fixes it at once: a window manager that sees a window resizable at its
    // first mapping offers a maximise button for good.
    WindowKeeper(QMainWindow& window, DesktopBehaviour desktop = CurrentDesktop());

    // Places the window once more, now that it is shown; where the compositor places it, once
    // events have run until it is on the screen, for at most `limit` or until `stop` says so.
    void WaitUntilPlaced(std::chrono::milliseconds limit, const std::function<bool()>& stop);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FollowScreen(QScreen* screen);
    // The window's size fixed to the work area, at the area's corner.
    void Fix();
    // Once the window is on the screen: made smaller by the frame put around it, or by the part
    // of it that still lies off the screen wherever the window manager put it.
    void Fit();
    void KeepOnScreen();

    QMainWindow& Window;
    const DesktopBehaviour Desktop;
    FrameWatch* Watch = nullptr;
    QScreen* Followed = nullptr;
    // The most the window manager lets the window have in this work area, once it has said so.
    QSize Limit;
};

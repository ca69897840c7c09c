#pragma once

#include <QAbstractNativeEventFilter>
#include <QObject>
#include <cstdint>
#include <functional>

class QWidget;

// Tells when the place of a top-level window on the screen, or the frame around it, may have
// changed, from the events that say so: the window shown, exposed, moved or resized; the frame a
// window manager states (_NET_FRAME_EXTENTS), which the toolkit learns without telling the window;
// and, when asked for, a move of the window manager's frame (its ConfigureNotify), which need not
// move the window within it. `onChange` runs from the event loop, once for a burst of such events,
// after the toolkit has taken them in.
class FrameWatch : public QObject, public QAbstractNativeEventFilter {
public:
    // Owned by `window`.
    FrameWatch(QWidget& window, std::function<void()> onChange);
    ~FrameWatch() override;

    // Also tells of moves and resizes of the frame the window manager put the window in.
    void FollowFrameMoves();

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Tell();
    void WatchTheFrame();

    QWidget& Window;
    std::function<void()> OnChange;
    bool Told = false;
    bool FollowsFrame = false;
    // The window manager's frame watched, or 0.
    std::uint32_t Frame = 0;
};

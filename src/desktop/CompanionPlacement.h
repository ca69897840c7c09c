#pragma once

#include <QMarginsF>
#include <QObject>
#include <QPointF>
#include <QSizeF>
#include <functional>

class FrameWatch;
class QWidget;

// Keeps a companion window (a box, the about, loading and thumbnail windows) where its frame
// belongs: placed when it is shown, placed again whenever its outer size differs from the one it
// was placed with (a window manager states the frame it put around the window only once the
// window is mapped), and, once it is on the screen, moved by what it still lies off that place:
// window managers read a requested position with or without their frame, and that is learnt
// from where the window landed rather than from the window manager's name.
class CompanionPlacement : public QObject {
public:
    // Where the frame's top-left corner goes for the window as it is now, in the toolkit's units.
    using FrameTarget = std::function<QPointF()>;

    // Owned by `window`. `beforePlacing` may resize the window first.
    CompanionPlacement(QWidget& window, FrameTarget target,
                       std::function<void()> beforePlacing = {});

    // Places the window now, as it is.
    void PlaceNow();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FollowTheFrame();
    // Once on the screen: moved by what it lies off its place, a few times at most, so that a
    // window manager that keeps moving it is not fought.
    void CorrectWhereItLanded();

    QWidget& Window;
    FrameTarget Target;
    std::function<void()> BeforePlacing;
    FrameWatch* Watch;
    bool Placed = false;
    QMarginsF PlacedFrame;
    QSizeF PlacedSize;
    // Where the client area belongs on the screen, in the server's pixels.
    QPointF WantedClient;
    int CorrectionsLeft = 0;
};

// Keeps the window centred on the primary screen, frame and all.
void KeepCentredOnScreen(QWidget& window);

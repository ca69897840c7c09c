#pragma once

#include <QMargins>
#include <QObject>
#include <QPointF>
#include <QSizeF>
#include <functional>

class QWidget;

// Keeps a companion window (a box, the about, loading and thumbnail windows) where its frame
// belongs: placed when it is shown, and placed again whenever its size, the frame the window
// manager states or the frame the toolkit counts with differ from those it was placed with. A
// window manager frames a window only once it is mapped, and the toolkit moves a window by its
// frame once it knows it: a placement made with a frame guessed right is still made again.
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

    QWidget& Window;
    FrameTarget Target;
    std::function<void()> BeforePlacing;
    bool Placed = false;
    QMarginsF PlacedFrame;
    QMargins PlacedToolkitFrame;
    QSizeF PlacedSize;
};

// Keeps the window centred on the primary screen, frame and all.
void KeepCentredOnScreen(QWidget& window);

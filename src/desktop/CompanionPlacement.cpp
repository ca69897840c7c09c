#include "desktop/CompanionPlacement.h"

#include "desktop/FrameWatch.h"
#include "desktop/Placement.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>
#include <cmath>

namespace {

// A window manager that moves the window after it was corrected this often is left to it.
constexpr int Corrections = 3;

} // namespace

CompanionPlacement::CompanionPlacement(QWidget& window, FrameTarget target,
                                       std::function<void()> beforePlacing)
    : QObject(&window)
    , Window(window)
    , Target(std::move(target))
    , BeforePlacing(std::move(beforePlacing))
    , Watch(new FrameWatch(window, [this] { FollowTheFrame(); })) {
    window.installEventFilter(this);
}

// Placed at once when shown, before the window is mapped.
bool CompanionPlacement::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &Window && event->type() == QEvent::Show) {
        PlaceNow();
    }
    return false;
}

void CompanionPlacement::PlaceNow() {
    if (BeforePlacing) {
        BeforePlacing();
    }
    const QPointF target = Target();
    MoveFrameTo(Window, target);
    Placed = true;
    PlacedFrame = FrameMargins(Window);
    PlacedSize = Window.size();
    const QPointF client = target + QPointF(PlacedFrame.left(), PlacedFrame.top());
    WantedClient = QPointF(client.toPoint()) * Window.devicePixelRatioF();
    CorrectionsLeft = Corrections;
}

void CompanionPlacement::FollowTheFrame() {
    if (!Window.isVisible()) {
        Placed = false;
        return;
    }
    if (!Placed || FrameMargins(Window) != PlacedFrame || QSizeF(Window.size()) != PlacedSize) {
        PlaceNow();
        return;
    }
    CorrectWhereItLanded();
}

void CompanionPlacement::CorrectWhereItLanded() {
    const QWindow* native = Window.windowHandle();
    const std::optional<QPoint> landed = ClientOnScreen(Window);
    if (CorrectionsLeft == 0 || native == nullptr || !native->isExposed() || !landed) {
        return;
    }
    // Within a unit of the toolkit's: as near as a move can bring it.
    const QPointF off = WantedClient - QPointF(*landed);
    const qreal unit = Window.devicePixelRatioF();
    if (std::abs(off.x()) < unit && std::abs(off.y()) < unit) {
        CorrectionsLeft = 0;
        return;
    }
    --CorrectionsLeft;
    const QPointF by = off / Window.devicePixelRatioF();
    Window.move(Window.pos() + QPoint(static_cast<int>(std::lround(by.x())),
                                      static_cast<int>(std::lround(by.y()))));
}

void KeepCentredOnScreen(QWidget& window) {
    new CompanionPlacement(window, [&window] {
        const QScreen* screen = QGuiApplication::primaryScreen();
        return screen != nullptr ? CenteredPosition(screen->geometry(), OuterSize(window))
                                 : QPointF(window.pos());
    });
}

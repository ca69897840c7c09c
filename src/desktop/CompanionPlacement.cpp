#include "desktop/CompanionPlacement.h"

#include "desktop/FrameWatch.h"
#include "desktop/Placement.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

CompanionPlacement::CompanionPlacement(QWidget& window, FrameTarget target,
                                       std::function<void()> beforePlacing)
    : QObject(&window)
    , Window(window)
    , Target(std::move(target))
    , BeforePlacing(std::move(beforePlacing)) {
    new FrameWatch(window, [this] { FollowTheFrame(); });
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
    MoveFrameTo(Window, Target());
    Placed = true;
    PlacedFrame = FrameMargins(Window);
    PlacedToolkitFrame = ToolkitFrameMargins(Window);
    PlacedSize = Window.size();
}

void CompanionPlacement::FollowTheFrame() {
    if (!Window.isVisible()) {
        Placed = false;
        return;
    }
    if (!Placed || FrameMargins(Window) != PlacedFrame ||
        ToolkitFrameMargins(Window) != PlacedToolkitFrame || QSizeF(Window.size()) != PlacedSize) {
        PlaceNow();
    }
}

void KeepCentredOnScreen(QWidget& window) {
    new CompanionPlacement(window, [&window] {
        const QScreen* screen = QGuiApplication::primaryScreen();
        return screen != nullptr ? CenteredPosition(screen->geometry(), OuterSize(window))
                                 : QPointF(window.pos());
    });
}

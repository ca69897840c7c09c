// Starting a game on a picture file behind the loading window, and forwarding the pointer to
// the game: the window only shows what the game changed and says.
#include "desktop/BusyCursor.h"
#include "desktop/PointerConfinement.h"
#include "desktop/ShownOnScreen.h"
#include "main/BoardWidget.h"
#include "main/FramePacedMotion.h"
#include "main/LoadingStart.h"
#include "main/Main.h"
#include "main/MessageBox.h"
#include "windows/FramePacedRepaint.h"
#include "windows/Orgwnd.h"
#include "windows/Progress.h"

#include <QScopedValueRollback>

// A game asked for while one is being started (from the build's pass of pending events) is
// not started inside it: it becomes a new game once the current one is done.
bool TFormMain::StartGame(const QString& path, std::optional<LoadedPicture> loaded) {
    if (GameStarting) {
        NewGameAsked = true;
        return false;
    }
    const QScopedValueRollback starting(GameStarting, true);
    const BusyCursor busy;
    EndDrag();
    LoadingWindowStart screen(*this);
    const bool built = Session.Start(path.toStdString(), screen, std::move(loaded));
    screen.Finish(built);
    if (Thumbnail) {
        Thumbnail->SetPicture(Session.ThumbnailPicture());
    }
    return built;
}

// Nothing is picked up while a game is being started or a group is held.
void TFormMain::FormMouseDown(Qt::MouseButton button, int x, int y) {
    if (button != Qt::LeftButton || GameStarting || Game().IsHolding()) {
        return;
    }
    Show(Game().PickUp(x, y));
    if (Game().IsHolding()) {
        const TRect area = Game().ConfinementRect();
        Confinement->Confine(QRect(area.Left, area.Top, area.Width(), area.Height()));
    }
}

void TFormMain::FormMouseMove(int x, int y) {
    if (Game().IsHolding()) {
        Motion->Take(Confinement->Clamp({x, y}));
    }
}

// Any button's release drops the held group.
void TFormMain::FormMouseUp(Qt::MouseButton, int x, int y) {
    Motion->HandWaiting();
    const QPoint at = Confinement->Clamp({x, y});
    Confinement->Release();
    Show(Game().Drop(at.x(), at.y()));
    Show(Game().Settle());
}

void TFormMain::EndDrag() {
    if (Motion) {
        Motion->Forget();
    }
    Game().EndDrag();
    if (Confinement) {
        Confinement->Release();
    }
}

void TFormMain::Show(const BoardUpdate& update) {
    View->ShowNow(update.ShowNow, update.FromDragBuffer);
    if (update.ShowAll) {
        Invalidate();
    }
    if (update.Solved) {
        Tell(Congratulations);
    }
}

// Every message of the game and the package is shown here.
void TFormMain::Tell(const std::optional<Message>& message) {
    if (message) {
        ShowMessageBox(*message);
    }
}

void TFormMain::ShowEmptyBoard() {
    Game().RedrawBoard();
    Invalidate();
}

void TFormMain::Invalidate() {
    View->update();
}

int TFormMain::ClientWidth() const {
    return View->DeviceSize().width();
}

int TFormMain::ClientHeight() const {
    return View->DeviceSize().height();
}

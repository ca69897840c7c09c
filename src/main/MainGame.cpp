// Starting a game on a picture file behind the loading window, and forwarding the pointer to
// the game: the window only shows what the game changed and says.
#include "desktop/BusyCursor.h"
#include "desktop/PointerConfinement.h"
#include "desktop/ShownOnScreen.h"
#include "main/BoardWidget.h"
#include "main/Main.h"
#include "main/MessageBox.h"
#include "windows/FramePacedRepaint.h"
#include "windows/Orgwnd.h"
#include "windows/Progress.h"

#include <QProgressBar>
#include <QPushButton>
#include <QScopedValueRollback>
#include <algorithm>

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
    QPointer<TFormProgress> loading;
    const bool built = Life.Start(path.toStdString(), GameStartHooks(loading), std::move(loaded));
    if (loading && !built) {
        loading->close();
    }
    if (OrgWindow) {
        OrgWindow->SetPicture(Life.ThumbnailPicture());
    }
    return built;
}

// The game is cut behind a new loading window, which follows the cut and offers the start once
// the puzzle is laid out.
StartHooks TFormMain::GameStartHooks(QPointer<TFormProgress>& loading) {
    StartHooks hooks;
    hooks.TakePendingEvents = [this] {
        TakePendingEvents();
        return !Closed;
    };
    hooks.Tell = [this](const Message& message) { Tell(message); };
    hooks.ShowEmptyBoard = [this] { ShowEmptyBoard(); };
    // The build clears the board of the last game's pieces, if it shows any.
    const bool clearing = !Game.ShowsOnlyTheBoardColour();
    auto barRepaint = std::make_shared<std::optional<FramePacedRepaint>>();
    hooks.Build.Starting = [this, clearing, &loading, barRepaint](int pieceCount) {
        if (Closed) {
            return false;
        }
        if (clearing) {
            Invalidate();
        }
        loading = OpenLoadingWindow();
        WaitUntilOnScreen(*loading, WindowManagerWait, [this] { return Closed; });
        if (Closed) {
            return false;
        }
        loading->ProgressBar->setRange(0, pieceCount);
        barRepaint->emplace(*loading->ProgressBar);
        return true;
    };
    hooks.Build.Cutting = [&loading, barRepaint](int made) {
        // Setting the bar is dear: it moves a hundredth of the way at a time.
        QProgressBar& bar = *loading->ProgressBar;
        const int step = std::max(1, bar.maximum() / 100);
        if (bar.value() < made && made % step == 0) {
            bar.setValue(made);
            (*barRepaint)->RepaintWhenDue();
        }
    };
    hooks.Build.Finished = [this, &loading, barRepaint] {
        barRepaint->reset();
        loading->ProgressBar->setValue(loading->ProgressBar->maximum());
        Invalidate();
        loading->ButtonClose->setEnabled(true);
    };
    return hooks;
}

// Once closed it never shows again: it is released rather than kept hidden.
TFormProgress* TFormMain::OpenLoadingWindow() {
    auto* loading = new TFormProgress(this, Credits);
    loading->setAttribute(Qt::WA_DeleteOnClose);
    FormProgress = loading;
    loading->show();
    return loading;
}

// Nothing is picked up while a game is being started or a group is held.
void TFormMain::FormMouseDown(Qt::MouseButton button, int x, int y) {
    if (button != Qt::LeftButton || GameStarting || Game.IsHolding()) {
        return;
    }
    Show(Game.PickUp(x, y));
    if (Game.IsHolding()) {
        const TRect area = Game.ConfinementRect();
        Confinement->Confine(QRect(area.Left, area.Top, area.Width(), area.Height()));
    }
}

void TFormMain::FormMouseMove(int x, int y) {
    if (Game.IsHolding()) {
        const QPoint at = Confinement->Clamp({x, y});
        Show(Game.Move(at.x(), at.y()));
    }
}

// Any button's release drops the held group.
void TFormMain::FormMouseUp(Qt::MouseButton, int x, int y) {
    const QPoint at = Confinement->Clamp({x, y});
    Confinement->Release();
    Show(Game.Drop(at.x(), at.y()));
    Show(Game.Settle());
}

void TFormMain::EndDrag() {
    Game.EndDrag();
    if (Confinement) {
        Confinement->Release();
    }
}

void TFormMain::Show(const BoardUpdate& update) {
    BoardView->ShowNow(update.ShowNow, update.FromDragBuffer);
    if (update.ShowAll) {
        Invalidate();
    }
    if (update.Solved) {
        Tell(GameLife::Congratulations);
    }
}

// Every message of the game and the package is shown here.
void TFormMain::Tell(const std::optional<Message>& message) {
    if (message) {
        ShowMessageBox(*message);
    }
}

void TFormMain::ShowEmptyBoard() {
    Game.RedrawBoard();
    Invalidate();
}

void TFormMain::Invalidate() {
    BoardView->update();
}

int TFormMain::ClientWidth() const {
    return BoardView->DeviceSize().width();
}

int TFormMain::ClientHeight() const {
    return BoardView->DeviceSize().height();
}

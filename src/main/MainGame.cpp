// Starting a game on a picture file behind the loading window, and forwarding the pointer to
// the game: the window only shows what the game changed and says.
#include "main/BoardWidget.h"
#include "main/Main.h"
#include "main/MessageBox.h"
#include "main/PointerConfinement.h"
#include "main/StartupReadAhead.h"
#include "picture/PictureFile.h"
#include "windows/BusyCursor.h"
#include "windows/FramePacedRepaint.h"
#include "windows/Orgwnd.h"
#include "windows/Progress.h"

#include <QCoreApplication>
#include <QProgressBar>
#include <QPushButton>
#include <QScopedValueRollback>
#include <algorithm>

namespace {

const Message Congratulations{"Congratulations. You've solved the puzzle.",
                              MessageIcon::Information};

} // namespace

// A game asked for while one is being started (from the build's pass of pending events) is
// not started inside it: it becomes a new game once the current one is done.
bool TFormMain::StartGame(const QString& path) {
    if (GameStarting) {
        NewGameAsked = true;
        return false;
    }
    const QScopedValueRollback starting(GameStarting, true);
    const BusyCursor busy;
    const bool built = LoadPicture(path) && BuildPuzzle();
    if (OrgWindow) {
        OrgWindow->SetPicture(Game.ThumbnailPicture());
    }
    return built;
}

// Loads a new picture and fits it to the board, after the notice when it has to be smaller.
bool TFormMain::LoadPicture(const QString& path) {
    EndDrag();
    Game.ClearPieces();
    if (path.isEmpty()) {
        return false;
    }
    Game.ClearPicture();
    std::optional<Bitmap> loaded =
        ReadAhead ? ReadAhead->TakePicture(path.toStdString()) : std::nullopt;
    if (!loaded) {
        loaded = LoadPictureFile(path);
    }
    // A large picture takes a while: what the user did meanwhile, a close above all, is
    // taken before any notice can show.
    TakePendingEvents();
    if (Closed) {
        return false;
    }
    if (!loaded) {
        Tell(Message{"Unable to open " + path.toStdString() + ".", MessageIcon::Stop});
        ShowEmptyBoard();
        PicturePath.clear();
        return false;
    }
    const PictureFit fit = Game.FitPicture(loaded->Width(), loaded->Height());
    if (fit.ZoomedOut) {
        Tell(ZoomedOutNotice);
    }
    Game.SetPicture(std::move(*loaded), fit);
    PicturePath = path;
    return true;
}

// Cuts the puzzle behind a new loading window, which closes again when the build fails.
bool TFormMain::BuildPuzzle() {
    if (Closed) {
        return false;
    }
    QPointer<TFormProgress> loading;
    std::optional<FramePacedRepaint> barRepaint;
    // The build clears the board of the last game's pieces, if it shows any.
    const bool clearing = !Game.ShowsOnlyTheBoardColour();
    BuildSteps steps;
    steps.Starting = [&](int pieceCount) {
        if (clearing) {
            Invalidate();
        }
        loading = OpenLoadingWindow();
        QCoreApplication::processEvents();
        if (Closed) {
            loading->close();
            return false;
        }
        loading->ProgressBar->setRange(0, pieceCount);
        barRepaint.emplace(*loading->ProgressBar);
        return true;
    };
    steps.Cutting = [&](int made) {
        // Setting the bar is dear: it moves a hundredth of the way at a time.
        QProgressBar& bar = *loading->ProgressBar;
        const int step = std::max(1, bar.maximum() / 100);
        if (bar.value() < made && made % step == 0) {
            bar.setValue(made);
            barRepaint->RepaintWhenDue();
        }
    };
    const Outcome built = Game.Build(steps);
    barRepaint.reset();
    if (!built.Done) {
        Tell(built.Tell);
        ShowEmptyBoard();
        if (loading) {
            loading->close();
        }
        return false;
    }
    loading->ProgressBar->setValue(loading->ProgressBar->maximum());
    Invalidate();
    loading->ButtonClose->setEnabled(true);
    return true;
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

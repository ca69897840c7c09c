#pragma once

#include "game/BoardCanvas.h"
#include "game/Message.h"
#include "game/PictureFit.h"
#include "puzzle/Bitmap.h"
#include "puzzle/Color.h"
#include "puzzle/Grid.h"
#include "puzzle/PieceList.h"
#include "puzzle/PuzzleShape.h"
#include "puzzle/Random.h"
#include "puzzle/Rect.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

// How the package wants its puzzle played.
struct GameSettings {
    PuzzleShape Shape = PuzzleShape::ForType(1);
    // 1 lays the pieces out in rows; any other value scatters them.
    std::int32_t ArrangeMode = 2;
    TColor BoardColor = 0x00808000;
    // The zoom a new picture is tried at first; lowered when the picture does not fit.
    std::int32_t ZoomPercent = 0;
};

// What a change of the board asks of the window.
struct BoardUpdate {
    // To be copied to the window at once, from the drag buffer or else the board drawn anew; empty
    // when nothing is.
    TRect ShowNow;
    bool FromDragBuffer = false;
    // The whole board is to be shown again when the window gets to it.
    bool ShowAll = false;
    // The drop joined groups; the drop made the puzzle one group.
    bool Joined = false;
    bool Solved = false;
};

// What a build tells its caller while it runs.
struct BuildSteps {
    // The grid is known and `pieceCount` pieces are about to be cut; false stops the build
    // without a word (the window went away meanwhile).
    std::function<bool(int pieceCount)> Starting;
    // `made` pieces have been cut.
    std::function<void(int made)> Cutting;
    // The puzzle is laid out on the board; optional.
    std::function<void()> Finished;
};

// The game, without a window: the working picture, the pieces in their stacking order, the held
// group and the drag buffer, and the rules that change them. The board itself keeps no pixels:
// any part of it is drawn from the pieces when it is shown. Positions are board pixels, which
// the window shows one to one. Each pointer operation says what the window is to show.
class Board {
public:
    // The generator every cut, scatter and arrangement draws from; it must outlive the board.
    explicit Board(Random& random);
    ~Board();
    Board(const Board&) = delete;
    Board& operator=(const Board&) = delete;

    GameSettings Settings;

    // A board one pixel wider than the client area, shown again.
    void RecreateBuffers(int clientWidth, int clientHeight);
    int Width() const { return Canvas.Width(); }
    int Height() const { return Canvas.Height(); }

    // The size a picture of width x height is shown at on this board, at the zoom of the
    // settings or lower. When it had to be zoomed out, the user is told before it is set.
    PictureFit FitPicture(int width, int height) const;
    // Takes a freshly loaded picture at its fit; the fit's zoom is kept for later pictures. Any
    // puzzle is cleared first.
    void SetPicture(Bitmap loaded, const PictureFit& fit);
    void ClearPicture();

    // Cuts the picture into a new puzzle and lays it out. The picture is cut once: a new game
    // needs a freshly loaded picture. A failure leaves no puzzle; the caller tells it, then
    // redraws the board.
    Outcome Build(const BuildSteps& steps);
    void ScatterPieces();
    void ArrangePieces();
    void ClearPieces();
    // The board shows the pieces as they lie now, but a lifted group.
    void RedrawBoard();
    // The board shows the board colour and nothing else.
    bool ShowsOnlyTheBoardColour() const { return Canvas.PlainColor() == Settings.BoardColor; }
    // The one colour the board shows; none while it shows pieces.
    std::optional<TColor> PlainColor() const { return Canvas.PlainColor(); }

    // The pointer, in board pixels, kept inside ConfinementRect while a group is held.
    BoardUpdate PickUp(int x, int y);
    BoardUpdate Move(int x, int y);
    // A release puts the held group down where it is, to be shown at once; Settle then snaps
    // and joins it, tells whether the puzzle was solved, and ends the drag.
    BoardUpdate Drop(int x, int y);
    BoardUpdate Settle();
    // Lets go of a held group where it is, without drawing or snapping it.
    void EndDrag();
    bool IsHolding() const { return Grabbed != nullptr; }
    TRect ConfinementRect() const;

    // Draws the part `area` of the board, without the held group, on `target`, whose pixel
    // (0, 0) is the board point `origin`.
    void DrawBoardPart(Bitmap& target, Point origin, const TRect& area) const;
    // The whole board so drawn.
    Bitmap DrawnBoard() const;
    // The board with the held group composed over it for the window. It holds only the board
    // rectangle DragArea(), from its pixel (0, 0) on.
    const Bitmap& DragBuffer() const { return DragPixels; }
    const TRect& DragArea() const { return DragComposed; }

    const Bitmap* Picture() const { return WorkingPicture.get(); }
    // Null while there is no puzzle.
    PieceList* Pieces() { return AllPieces.get(); }
    const PieceList* Pieces() const { return AllPieces.get(); }
    const HeldPieceList& HeldPieces() const { return Held; }
    const TPuzzle* HeldPiece() const { return Grabbed; }
    const Grid& PuzzleGrid() const { return Cells; }
    // True while no puzzle is in play and once it has been solved.
    bool GameOver() const { return Over; }

private:
    bool CutPieces(const BuildSteps& steps);
    int RandomBelow(int range);

    bool PickUpGroup(int x, int y);
    bool ShownOnBoard(const TPuzzle& piece) const;
    void Lift();
    TRect DragRegion(int x, int y) const;
    void ComposeDrag(const TRect& region);
    void PutDownHeldGroup();
    bool JoinOnce();

    Random& Dice;
    std::unique_ptr<Bitmap> WorkingPicture;
    Grid Cells;
    std::unique_ptr<PieceList> AllPieces;
    bool Over = true;

    BoardCanvas Canvas;
    // As large as the largest drag region so far; DragComposed is the part last composed.
    Bitmap DragPixels;
    TRect DragComposed;

    // The drag: the grabbed piece, its group, the group's box at pick-up and the pointer as
    // last handled.
    TPuzzle* Grabbed = nullptr;
    HeldPieceList Held;
    // The group the board does not show: held and not yet put down.
    std::optional<int> LiftedGroup;
    TRect DragRect;
    int LastMouseX = 0;
    int LastMouseY = 0;
};

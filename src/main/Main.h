#pragma once

#include "music/MediaPlayer.h"
#include "package/PackageCredits.h"
#include "puzzle/Bitmap.h"
#include "puzzle/Color.h"
#include "puzzle/PieceList.h"
#include "puzzle/Rect.h"

#include <QMainWindow>
#include <QRect>
#include <QString>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

class BoardWidget;
class CloseBehindModal;
class QAction;
class QMenu;
class QPainter;
class PointerConfinement;
class TFormProgress;
struct PackageTrailer;

// What the package gave start-up: the picture file to load and whether a song was written.
struct PackageContents {
    QString PicturePath;
    bool HasSong = false;
};

// The main window: it owns the board, the picture, the pieces and the companion windows, and
// runs the road from a freshly started package to a playable board.
class TFormMain : public QMainWindow {
    Q_OBJECT
public:
    // `executablePath` is the package to read at the first showing: the running executable.
    explicit TFormMain(std::string executablePath = RunningExecutablePath(),
                       QWidget* parent = nullptr);
    ~TFormMain() override;

    static std::string RunningExecutablePath();

    // Handlers.
    void FormShow();
    void FormResize();
    void FormPaint(QPainter& painter, const QRect& dirty);
    void FormClose();
    // A close that does not come through the window: a window manager's request while a modal
    // box blocks the window, or a request to end the process. The player ends all the same.
    void CloseFromOutside();
    void NewGameMenuClick();
    void ExitMenuClick();
    void FormMouseDown(Qt::MouseButton button, int x, int y);
    void FormMouseMove(int x, int y);
    void FormMouseUp(Qt::MouseButton button, int x, int y);
    void ShowThumbnailMenuClick();
    void AboutMenuClick();
    void MediaPlayerNotify();

    // Dragging (MainDrag.cpp, MainDrop.cpp).
    bool PickUpGroup(int x, int y);
    // Ends a drag without dropping: nothing held, the pointer free.
    void EndDrag();
    // The rectangle the pointer is kept in while a group is held, in device pixels.
    TRect ConfinementRect() const;

    // Package (MainPackage.cpp).
    std::optional<PackageContents> ReadPackage();
    void SetPuzzleType(std::int32_t type);

    // Picture (MainPicture.cpp).
    bool StartGame(const QString& path);
    bool LoadPicture(const QString& path, bool build);
    void ClearPicture();

    // Building (MainBuild.cpp).
    bool BuildPuzzle();
    bool ComputeGrid();
    void ScatterPieces();
    void ArrangePieces();
    void ClearPieces();

    // Board (MainBoard.cpp).
    enum class Buffer { Board, Drag };
    void RecreateBuffers();
    void RedrawBoard();
    // Copies a rectangle of a buffer to the window now.
    void CopyToWindow(Buffer buffer, const TRect& rect);
    // The client area in device pixels: the board is drawn pixel for pixel on the screen.
    int ClientWidth() const;
    int ClientHeight() const;

    // Fields, with their values after construction.
    bool FirstShow = true;
    bool GameOver = true;
    std::int32_t Cols = 0;
    std::int32_t Rows = 0;
    std::int32_t ZoomPercent = 0;
    std::int32_t PictureWidth = 0;
    std::int32_t PictureHeight = 0;
    std::int32_t PieceSize = 96;
    std::int32_t TabSize = 16;
    std::int32_t MarginX = 0;
    std::int32_t MarginY = 0;
    std::int32_t PuzzleType = 1;
    std::int32_t ArrangeMode = 2;
    TRect DragRect;
    TColor BoardColor = 0x00808000;
    // The piece under the pointer during a drag; it belongs to Pieces.
    TPuzzle* HeldPiece = nullptr;
    // All pieces, bottom first; null while there is no puzzle.
    std::unique_ptr<PieceList> Pieces;
    // The pieces of the held group.
    HeldPieceList HeldPieces;
    std::unique_ptr<Bitmap> Picture;
    // Shared with the thumbnail window, which only borrows it.
    std::shared_ptr<Bitmap> ThumbnailPicture;
    std::unique_ptr<Bitmap> DragBuffer;
    std::unique_ptr<Bitmap> BoardBuffer;
    std::int32_t LastMouseX = 0;
    std::int32_t LastMouseY = 0;
    QString PicturePath;

    // The trailer's start message, shown once after the first puzzle.
    QString StartMessage;
    // The package's lines for the loading window; empty when it brings none.
    PackageCredits Credits;

    // A game is being started; what asks for another meanwhile only sets NewGameAsked, and
    // the new game runs once the current one is done.
    bool GameStarting = false;
    bool NewGameAsked = false;
    // The window has been closed: whatever start-up or build is still running stops quietly.
    bool Closed = false;

    // Components.
    ::MediaPlayer* MediaPlayer = nullptr;
    BoardWidget* Board = nullptr;
    QMenu* Game1 = nullptr;
    QAction* NewGameMenu = nullptr;
    QAction* N10 = nullptr;
    QAction* ExitMenu = nullptr;
    QMenu* Options1 = nullptr;
    QAction* ShowThumbnailMenu = nullptr;
    QMenu* Help1 = nullptr;
    QAction* AboutMenu = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;

private:
    void CreateMenu();
    void FixToWorkArea();
    void SizeToWorkArea();
    // One pass of pending events while a game is starting: a New game asked for meanwhile
    // waits, and a close is seen by the code that follows.
    void TakePendingEvents();
    void FitFrameIntoWorkArea();
    void AlignBoardToDevicePixels();
    QSize DeviceAligned(const QSize& size) const;
    void ApplyTrailer(const PackageTrailer& trailer, const std::string& songPath);
    void ShowStartMessage();
    void BringToForeground();
    void StartSong();
    void FitPicture();
    int BoardWidth() const;
    int BoardHeight() const;
    void Invalidate();
    bool CutPieces(TFormProgress& progress);
    void AbandonBuild();

    TRect DragRegion(int x, int y) const;
    void ComposeDrag(const TRect& region);
    // Clears the held pieces' boxes on the board buffer and redraws what lies under them.
    void EraseHeldGroup();
    void RedrawAroundHeldGroup(int margin);
    void PutDownHeldGroup();
    bool JoinOnce();

    std::string ExecutablePath;
    std::unique_ptr<PointerConfinement> Confinement;
    std::unique_ptr<CloseBehindModal> CloseFilter;
    // The buffer a synchronous repaint copies from; the board buffer otherwise.
    Buffer PaintSource = Buffer::Board;
    QRect PaintSourceRect;
};

// The one main window of the process, or none.
extern TFormMain* FormMain;

#pragma once

#include "game/Board.h"
#include "game/GameLife.h"
#include "package/PackageCredits.h"
#include "package/PlayerFolder.h"
#include "puzzle/Random.h"

#include <QMainWindow>
#include <QPointer>
#include <QRect>
#include <QString>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class BoardWidget;
class CloseBehindModal;
class MainWindowLoss;
class MediaPlayer;
class PointerConfinement;
class StartupReadAhead;
class QAction;
class QMenu;
class TFormAbout;
class TFormProgress;
class TOrgWindow;
class WindowKeeper;
struct PackageTrailer;

// What the package gave start-up: the picture file to load (and its bytes, which the read-ahead
// may be decoding) and whether a song was written, or why it gave nothing.
struct PackageContents {
    QString PicturePath;
    bool HasSong = false;
    std::optional<Message> Failure;
    std::vector<std::uint8_t> PictureBytes;
};

// The main window: it reads the package, shows the board, forwards the pointer to the game,
// shows what the game has to say, and owns the companion windows and the song.
class TFormMain : public QMainWindow {
    Q_OBJECT
public:
    // `executablePath` is the package to read at the first showing: the running executable.
    explicit TFormMain(std::string executablePath, QWidget* parent = nullptr);
    // The same, with the package and its picture being read ahead already.
    explicit TFormMain(std::unique_ptr<StartupReadAhead> readAhead, QWidget* parent = nullptr);
    ~TFormMain() override;

    // Handlers.
    void FormShow();
    void FormResize();
    void FormClose();
    // A close that does not come through the window: a window manager's request while a modal
    // box blocks the window, or a request to end the process. The player ends all the same.
    void CloseFromOutside();
    // The window was destroyed from outside: the player ends.
    void WindowLost();
    void NewGameMenuClick();
    void ExitMenuClick();
    // Pointer positions are device pixels of the board.
    void FormMouseDown(Qt::MouseButton button, int x, int y);
    void FormMouseMove(int x, int y);
    void FormMouseUp(Qt::MouseButton button, int x, int y);
    void ShowThumbnailMenuClick();
    void AboutMenuClick();
    void MediaPlayerNotify();

    // Clears the game and starts a new one on the picture file at `path`; `loaded` is that
    // file read and decoded already, if it was.
    bool StartGame(const QString& path, std::optional<LoadedPicture> loaded = std::nullopt);
    // The client area in device pixels: the board is drawn pixel for pixel on the screen.
    int ClientWidth() const;
    int ClientHeight() const;

    // The generator of every game; seeded from the clock at the first showing.
    Random Dice;
    Board Game{Dice};
    // The game's life: its picture file, start, failures and thumbnail picture.
    GameLife Life;
    // The picture file new games are cut from; empty after a failed load.
    QString PicturePath() const;
    // The trailer's start message, shown once after the first puzzle.
    QString StartMessage;
    // The package's lines for the loading window; empty when it brings none.
    PackageCredits Credits;

    bool FirstShow = true;
    // A game is being started; what asks for another meanwhile only sets NewGameAsked, and
    // the new game runs once the current one is done.
    bool GameStarting = false;
    bool NewGameAsked = false;
    // The window has been closed: whatever start-up or build is still running stops quietly.
    bool Closed = false;

    // Components.
    ::MediaPlayer* MediaPlayer = nullptr;
    BoardWidget* BoardView = nullptr;
    QMenu* Game1 = nullptr;
    QAction* NewGameMenu = nullptr;
    QAction* N10 = nullptr;
    QAction* ExitMenu = nullptr;
    QMenu* Options1 = nullptr;
    QAction* ShowThumbnailMenu = nullptr;
    QMenu* Help1 = nullptr;
    QAction* AboutMenu = nullptr;

    // Companion windows, each while it is open: the newest loading window, the thumbnail and
    // the about window.
    QPointer<TFormProgress> FormProgress;
    QPointer<TOrgWindow> OrgWindow;
    QPointer<TFormAbout> FormAbout;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void CreateMenu();
    void SizeToWorkArea();
    // One pass of pending events while a game is starting: a New game asked for meanwhile
    // waits, and a close is seen by the code that follows.
    void TakePendingEvents();
    PackageContents ReadPackage();
    // The package's picture as the read-ahead decoded it, with its file's bytes; nothing when
    // it was not decoded ahead.
    std::optional<LoadedPicture> TakeDecodedPicture(std::vector<std::uint8_t> fileBytes);
    void ApplyTrailer(const PackageTrailer& trailer, const std::string& songPath);
    void ShowStartMessage();
    void StartSong();
    StartHooks GameStartHooks(QPointer<TFormProgress>& loading);
    TFormProgress* OpenLoadingWindow();
    void BringToForeground();

    void Show(const BoardUpdate& update);
    void Tell(const std::optional<Message>& message);
    void Invalidate();
    // After a failure: the board without a puzzle.
    void ShowEmptyBoard();
    // Ends a drag without dropping: nothing held, the pointer free.
    void EndDrag();

    std::string ExecutablePath;
    std::unique_ptr<StartupReadAhead> ReadAhead;
    // This player's own temporary files, in a folder of its own.
    PlayerFolder TempFiles;
    std::unique_ptr<PointerConfinement> Confinement;
    // The window's place on the screen.
    WindowKeeper* Keeper = nullptr;
    std::unique_ptr<CloseBehindModal> CloseFilter;
    std::unique_ptr<MainWindowLoss> LossFilter;
};

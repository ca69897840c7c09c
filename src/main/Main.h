#pragma once

#include "game/GameSession.h"
#include "package/PlayerFolder.h"
#include "windows/About.h"
#include "windows/Orgwnd.h"
#include "windows/Progress.h"

#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <memory>
#include <optional>
#include <string>

class BoardWidget;
class CloseBehindModal;
class LoadingWindowStart;
class MainWindowLoss;
class MediaPlayer;
class FramePacedMotion;
class PointerConfinement;
class StartupReadAhead;
class QAction;
class QMenu;
class TFormAbout;
class TFormProgress;
class TOrgWindow;
class WindowKeeper;
struct PackageTrailer;

// The main window: it shows the game session's board, forwards the pointer and the menus to the
// session, shows what the session has to say, and owns the companion windows and the song.
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

    // The session's board, and what it shows of the game.
    Board& Game() { return Session.Game(); }
    // The picture file new games are cut from; empty after a failed load.
    QString PicturePath() const;
    // The picture the thumbnail shows (see GameLife), and whether a copy of it is held now.
    std::shared_ptr<const Bitmap> ThumbnailPicture() { return Session.ThumbnailPicture(); }
    bool HoldsThumbnailCopy() const { return Session.HoldsThumbnailCopy(); }
    // The package's lines for the loading window; empty when it brings none.
    const PackageCredits& Credits() const { return Session.Credits(); }
    // Until the window has been shown once, the road to the first board is still to come.
    bool FirstShowPending() const { return FirstShow; }
    // A window driven by hand (a benchmark) takes no road to a first board when shown.
    void SkipFirstShow() { FirstShow = false; }

    // Components.
    ::MediaPlayer* MediaPlayer() const { return Player; }
    BoardWidget* BoardView() const { return View; }
    QMenu* Game1() const { return GameMenu; }
    QAction* NewGameMenu() const { return NewGameAction; }
    QAction* ExitMenu() const { return ExitAction; }
    QAction* ShowThumbnailMenu() const { return ThumbnailAction; }
    QAction* AboutMenu() const { return AboutAction; }
    // Companion windows, each while it is open: the newest loading window and the thumbnail.
    TFormProgress* FormProgress() const { return NewestLoading; }
    TOrgWindow* OrgWindow() const { return Thumbnail; }

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    friend class LoadingWindowStart;

    void CreateMenu();
    void SizeToWorkArea();
    // One pass of pending events while a game is starting: a New game asked for meanwhile
    // waits, and a close is seen by the code that follows.
    void TakePendingEvents();
    void StartSong();
    void BringToForeground();

    void Show(const BoardUpdate& update);
    void Tell(const std::optional<Message>& message);
    void Invalidate();
    // After a failure: the board without a puzzle.
    void ShowEmptyBoard();
    // Ends a drag without dropping: nothing held, the pointer free.
    void EndDrag();

    GameSession Session;
    bool FirstShow = true;
    // A game is being started; what asks for another meanwhile only sets NewGameAsked, and
    // the new game runs once the current one is done.
    bool GameStarting = false;
    bool NewGameAsked = false;
    // The window has been closed: whatever start-up or build is still running stops quietly.
    bool Closed = false;

    ::MediaPlayer* Player = nullptr;
    BoardWidget* View = nullptr;
    QMenu* GameMenu = nullptr;
    QAction* NewGameAction = nullptr;
    QAction* ExitAction = nullptr;
    QAction* ThumbnailAction = nullptr;
    QAction* AboutAction = nullptr;
    QPointer<TFormProgress> NewestLoading;
    QPointer<TOrgWindow> Thumbnail;

    std::string ExecutablePath;
    std::unique_ptr<StartupReadAhead> ReadAhead;
    // This player's own temporary files, in a folder of its own.
    PlayerFolder TempFiles;
    std::unique_ptr<PointerConfinement> Confinement;
    std::unique_ptr<FramePacedMotion> Motion;
    // The window's place on the screen.
    WindowKeeper* Keeper = nullptr;
    std::unique_ptr<CloseBehindModal> CloseFilter;
    std::unique_ptr<MainWindowLoss> LossFilter;
};

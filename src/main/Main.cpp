#include "main/Main.h"

#include "desktop/CloseBehindModal.h"
#include "desktop/FocusKeeper.h"
#include "desktop/MainWindowLoss.h"
#include "desktop/PointerConfinement.h"
#include "desktop/ShownOnScreen.h"
#include "desktop/WindowKeeper.h"
#include "main/Application.h"
#include "main/BoardWidget.h"
#include "main/FramePacedMotion.h"
#include "main/StartupReadAhead.h"
#include "music/MediaPlayer.h"
#include "package/TempFolder.h"
#include "picture/PictureFile.h"
#include "windows/AppIcon.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QMenuBar>
#include <QScopedValueRollback>
#include <QTimer>
#include <QWindow>
#include <ctime>

namespace {

PictureFiles PlayerPictureFiles() {
    return {ReadPictureFile,
            [](std::span<const std::uint8_t> bytes, const std::string& path,
               const LeastSize& least) { return DecodePictureFile(bytes, path, least); }};
}

} // namespace

TFormMain::TFormMain(std::string executablePath, QWidget* parent)
    : QMainWindow(parent)
    , Session(PlayerPictureFiles())
    , ExecutablePath(std::move(executablePath)) {
    setObjectName(QStringLiteral("FormMain"));
    setWindowTitle(ApplicationTitle);
    // Move, minimise and close stay; there is no maximise button and no sizing frame.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    Player = new ::MediaPlayer(this);
    Player->setObjectName(QStringLiteral("MediaPlayer"));
    connect(Player, &::MediaPlayer::Notify, this, &TFormMain::MediaPlayerNotify);
    setWindowIcon(AppIcon());
    View = new BoardWidget(*this, Game());
    Confinement = std::make_unique<PointerConfinement>(*View);
    Motion = std::make_unique<FramePacedMotion>([this](QPoint at) {
        if (Game().IsHolding()) {
            Show(Game().Move(at.x(), at.y()));
        }
    });
    CloseFilter = std::make_unique<CloseBehindModal>(*this, [this] { CloseFromOutside(); });
    QCoreApplication::instance()->installNativeEventFilter(CloseFilter.get());
    LossFilter = std::make_unique<MainWindowLoss>(*this, [this] { WindowLost(); });
    QCoreApplication::instance()->installNativeEventFilter(LossFilter.get());
    FocusKeeper::WatchWhereNeeded(*this);
    setCentralWidget(View);
    CreateMenu();
    Keeper = new WindowKeeper(*this);
}

TFormMain::TFormMain(std::unique_ptr<StartupReadAhead> readAhead, QWidget* parent)
    : TFormMain(readAhead->ExecutablePath(), parent) {
    ReadAhead = std::move(readAhead);
}

TFormMain::~TFormMain() {
    EndDrag();
}

QString TFormMain::PicturePath() const {
    return QString::fromStdString(Session.PicturePath());
}

void TFormMain::CreateMenu() {
    GameMenu = menuBar()->addMenu(QStringLiteral("&Game"));
    GameMenu->setObjectName(QStringLiteral("Game1"));
    NewGameAction =
        GameMenu->addAction(QStringLiteral("&New game"), this, &TFormMain::NewGameMenuClick);
    NewGameAction->setObjectName(QStringLiteral("NewGameMenu"));
    NewGameAction->setShortcut(Qt::Key_F2);
    GameMenu->addSeparator()->setObjectName(QStringLiteral("N10"));
    ExitAction = GameMenu->addAction(QStringLiteral("E&xit"), this, &TFormMain::ExitMenuClick);
    ExitAction->setObjectName(QStringLiteral("ExitMenu"));

    QMenu* options = menuBar()->addMenu(QStringLiteral("&Options"));
    options->setObjectName(QStringLiteral("Options1"));
    ThumbnailAction = options->addAction(QStringLiteral("Show &thumbnail"));
    ThumbnailAction->setObjectName(QStringLiteral("ShowThumbnailMenu"));
    ThumbnailAction->setCheckable(true);
    connect(ThumbnailAction, &QAction::triggered, this, &TFormMain::ShowThumbnailMenuClick);

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("Help1"));
    AboutAction = help->addAction(QStringLiteral("&About"));
    AboutAction->setObjectName(QStringLiteral("AboutMenu"));
    connect(AboutAction, &QAction::triggered, this, &TFormMain::AboutMenuClick);
}

// The road to the first board runs once the window is on the screen, so that the loading
// window and any message appear over it rather than over an empty desktop.
void TFormMain::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (FirstShow) {
        QMetaObject::invokeMethod(this, &TFormMain::FormShow, Qt::QueuedConnection);
    }
}

void TFormMain::closeEvent(QCloseEvent* event) {
    FormClose();
    event->accept();
}

void TFormMain::FormShow() {
    if (!FirstShow) {
        return;
    }
    FirstShow = false;
    if (Closed) {
        return;
    }
    Session.Seed(static_cast<std::uint32_t>(std::time(nullptr)));
    SizeToWorkArea();
    if (Closed) { // closed while the window manager placed it: no file is written
        return;
    }
    StartedPackage package = StartOwnPackage(ReadAhead.get(), ExecutablePath, TempFiles);
    Player->FileName = QString::fromStdString(package.SongPath.empty() ? std::string(TempSongName)
                                                                       : package.SongPath);
    const Result<void, Message> taken = Session.TakePackage(package);
    // The board in the package's colour is on the screen before anything else happens.
    ShowEmptyBoard();
    WaitUntilOnScreen(*this, WindowManagerWait, [this] { return Closed; });
    if (Closed) { // closed while it waited: nothing more is said
        return;
    }
    if (!taken) {
        Tell(taken.Error());
        return;
    }
    StartGame(QString::fromStdString(package.PicturePath),
              ReadAhead ? ReadAhead->TakeLoadedPicture(std::move(package.PictureBytes))
                        : std::nullopt);
    TakePendingEvents();
    if (Closed) {
        return;
    }
    Tell(Session.StartMessage());
    if (Closed) { // closed while the message was open
        return;
    }
    Invalidate();
    if (!package.SongPath.empty()) {
        StartSong();
    }
    if (NewGameAsked) {
        NewGameMenuClick();
    }
}

// What came while a game was being started (a picture decoded, pieces cut) is handled before
// anything more is shown: a close is seen by what follows, and a new game asked for waits.
void TFormMain::TakePendingEvents() {
    const QScopedValueRollback starting(GameStarting, true);
    QCoreApplication::processEvents();
}

// The client area takes its new size now, so the board exists before the package is read.
void TFormMain::SizeToWorkArea() {
    Keeper->WaitUntilPlaced(WindowManagerWait, [this] { return Closed; });
    if (Game().Width() != ClientWidth() + 1 || Game().Height() != ClientHeight()) {
        Game().RecreateBuffers(ClientWidth(), ClientHeight());
        Invalidate();
    }
}

void TFormMain::FormResize() {
    if (isVisible()) {
        EndDrag();
        Game().RecreateBuffers(ClientWidth(), ClientHeight());
        Invalidate();
    }
}

void TFormMain::FormClose() {
    Closed = true;
    EndDrag();
    TempFiles.Remove();
}

// The temporary files go now, the boxes close, and the window closes once their loops are done;
// what start-up had still to do sees the close and does nothing more.
void TFormMain::CloseFromOutside() {
    FormClose();
    while (QWidget* modal = QApplication::activeModalWidget()) {
        if (!modal->close()) {
            break;
        }
    }
    QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
}

void TFormMain::WindowLost() {
    if (!Closed) {
        CloseFromOutside();
        QMetaObject::invokeMethod(QCoreApplication::instance(), &QCoreApplication::quit,
                                  Qt::QueuedConnection);
    }
}

// A new game asked for while one is being started waits for it; any number of them asked for
// meanwhile give one more game.
void TFormMain::NewGameMenuClick() {
    if (GameStarting) {
        NewGameAsked = true;
        return;
    }
    do {
        NewGameAsked = false;
        StartGame(PicturePath());
        if (Closed) {
            return;
        }
        Invalidate();
    } while (NewGameAsked);
}

void TFormMain::ExitMenuClick() {
    close();
}

#include "main/Main.h"

#include "main/Application.h"
#include "main/BoardWidget.h"
#include "main/CloseBehindModal.h"
#include "main/MessageBox.h"
#include "main/PointerConfinement.h"
#include "package/TempFolder.h"
#include "puzzle/Random.h"
#include "windows/AppIcon.h"
#include "windows/DevicePixels.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QLayout>
#include <QMenuBar>
#include <QScopedValueRollback>
#include <QScreen>
#include <ctime>
#include <unistd.h>

TFormMain* FormMain = nullptr;

namespace {

QRect WorkArea() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen != nullptr ? screen->availableGeometry() : QRect(0, 0, 800, 600);
}

} // namespace

TFormMain::TFormMain(std::string executablePath, QWidget* parent)
    : QMainWindow(parent)
    , ExecutablePath(std::move(executablePath)) {
    setObjectName(QStringLiteral("FormMain"));
    setWindowTitle(ApplicationTitle);
    // Move, minimise and close stay; there is no maximise button and no sizing frame.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    MediaPlayer = new ::MediaPlayer(this);
    MediaPlayer->setObjectName(QStringLiteral("MediaPlayer"));
    connect(MediaPlayer, &MediaPlayer::Notify, this, &TFormMain::MediaPlayerNotify);
    setWindowIcon(AppIcon());
    Board = new BoardWidget(*this);
    Confinement = std::make_unique<PointerConfinement>(*Board);
    CloseFilter = std::make_unique<CloseBehindModal>(*this, [this] { CloseFromOutside(); });
    QCoreApplication::instance()->installNativeEventFilter(CloseFilter.get());
    setCentralWidget(Board);
    CreateMenu();
    // Fixed from the start: a window manager that sees it resizable at its first mapping
    // offers a maximise button for good.
    FixToWorkArea();
    SetPuzzleType(1);
    DragRect = {0, 0, ClientWidth(), ClientHeight()};
    FormMain = this;
}

TFormMain::~TFormMain() {
    EndDrag();
    ClearPieces();
    if (FormMain == this) {
        FormMain = nullptr;
    }
}

std::string TFormMain::RunningExecutablePath() {
    return QCoreApplication::applicationFilePath().toStdString();
}

void TFormMain::CreateMenu() {
    Game1 = menuBar()->addMenu(QStringLiteral("&Game"));
    Game1->setObjectName(QStringLiteral("Game1"));
    NewGameMenu = Game1->addAction(QStringLiteral("&New game"), this, &TFormMain::NewGameMenuClick);
    NewGameMenu->setObjectName(QStringLiteral("NewGameMenu"));
    NewGameMenu->setShortcut(Qt::Key_F2);
    N10 = Game1->addSeparator();
    N10->setObjectName(QStringLiteral("N10"));
    ExitMenu = Game1->addAction(QStringLiteral("E&xit"), this, &TFormMain::ExitMenuClick);
    ExitMenu->setObjectName(QStringLiteral("ExitMenu"));

    Options1 = menuBar()->addMenu(QStringLiteral("&Options"));
    Options1->setObjectName(QStringLiteral("Options1"));
    ShowThumbnailMenu = Options1->addAction(QStringLiteral("Show &thumbnail"));
    ShowThumbnailMenu->setObjectName(QStringLiteral("ShowThumbnailMenu"));
    ShowThumbnailMenu->setCheckable(true);
    connect(ShowThumbnailMenu, &QAction::triggered, this, &TFormMain::ShowThumbnailMenuClick);

    Help1 = menuBar()->addMenu(QStringLiteral("&Help"));
    Help1->setObjectName(QStringLiteral("Help1"));
    AboutMenu = Help1->addAction(QStringLiteral("&About"));
    AboutMenu->setObjectName(QStringLiteral("AboutMenu"));
    connect(AboutMenu, &QAction::triggered, this, &TFormMain::AboutMenuClick);
}

int TFormMain::ClientWidth() const {
    return Board->DeviceSize().width();
}

int TFormMain::ClientHeight() const {
    return Board->DeviceSize().height();
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

void TFormMain::moveEvent(QMoveEvent* event) {
    QMainWindow::moveEvent(event);
    FitFrameIntoWorkArea();
}

void TFormMain::FormShow() {
    if (!FirstShow) {
        return;
    }
    FirstShow = false;
    if (Closed) {
        return;
    }
    ProcessRandom().Seed(static_cast<std::uint32_t>(std::time(nullptr)));
    SizeToWorkArea();
    const std::optional<PackageContents> package = ReadPackage();
    if (!package) {
        return;
    }
    StartGame(package->PicturePath);
    TakePendingEvents();
    if (Closed) {
        return;
    }
    RedrawBoard();
    ShowStartMessage();
    if (Closed) { // closed while the message was open
        return;
    }
    Invalidate();
    if (package->HasSong) {
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

void TFormMain::FixToWorkArea() {
    const QRect work = WorkArea();
    AlignBoardToDevicePixels();
    setFixedSize(DeviceAligned(work.size()));
    move(work.topLeft());
}

void TFormMain::SizeToWorkArea() {
    FixToWorkArea();
    // The client area takes its new size now, so the board exists before the package is read.
    if (layout() != nullptr) {
        layout()->activate();
    }
    FitFrameIntoWorkArea();
    if (!BoardBuffer || BoardBuffer->Width() != ClientWidth() + 1 ||
        BoardBuffer->Height() != ClientHeight()) {
        RecreateBuffers();
    }
}

// Window managers add their frame outside the window; once it is known, the window shrinks so
// that frame and all fill the work area exactly.
void TFormMain::FitFrameIntoWorkArea() {
    if (FirstShow || !isVisible()) {
        return;
    }
    const QSize frameExtra = frameGeometry().size() - geometry().size();
    if (frameExtra.width() <= 0 && frameExtra.height() <= 0) {
        return;
    }
    const QRect work = WorkArea();
    const QSize wanted = DeviceAligned(work.size() - frameExtra);
    if (wanted != size() && wanted.isValid()) {
        setFixedSize(wanted);
        move(work.topLeft());
        if (layout() != nullptr) {
            layout()->activate();
        }
    }
}

// At a fractional scale factor the board must start and end on whole device pixels, or it
// could not be drawn pixel for pixel: the menu bar's height and the window's size are rounded
// to lengths with a whole number of device pixels.
void TFormMain::AlignBoardToDevicePixels() {
    const int menuHeight = menuBar()->sizeHint().height();
    menuBar()->setFixedHeight(AlignUpToDevicePixels(menuHeight, devicePixelRatioF()));
}

QSize TFormMain::DeviceAligned(const QSize& size) const {
    const qreal ratio = devicePixelRatioF();
    return {AlignDownToDevicePixels(size.width(), ratio),
            AlignDownToDevicePixels(size.height(), ratio)};
}

void TFormMain::FormResize() {
    if (isVisible()) {
        RecreateBuffers();
    }
}

void TFormMain::FormClose() {
    Closed = true;
    EndDrag();
    const TempFolderResult folder = UserTempFolder(TempFolderUse::ExistingOnly);
    if (!folder.Ok()) {
        return;
    }
    for (const std::string_view name : {TempPictureJpegName, TempSongName, TempPictureBitmapName}) {
        unlink(TempFilePath(folder.Folder, name).c_str());
    }
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

// A new game asked for while one is being started waits for it; any number of them asked for
// meanwhile give one more game.
void TFormMain::NewGameMenuClick() {
    if (GameStarting) {
        NewGameAsked = true;
        return;
    }
    do {
        NewGameAsked = false;
        StartGame(PicturePath);
        if (Closed) {
            return;
        }
        RedrawBoard();
        Invalidate();
    } while (NewGameAsked);
}

void TFormMain::ExitMenuClick() {
    close();
}

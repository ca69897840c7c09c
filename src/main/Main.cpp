#include "main/Main.h"

#include "main/Application.h"
#include "main/BoardWidget.h"
#include "main/MessageBox.h"
#include "main/PackageReader.h"
#include "main/PuzzleType.h"
#include "main/TempFolder.h"
#include "main/Windows1252.h"
#include "puzzle/Random.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QImage>
#include <QLayout>
#include <QMenuBar>
#include <QPainter>
#include <QScreen>
#include <ctime>
#include <unistd.h>

TFormMain* FormMain = nullptr;

namespace {

QColor QtColorOf(TColor color) {
    return QColor::fromRgb(PixelFromColor(color));
}

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
    Board = new BoardWidget(*this);
    setCentralWidget(Board);
    CreateMenu();
    SetPuzzleType(1);
    DragRect = {0, 0, ClientWidth(), ClientHeight()};
    FormMain = this;
}

TFormMain::~TFormMain() {
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

    Help1 = menuBar()->addMenu(QStringLiteral("&Help"));
    Help1->setObjectName(QStringLiteral("Help1"));
    AboutMenu = Help1->addAction(QStringLiteral("&About"));
    AboutMenu->setObjectName(QStringLiteral("AboutMenu"));
}

int TFormMain::ClientWidth() const {
    return Board->width();
}

int TFormMain::ClientHeight() const {
    return Board->height();
}

void TFormMain::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    FormShow();
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
    ProcessRandom().Seed(static_cast<std::uint32_t>(std::time(nullptr)));
    SizeToWorkArea();
    if (!ReadPackage()) {
        return;
    }
    RedrawBoard();
    ShowStartMessage();
    Board->update();
}

void TFormMain::SizeToWorkArea() {
    const QRect work = WorkArea();
    setFixedSize(work.size());
    move(work.topLeft());
    // The client area takes its new size now, so the board exists before the package is read.
    if (layout() != nullptr) {
        layout()->activate();
    }
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
    const QSize wanted = work.size() - frameExtra;
    if (wanted != size() && wanted.isValid()) {
        setFixedSize(wanted);
        move(work.topLeft());
    }
}

void TFormMain::FormResize() {
    if (isVisible()) {
        RecreateBuffers();
    }
}

void TFormMain::RecreateBuffers() {
    DragBuffer.reset();
    DragBuffer = std::make_unique<Bitmap>(ClientWidth() + 1, ClientHeight());
    BoardBuffer.reset();
    BoardBuffer = std::make_unique<Bitmap>(ClientWidth() + 1, ClientHeight());
    RedrawBoard();
    Board->update();
}

void TFormMain::RedrawBoard() {
    if (!BoardBuffer || !DragBuffer) {
        return;
    }
    BoardBuffer->Fill(PixelFromColor(BoardColor));
    *DragBuffer = *BoardBuffer;
}

void TFormMain::FormPaint(QPainter& painter, const QRect& dirty) {
    if (!BoardBuffer || BoardBuffer->IsEmpty()) {
        painter.fillRect(Board->rect(), QtColorOf(BoardColor));
        return;
    }
    const QImage board(reinterpret_cast<const uchar*>(BoardBuffer->Scanline(0)),
                       BoardBuffer->Width(), BoardBuffer->Height(),
                       static_cast<qsizetype>(BoardBuffer->Pitch()) * sizeof(Pixel),
                       QImage::Format_RGB32);
    painter.drawImage(dirty, board, dirty);
}

void TFormMain::FormClose() {
    const TempFolderResult folder = UserTempFolder();
    if (!folder.Ok()) {
        return;
    }
    for (const std::string_view name : {TempPictureJpegName, TempSongName, TempPictureBitmapName}) {
        unlink(TempFilePath(folder.Folder, name).c_str());
    }
}

void TFormMain::NewGameMenuClick() {
    RedrawBoard();
    Board->update();
}

void TFormMain::ExitMenuClick() {
    close();
}

std::optional<PackageContents> TFormMain::ReadPackage() {
    const ExtractedPackage package = ExtractPackage(ExecutablePath);
    if (package.Trailer) {
        ApplyTrailer(*package.Trailer, package.SongPath);
    }
    if (!package.Ok()) {
        const std::string text = package.Failure == PackageFailure::TempFileFailed
                                     ? package.FailureDetail
                                     : FailureMessage(package.Failure);
        ShowMessageBox(QString::fromStdString(text), MessageIcon::Stop);
        return std::nullopt;
    }
    return PackageContents{QString::fromStdString(package.PicturePath), !package.SongPath.empty()};
}

void TFormMain::ApplyTrailer(const PackageTrailer& trailer, const std::string& songPath) {
    ArrangeMode = trailer.ArrangeMode;
    SetPuzzleType(trailer.PuzzleType);
    BoardColor = trailer.BoardColor;
    ZoomPercent = trailer.ZoomPercent;
    StartMessage = QString::fromStdString(Windows1252ToUtf8(trailer.StartMessage));
    MediaPlayer->FileName = songPath.empty()
                                ? QString::fromUtf8(TempSongName.data(), TempSongName.size())
                                : QString::fromStdString(songPath);
}

void TFormMain::SetPuzzleType(std::int32_t type) {
    const PuzzleSizes sizes = SizesForPuzzleType(type);
    PuzzleType = sizes.PuzzleType;
    PieceSize = sizes.PieceSize;
    TabSize = sizes.TabSize;
}

void TFormMain::ShowStartMessage() {
    if (!StartMessage.isEmpty()) {
        ShowMessageBox(StartMessage, MessageIcon::Information);
    }
}

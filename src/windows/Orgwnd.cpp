#include "windows/Orgwnd.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QScreen>

QPointer<TOrgWindow> OrgWindow;

namespace {

constexpr QSize LoadedOuterSize(172, 151);
constexpr QPoint LoadedPosition(210, 142);

// A picture with nothing left at half its size shows as no picture.
bool ShowsAtHalf(const Bitmap& picture) {
    return picture.Width() / 2 > 0 && picture.Height() / 2 > 0;
}

} // namespace

QPoint CornerPosition(const QRect& workArea, const QSize& outer) {
    return {workArea.x() + workArea.width() - outer.width() - 1,
            workArea.y() + workArea.height() - outer.height() - 1};
}

TOrgWindow::TOrgWindow(QWidget* owner, std::function<void()> onClose)
    : QWidget(owner, Qt::Tool | Qt::WindowStaysOnTopHint)
    , OnClose(std::move(onClose)) {
    setObjectName(QStringLiteral("OrgWindow"));
    setWindowTitle(QStringLiteral("Thumbnail"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    QFont font = this->font();
    font.setFamily(QStringLiteral("Sans Serif"));
    font.setPixelSize(11);
    setFont(font);
    resize(LoadedOuterSize);
    move(LoadedPosition);
}

void TOrgWindow::SetPicture(const std::shared_ptr<const Bitmap>& picture) {
    ThumbnailBitmap = picture;
    if (picture && ShowsAtHalf(*picture)) {
        resize(picture->Width() / 2, picture->Height() / 2);
        PlaceAtWorkAreaCorner();
    }
    update();
}

void TOrgWindow::PlaceAtWorkAreaCorner() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return;
    }
    const QSize frame = frameGeometry().size() - geometry().size();
    move(CornerPosition(screen->availableGeometry(), size() + frame));
}

void TOrgWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const std::shared_ptr<const Bitmap> picture = ThumbnailBitmap.lock();
    if (!picture || !ShowsAtHalf(*picture) || width() <= 0 || height() <= 0) {
        painter.fillRect(rect(), Qt::white);
        return;
    }
    const Bitmap stretched = StretchNearest(*picture, width(), height());
    const QImage image(reinterpret_cast<const uchar*>(stretched.Scanline(0)), stretched.Width(),
                       stretched.Height(), static_cast<qsizetype>(stretched.Pitch()) * 4,
                       QImage::Format_RGB32);
    painter.drawImage(0, 0, image);
}

void TOrgWindow::resizeEvent(QResizeEvent*) {
    update();
}

void TOrgWindow::showEvent(QShowEvent* event) {
    PlaceAtWorkAreaCorner();
    QWidget::showEvent(event);
}

// Closing the window is the menu command: the window goes for good, released once its own
// close handling has returned.
void TOrgWindow::closeEvent(QCloseEvent* event) {
    event->accept();
    deleteLater();
    if (OrgWindow == this) {
        OrgWindow = nullptr;
    }
    if (OnClose) {
        OnClose();
    }
}

#include "windows/Orgwnd.h"

#include "desktop/CompanionPlacement.h"
#include "desktop/DevicePixels.h"
#include "desktop/Placement.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QScreen>

namespace {

constexpr QSize LoadedOuterSize(172, 151);
constexpr QPoint LoadedPosition(210, 142);

// A picture with nothing left at half its size shows as no picture.
bool ShowsAtHalf(const Bitmap& picture) {
    return picture.Width() / 2 > 0 && picture.Height() / 2 > 0;
}

} // namespace

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
    resize(LoadedClientSize());
    move(LoadedPosition);
    Placement = new CompanionPlacement(
        *this, [this] { return CornerTarget(); }, [this] { KeepLoadedSizeWithoutPicture(); });
}

QSize TOrgWindow::LoadedClientSize() const {
    return QSizeF(LoadedOuterSize).shrunkBy(FrameMargins(*this)).toSize();
}

void TOrgWindow::SetPicture(const std::shared_ptr<const Bitmap>& picture) {
    ThumbnailBitmap = picture;
    if (picture && ShowsAtHalf(*picture)) {
        SizedToPicture = true;
        resize(LogicalSize(*this, {picture->Width() / 2, picture->Height() / 2}));
        Placement->PlaceNow();
    }
    update();
}

QPointF TOrgWindow::CornerTarget() const {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen != nullptr ? CornerPosition(screen->availableGeometry(), OuterSize(*this),
                                              1 / devicePixelRatioF())
                             : QPointF(pos());
}

void TOrgWindow::KeepLoadedSizeWithoutPicture() {
    if (!SizedToPicture) {
        resize(LoadedClientSize());
    }
}

// The picture stretched to the client area's device pixels, drawn one to one.
void TOrgWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QSize device = DeviceSize(*this);
    DrawInDevicePixels(painter, *this);
    const std::shared_ptr<const Bitmap> picture = ThumbnailBitmap.lock();
    if (!picture || !ShowsAtHalf(*picture) || device.isEmpty()) {
        painter.fillRect(QRect(QPoint(), device), Qt::white);
        return;
    }
    const Bitmap stretched = StretchNearest(*picture, device.width(), device.height());
    painter.drawImage(0, 0, ImageOf(stretched));
}

void TOrgWindow::resizeEvent(QResizeEvent*) {
    update();
}

// Closing the window is the menu command: the window goes for good, released once its own
// close handling has returned.
void TOrgWindow::closeEvent(QCloseEvent* event) {
    event->accept();
    deleteLater();
    if (OnClose) {
        OnClose();
    }
}

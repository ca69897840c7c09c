#include "desktop/Placement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <cmath>
#include <optional>

#ifdef TAVRIN_HAVE_XCB
#include "desktop/XSession.h"
#endif

QPointF CornerPosition(const QRectF& workArea, const QSizeF& outer, qreal pixel) {
    return {workArea.x() + workArea.width() - outer.width() - pixel,
            workArea.y() + workArea.height() - outer.height() - pixel};
}

QMargins ToolkitFrameMargins(const QWidget& window) {
    const QRect frame = window.frameGeometry();
    const QRect client = window.geometry();
    return {client.left() - frame.left(), client.top() - frame.top(),
            frame.right() - client.right(), frame.bottom() - client.bottom()};
}

QPointF CenteredPosition(const QRectF& area, const QSizeF& outer) {
    return {area.x() + std::floor((area.width() - outer.width()) / 2),
            area.y() + std::floor((area.height() - outer.height()) / 2)};
}

namespace {

std::optional<QMargins> StatedFrameExtents([[maybe_unused]] const QWidget& window) {
#ifdef TAVRIN_HAVE_XCB
    return X11FrameExtents(window);
#else
    return std::nullopt;
#endif
}

// The frame in the toolkit's units, unrounded: a frame of 1 server pixel is half a unit at a
// scale factor of 2, which the toolkit's own margins round away.
std::optional<QMarginsF> KnownFrameMargins(const QWidget& window) {
    if (window.windowFlags() & Qt::FramelessWindowHint) {
        return QMarginsF();
    }
    if (const std::optional<QMargins> extents = StatedFrameExtents(window)) {
        return QMarginsF(*extents) / window.devicePixelRatioF();
    }
    const QMargins toolkit = ToolkitFrameMargins(window);
    return toolkit.isNull() ? std::nullopt : std::optional<QMarginsF>(toolkit);
}

} // namespace

QMarginsF FrameMargins(const QWidget& window) {
    if (const std::optional<QMarginsF> known = KnownFrameMargins(window)) {
        return *known;
    }
    const QWidget* owner =
        window.parentWidget() != nullptr ? window.parentWidget()->window() : nullptr;
    return owner != nullptr ? KnownFrameMargins(*owner).value_or(QMarginsF()) : QMarginsF();
}

QSizeF OuterSize(const QWidget& window) {
    return QSizeF(window.size()).grownBy(FrameMargins(window));
}

// The toolkit positions a window's frame with its own rounded margins once the frame is known,
// and the window itself before that: the window's own position is worked out here from the
// exact margins, and handed over in the form the toolkit expects.
void MoveFrameTo(QWidget& window, const QPointF& framePosition) {
    const QMarginsF frame = FrameMargins(window);
    const QPoint client(static_cast<int>(std::lround(framePosition.x() + frame.left())),
                        static_cast<int>(std::lround(framePosition.y() + frame.top())));
    const QMargins toolkit = ToolkitFrameMargins(window);
    window.move(client - QPoint(toolkit.left(), toolkit.top()));
}

#include "windows/Placement.h"

#include <QWidget>

QPoint CornerPosition(const QRect& workArea, const QSize& outer) {
    return {workArea.x() + workArea.width() - outer.width() - 1,
            workArea.y() + workArea.height() - outer.height() - 1};
}

QPoint CenteredPosition(const QRect& area, const QSize& outer) {
    return {area.x() + (area.width() - outer.width()) / 2,
            area.y() + (area.height() - outer.height()) / 2};
}

namespace {

QSize KnownFrameExtra(const QWidget& window) {
    return window.frameGeometry().size() - window.geometry().size();
}

} // namespace

QSize FrameExtra(const QWidget& window) {
    const QSize known = KnownFrameExtra(window);
    if (!known.isNull() || window.windowFlags() & Qt::FramelessWindowHint) {
        return known;
    }
    const QWidget* owner =
        window.parentWidget() != nullptr ? window.parentWidget()->window() : nullptr;
    return owner != nullptr && owner != &window ? KnownFrameExtra(*owner) : known;
}

QSize OuterSize(const QWidget& window) {
    return window.size() + FrameExtra(window);
}

#pragma once

#include "puzzle/Bitmap.h"

#include <QWidget>
#include <functional>
#include <memory>

class CompanionPlacement;

// The thumbnail window: a small always-on-top tool window in the corner of the work area that
// shows the whole picture, stretched to its client area.
class TOrgWindow : public QWidget {
    Q_OBJECT
public:
    // `onClose` runs when the user closes the window with its own close button.
    TOrgWindow(QWidget* owner, std::function<void()> onClose);

    // Shows `picture` at half its size in device pixels, in the corner; without one, or when
    // nothing of it is left at half size, the window keeps its size and shows white. The
    // window only borrows the picture and paints white once it has been released.
    void SetPicture(const std::shared_ptr<const Bitmap>& picture);

    // The picture shown, or none.
    std::weak_ptr<const Bitmap> ThumbnailBitmap;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // Where the frame goes: one pixel inside the work area's corner.
    QPointF CornerTarget() const;
    // Before a picture sets its size, the loaded outer size, whatever the frame.
    void KeepLoadedSizeWithoutPicture();
    QSize LoadedClientSize() const;

    std::function<void()> OnClose;
    CompanionPlacement* Placement;
    // Sized to a picture rather than to the loaded outer size.
    bool SizedToPicture = false;
};

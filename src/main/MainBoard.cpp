// The board: two off-screen buffers one pixel wider than the client area, the full redraw, and
// the paint that copies a buffer to the window.
#include "main/BoardWidget.h"
#include "main/Main.h"
#include "windows/DevicePixels.h"

#include <QPainter>

void TFormMain::RecreateBuffers() {
    DragBuffer.reset();
    DragBuffer = std::make_unique<Bitmap>(ClientWidth() + 1, ClientHeight());
    BoardBuffer.reset();
    BoardBuffer = std::make_unique<Bitmap>(ClientWidth() + 1, ClientHeight());
    RedrawBoard();
    Invalidate();
}

void TFormMain::RedrawBoard() {
    if (!BoardBuffer || !DragBuffer) {
        return;
    }
    BoardBuffer->Fill(PixelFromColor(BoardColor));
    *DragBuffer = *BoardBuffer;
    if (Pieces && Picture) {
        for (const auto& piece : *Pieces) {
            piece->Draw(*BoardBuffer, *Picture);
        }
    }
}

void TFormMain::Invalidate() {
    Board->update();
}

void TFormMain::CopyToWindow(Buffer buffer, const TRect& rect) {
    const TRect visible = rect.Intersect({0, 0, ClientWidth(), ClientHeight()});
    if (visible.IsEmpty()) {
        return;
    }
    PaintSource = buffer;
    PaintSourceRect = QRect(visible.Left, visible.Top, visible.Width(), visible.Height());
    Board->RepaintDevice(PaintSourceRect);
    PaintSource = Buffer::Board;
}

// The board buffer, except inside the rectangle a copy from the drag buffer asked for: a
// repaint also covers whatever else of the window was waiting to be painted. The painter and
// `dirty` count in device pixels.
void TFormMain::FormPaint(QPainter& painter, const QRect& dirty) {
    if (!BoardBuffer || BoardBuffer->IsEmpty()) {
        painter.fillRect(dirty, QColor::fromRgb(PixelFromColor(BoardColor)));
        return;
    }
    painter.drawImage(dirty, ImageOf(*BoardBuffer), dirty);
    if (PaintSource == Buffer::Drag && DragBuffer) {
        const QRect composed = dirty.intersected(PaintSourceRect);
        painter.drawImage(composed, ImageOf(*DragBuffer), composed);
    }
}

#pragma once

#include "puzzle/Bitmap.h"
#include "puzzle/Rect.h"

#include <QWidget>

class Board;
class TFormMain;

// The main window's client area. It shows the game's board pixel for pixel and hands resize and
// mouse events to the form's handlers. Everything it hands over is in device pixels, so the
// board is drawn one to one on the screen at every scale factor.
class BoardWidget : public QWidget {
    Q_OBJECT
public:
    BoardWidget(TFormMain& form, const Board& game);

    // The client area in device pixels.
    QSize DeviceSize() const;
    // Shows the part of `rect` (device pixels) that lies on the client area now, from the drag
    // buffer or else the board drawn anew. Any other painting shows the board drawn anew.
    void ShowNow(const TRect& rect, bool fromDragBuffer);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void DrawBoard(QPainter& painter, const QRect& area);

    TFormMain& Form;
    const Board& Game;
    // The rectangle a copy from the drag buffer is painting; empty otherwise.
    QRect FromDragBuffer;
    // The rows of the board being drawn.
    Bitmap Band;
};

#pragma once

#include "game/ScreenLayout.h"

#include <QColor>
#include <QImage>
#include <QWidget>

class QPainter;

// The photo as the puzzle will show it, with the piece grid of its layout on a screen drawn
// over it. Without a photo it invites one to be chosen or dropped.
class PhotoPreview : public QWidget {
    Q_OBJECT
public:
    explicit PhotoPreview(QWidget* parent = nullptr);

    // `photo` upright; its width stands for the packed picture's width `packedWidth`.
    void SetPhoto(const QImage& photo, int packedWidth);
    // The fitted picture's grid; nothing is drawn while it cannot be cut.
    void SetLayout(const PuzzleLayout& layout);
    // The puzzle's board colour, in which the grid is drawn.
    void SetBoardColor(const QColor& color);
    // Shown over the preview while a photo is decoded.
    void SetBusy(bool busy);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QRect PhotoRect() const;
    void DrawGrid(QPainter& painter, const QRect& target) const;

    QImage Photo;
    int PackedWidth = 0;
    PuzzleLayout Layout;
    QColor BoardColor = Qt::white;
    bool Busy = false;
};

#pragma once

#include "game/ScreenLayout.h"

#include <QImage>
#include <QWidget>

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
    // Shown over the preview while a photo is decoded.
    void SetBusy(bool busy);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QRect PhotoRect() const;

    QImage Photo;
    int PackedWidth = 0;
    PuzzleLayout Layout;
    bool Busy = false;
};

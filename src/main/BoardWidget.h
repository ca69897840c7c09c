#pragma once

#include <QWidget>

class TFormMain;

// The main window's client area. It owns nothing: it hands paint, resize and mouse events to the
// form's handlers, which decide. Everything it hands over is in device pixels: the board is
// drawn pixel for pixel on the screen at every scale factor.
class BoardWidget : public QWidget {
    Q_OBJECT
public:
    explicit BoardWidget(TFormMain& form);

    // The client area in device pixels.
    QSize DeviceSize() const;
    // Where the client area starts inside the top-level window, in device pixels.
    QPoint DeviceOrigin() const;
    // Paints a rectangle given in device pixels now.
    void RepaintDevice(const QRect& device);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    TFormMain& Form;
};

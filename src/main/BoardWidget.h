#pragma once

#include <QWidget>

class TFormMain;

// The main window's client area. It owns nothing: it hands paint, resize and mouse events to the
// form's handlers, which decide.
class BoardWidget : public QWidget {
    Q_OBJECT
public:
    explicit BoardWidget(TFormMain& form);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    TFormMain& Form;
};

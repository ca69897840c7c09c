#pragma once

#include <QObject>
#include <QPointer>
#include <functional>

class QWidget;

// Turns presses and releases on a widget into clicks the way a push button does: the left
// button pressed over the widget and released over it. Any other button, or a release away
// from the widget, does nothing.
class LinkClick : public QObject {
    Q_OBJECT
public:
    // Watches `target` (which also owns this object) and runs `onClick` for each click.
    LinkClick(QWidget* target, std::function<void()> onClick);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* Target;
    std::function<void()> OnClick;
    bool Pressed = false;
};

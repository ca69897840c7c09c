#include "windows/LinkClick.h"

#include <QMouseEvent>
#include <QWidget>

LinkClick::LinkClick(QWidget* target, std::function<void()> onClick)
    : QObject(target)
    , Target(target)
    , OnClick(std::move(onClick)) {
    target->installEventFilter(this);
}

bool LinkClick::eventFilter(QObject* watched, QEvent* event) {
    if (watched != Target) {
        return false;
    }
    const auto type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonRelease) {
        return false;
    }
    const auto* mouse = static_cast<QMouseEvent*>(event);
    if (mouse->button() != Qt::LeftButton) {
        return false;
    }
    if (type == QEvent::MouseButtonPress) {
        Pressed = true;
        return false;
    }
    const bool click = Pressed && Target->rect().contains(mouse->position().toPoint());
    Pressed = false;
    if (click && OnClick) {
        OnClick();
    }
    return false;
}

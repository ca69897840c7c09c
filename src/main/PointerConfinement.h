#pragma once

#include <QRect>
#include <cstdint>

class QWidget;

// Keeps the pointer inside a screen rectangle while a group is dragged. On X11 the pointer is
// grabbed confined to an input-only window of exactly that rectangle; elsewhere (Wayland,
// offscreen) the drag handlers clamp the coordinates they handle to it, which Clamp does.
class PointerConfinement {
public:
    explicit PointerConfinement(QWidget& window);
    ~PointerConfinement();
    PointerConfinement(const PointerConfinement&) = delete;
    PointerConfinement& operator=(const PointerConfinement&) = delete;

    // `clientArea` is the confinement in the window's device pixels (right and bottom
    // exclusive); it is mapped to the screen for the grab.
    void Confine(const QRect& clientArea);
    void Release();

    bool IsActive() const { return Active; }
    // The point moved into the confinement (device pixels); unchanged when inactive.
    QPoint Clamp(QPoint point) const;

private:
    void GrabOnX11(const QRect& clientArea);
    void UngrabOnX11();

    QWidget& Window;
    bool Active = false;
    QRect Area;
    std::uint32_t ConfineWindow = 0;
};

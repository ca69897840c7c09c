#pragma once

#include <QRect>
#include <cstdint>

class QWidget;

// Keeps the pointer inside a screen rectangle while a group is dragged. On X11 the pointer is
// grabbed confined to an input-only window of exactly that rectangle. The drag handlers also
// clamp every position they handle to it (Clamp): where there is no X11 (Wayland, offscreen)
// that is all the confinement there is.
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

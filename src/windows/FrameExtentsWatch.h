#pragma once

#include <QAbstractNativeEventFilter>
#include <cstdint>
#include <functional>

class QWidget;

// Tells when a window manager states the frame it put around a window (_NET_FRAME_EXTENTS on
// X11). The toolkit learns the frame without telling the window, and no move need follow, so a
// window placed by its outer size would otherwise keep a placement made with a guessed frame.
// Elsewhere it never tells.
class FrameExtentsWatch : public QAbstractNativeEventFilter {
public:
    // Watches `window`; `onChange` runs, from the event loop, after each new statement.
    FrameExtentsWatch(QWidget& window, std::function<void()> onChange);

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    QWidget& Window;
    std::function<void()> OnChange;
    std::uint32_t Extents = 0;
};

#pragma once

#include <cstddef>
#include <cstdint>
#include <xcb/shm.h>
#include <xcb/xcb.h>

// Root-window captures through a shared-memory segment, one GetImage of the whole screen each.
class ScreenCapture {
public:
    explicit ScreenCapture(xcb_connection_t* c);
    ~ScreenCapture();
    ScreenCapture(const ScreenCapture&) = delete;
    ScreenCapture& operator=(const ScreenCapture&) = delete;

    int Width() const { return Root->width_in_pixels; }
    int Height() const { return Root->height_in_pixels; }
    xcb_window_t RootWindow() const { return Root->root; }

    // Takes the screen and returns a fingerprint of it.
    std::uint64_t Take();

    // The colour of a pixel of the last capture as 0xRRGGBB; 0 <= x < Width(), 0 <= y < Height().
    std::uint32_t At(int x, int y) const {
        return Pixels[static_cast<std::size_t>(y) * Width() + x] & 0xFFFFFF;
    }

private:
    xcb_connection_t* Connection;
    xcb_screen_t* Root;
    std::size_t Bytes = 0;
    int SegmentId = -1;
    const std::uint32_t* Pixels = nullptr;
    xcb_shm_seg_t Segment = 0;
};

#include "game/PictureFit.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>

namespace {

constexpr std::array<int, 9> ZoomSteps = {100, 90, 80, 70, 60, 50, 40, 30, 20};

// A length at a zoom in percent, rounded down: 0 for zooms of 0 and below, and held at the
// largest int where it would pass it (such a picture fits no board).
int Scaled(int length, int percent) {
    const std::int64_t scaled = std::int64_t{length} * percent / 100;
    return static_cast<int>(std::clamp<std::int64_t>(scaled, 0, std::numeric_limits<int>::max()));
}

PictureFit At(int width, int height, int percent) {
    return {percent, Scaled(width, percent), Scaled(height, percent), false};
}

bool Fits(const PictureFit& fit, int boardWidth, int boardHeight) {
    return fit.Width < boardWidth && fit.Height < boardHeight;
}

} // namespace

PictureFit FitToBoard(int width, int height, int boardWidth, int boardHeight, int zoomPercent) {
    PictureFit fit = At(width, height, zoomPercent);
    if (Fits(fit, boardWidth, boardHeight)) {
        return fit;
    }
    for (const int step : ZoomSteps) {
        fit = At(width, height, step);
        if (Fits(fit, boardWidth, boardHeight)) {
            break;
        }
    }
    fit.ZoomedOut = true;
    return fit;
}

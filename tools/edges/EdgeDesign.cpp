#include "EdgeDesign.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>
#include <vector>

namespace {

using Run = std::pair<int, int>; // first and last column, inclusive
using RowRuns = std::vector<Run>;

// The level-1 design, row by row: the bottom knob strip and the top socket strip (96 x 16).
const std::array<RowRuns, 16> Level1Knob = {{
    {{15, 26}, {36, 59}, {70, 81}},
    {{14, 22}, {35, 60}, {74, 82}},
    {{13, 19}, {34, 61}, {77, 83}},
    {{12, 17}, {33, 62}, {79, 84}},
    {{11, 15}, {32, 63}, {81, 85}},
    {{10, 13}, {31, 64}, {83, 86}},
    {{9, 11}, {31, 64}, {85, 87}},
    {{8, 9}, {31, 64}, {87, 88}},
    {{31, 64}},
    {{32, 63}},
    {{33, 62}},
    {{35, 60}},
    {{37, 58}},
    {{39, 56}},
    {{42, 53}},
    {{45, 50}},
}};
const std::array<RowRuns, 16> Level1Socket = {{
    {{27, 35}, {60, 69}},
    {{23, 34}, {61, 73}},
    {{20, 33}, {62, 76}},
    {{18, 32}, {63, 78}},
    {{16, 31}, {64, 80}},
    {{14, 30}, {65, 82}},
    {{12, 30}, {65, 84}},
    {{10, 30}, {65, 86}},
    {{8, 30}, {65, 88}},
    {{9, 31}, {64, 87}},
    {{10, 32}, {63, 86}},
    {{11, 34}, {61, 85}},
    {{12, 36}, {59, 84}},
    {{13, 38}, {57, 83}},
    {{14, 41}, {54, 82}},
    {{15, 44}, {51, 81}},
}};

// The level-1 knob's width and shoulder width per row, the profile the other levels follow.
constexpr std::array<double, 16> KnobWidths = {24, 26, 28, 30, 32, 34, 34, 34,
                                               34, 32, 30, 26, 22, 18, 12, 6};
constexpr std::array<double, 8> ShoulderWidths = {12, 9, 7, 6, 5, 4, 3, 2};

struct Scale {
    int PieceSize;
    int TabSize;
    int Neck;
    int Widest;
    int Tip;
};

constexpr std::array<Scale, 4> Scales = {
    {{96, 16, 24, 34, 6}, {80, 14, 22, 30, 5}, {64, 10, 18, 24, 8}, {48, 8, 12, 16, 8}}};

template <std::size_t N>
double Interpolate(const std::array<double, N>& profile, double t) {
    const auto i = std::min(static_cast<std::size_t>(t), N - 2);
    const double f = t - static_cast<double>(i);
    return profile[i] * (1 - f) + profile[i + 1] * f;
}

int Round(double x) {
    return static_cast<int>(std::floor(x + 0.5));
}

MonoBitmap FromRuns(int width, const std::vector<RowRuns>& rows) {
    MonoBitmap strip(width, static_cast<int>(rows.size()), true);
    for (int y = 0; y < static_cast<int>(rows.size()); ++y) {
        for (const auto& [first, last] : rows[y]) {
            strip.FillRect(first, y, last + 1, y + 1, false);
        }
    }
    return strip;
}

// The knob's width in band row r: it widens from the neck to the head, then narrows to the tip.
int KnobWidth(const Scale& s, int r) {
    const double t = r * 15.0 / (s.TabSize - 1);
    const double w = Interpolate(KnobWidths, t);
    if (t < 5) {
        return Round(s.Neck + (w - 24) / 10 * (s.Widest - s.Neck));
    }
    if (t <= 8) {
        return s.Widest;
    }
    return Round(s.Tip + (w - 6) / 28 * (s.Widest - s.Tip));
}

// The outer end of the band's cover in row r: the shoulders run out to the corner points.
int OuterColumn(const Scale& s, int r) {
    return r < s.TabSize / 2 ? s.TabSize - 1 - r : r;
}

BandDesign ScaledDesign(const Scale& s) {
    std::vector<RowRuns> knob(s.TabSize);
    std::vector<RowRuns> socket(s.TabSize);
    for (int r = 0; r < s.TabSize; ++r) {
        const int outer = OuterColumn(s, r);
        const int width = KnobWidth(s, r);
        const int knobFirst = (s.PieceSize - width) / 2;
        const int knobLast = knobFirst + width - 1;
        int shoulderLast = outer - 1; // no shoulder
        if (r < s.TabSize / 2) {
            const double t = r * 7.0 / (s.TabSize / 2 - 1);
            const int shoulder =
                std::max(1, Round(Interpolate(ShoulderWidths, t) * s.TabSize / 16));
            shoulderLast = std::min(outer + shoulder - 1, knobFirst - 2);
            knob[r].push_back({outer, shoulderLast});
        }
        knob[r].push_back({knobFirst, knobLast});
        const int mirror = s.PieceSize - 1;
        if (r < s.TabSize / 2) {
            knob[r].push_back({mirror - shoulderLast, mirror - outer});
        }
        socket[r].push_back({shoulderLast + 1, knobFirst - 1});
        socket[r].push_back({knobLast + 1, mirror - shoulderLast - 1});
    }
    return {FromRuns(s.PieceSize, knob), FromRuns(s.PieceSize, socket)};
}

bool Inside(const MonoBitmap& m, int x, int y, Side ownCell) {
    if (x < 0) {
        return ownCell == Side::Left;
    }
    if (x >= m.Width()) {
        return ownCell == Side::Right;
    }
    if (y < 0) {
        return ownCell == Side::Top;
    }
    if (y >= m.Height()) {
        return ownCell == Side::Bottom;
    }
    return !m.Get(x, y);
}

} // namespace

BandDesign DesignForLevel(int level) {
    if (level == 1) {
        return {FromRuns(96, {Level1Knob.begin(), Level1Knob.end()}),
                FromRuns(96, {Level1Socket.begin(), Level1Socket.end()})};
    }
    return ScaledDesign(Scales[level - 1]);
}

MonoBitmap FlipVertically(const MonoBitmap& strip) {
    MonoBitmap out(strip.Width(), strip.Height());
    for (int y = 0; y < strip.Height(); ++y) {
        for (int x = 0; x < strip.Width(); ++x) {
            out.Set(x, strip.Height() - 1 - y, strip.Get(x, y));
        }
    }
    return out;
}

MonoBitmap FlipHorizontally(const MonoBitmap& strip) {
    MonoBitmap out(strip.Width(), strip.Height());
    for (int y = 0; y < strip.Height(); ++y) {
        for (int x = 0; x < strip.Width(); ++x) {
            out.Set(strip.Width() - 1 - x, y, strip.Get(x, y));
        }
    }
    return out;
}

MonoBitmap Transpose(const MonoBitmap& strip) {
    MonoBitmap out(strip.Height(), strip.Width());
    for (int y = 0; y < strip.Height(); ++y) {
        for (int x = 0; x < strip.Width(); ++x) {
            out.Set(y, x, strip.Get(x, y));
        }
    }
    return out;
}

IndexBitmap ShadeFor(const MonoBitmap& mask, Side ownCell) {
    constexpr std::uint8_t Outside = 3, Inner = 12, Light = 1, Dark = 2;
    IndexBitmap shade(mask.Width(), mask.Height(), Outside);
    for (int y = 0; y < mask.Height(); ++y) {
        for (int x = 0; x < mask.Width(); ++x) {
            if (!Inside(mask, x, y, ownCell)) {
                continue;
            }
            const bool facesUpOrLeft =
                !Inside(mask, x, y - 1, ownCell) || !Inside(mask, x - 1, y, ownCell);
            const bool facesDownOrRight =
                !Inside(mask, x, y + 1, ownCell) || !Inside(mask, x + 1, y, ownCell);
            shade.Set(x, y, facesUpOrLeft ? Light : facesDownOrRight ? Dark : Inner);
        }
    }
    return shade;
}

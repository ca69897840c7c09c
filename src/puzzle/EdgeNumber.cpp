#include "puzzle/EdgeNumber.h"

namespace {

int LevelOneNumber(Side side, bool out) {
    switch (side) {
    case Side::Top:
        return out ? 153 : 156;
    case Side::Bottom:
        return out ? 152 : 157;
    case Side::Left:
        return out ? 154 : 158;
    case Side::Right:
        return out ? 151 : 155;
    }
    return 0;
}

} // namespace

int EdgeMaskNumber(Side side, bool out, int level) {
    return LevelOneNumber(side, out) + (level - 1) * 10;
}

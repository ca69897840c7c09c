#pragma once

#include <QtGlobal>

// How often a busy widget is painted at most: about a screen's frame at 60 Hz.
inline constexpr qint64 FrameMilliseconds = 16;

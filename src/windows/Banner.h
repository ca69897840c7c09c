#pragma once

#include <QPixmap>

// The loading window's banner, 299 x 134: the game's name over a snowy night.
QPixmap PaintBanner();

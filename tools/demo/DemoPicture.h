#pragma once

#include <QImage>

// An original 800 x 600 painting of a snowy village on Christmas Eve, drawn from a fixed seed.
QImage PaintDemoPicture();

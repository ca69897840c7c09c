#pragma once

#include <QIcon>
#include <QPixmap>

// The application's 32 x 32 icon in the 16 standard colours: a red puzzle piece with a knob,
// on a green tree-shaped ground.
QPixmap PaintAppIconPixmap();
QIcon AppIcon();

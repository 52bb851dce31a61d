#pragma once

#include <QImage>
#include <QMargins>
#include <QSize>

// The monitor frame: its size and the opaque border on each side. The window
// draws it as a nine-slice image with these borders around the game, so they
// equal the room the game page leaves (85 x 90, split 42 + 43 and 45 + 45)
// and the square opening is exactly the game's rectangle at every size.
const QSize bezelSize(1403, 1080);
const QMargins bezelBorders(42, 45, 43, 45);
constexpr int bezelOpeningRadius = 0;

QImage bezelImage();

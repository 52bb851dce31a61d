#pragma once

#include <QImage>
#include <QMargins>
#include <QSize>

// The monitor frame at its drawn size. The window draws it as a nine-slice
// image with `borders` (page/frame.js) around the game, the room the game
// page leaves, so the square opening is exactly the game's rectangle at
// every size.
const QSize bezelSize(1403, 1080);
constexpr int bezelOpeningRadius = 0;

QImage bezelImage(const QMargins &borders);

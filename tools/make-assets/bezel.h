#pragma once

#include <QImage>
#include <QMargins>
#include <QSize>

// The monitor frame: its size and the opaque border on each side. The game
// shows through the rounded opening inside the borders.
const QSize bezelSize(1403, 1080);
const QMargins bezelBorders(58, 61, 58, 60);
constexpr int bezelOpeningRadius = 34;

QImage bezelImage();

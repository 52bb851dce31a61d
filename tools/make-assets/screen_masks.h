#pragma once

#include <QImage>

// The two screen-emulation overlays, pixel for pixel.
QImage crtMask();
QImage scanlinesMask();

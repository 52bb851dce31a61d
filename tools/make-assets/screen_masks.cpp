#include "screen_masks.h"

namespace {

// Non-premultiplied, so cells with a low alpha keep their exact colour in the PNG.
QImage transparentImage(int width, int height)
{
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(qRgba(0, 0, 0, 0));
    return image;
}

struct Cell
{
    QRgb colour;
    int alpha;
};

constexpr int tileSize = 3;
constexpr int tileRepeats = 6;

// The red, green-cyan and blue phosphor tile; the middle of its last row has
// two variants that alternate from one repetition to the next down the image.
const Cell scanlineTile[tileSize][tileSize] = {
    {{0xf31d00, 0x2c}, {0x00ffce, 0x15}, {0x1200a4, 0x1c}},
    {{0x7e0f00, 0x55}, {0x005044, 0x40}, {0x070067, 0x45}},
    {{0x0c0200, 0x80}, {0x000907, 0x8b}, {0x02000d, 0x8d}},
};
const Cell lastRowMiddleInOddRepeats = {0x000606, 0x89};

QRgb withAlpha(const Cell &cell)
{
    return qRgba(qRed(cell.colour), qGreen(cell.colour), qBlue(cell.colour), cell.alpha);
}

Cell scanlineCell(int x, int y)
{
    const int row = y % tileSize;
    const int column = x % tileSize;
    const bool oddRepeatDown = (y / tileSize) % 2 == 1;
    if (row == 2 && column == 1 && oddRepeatDown)
        return lastRowMiddleInOddRepeats;
    return scanlineTile[row][column];
}

} // namespace

QImage crtMask()
{
    QImage image = transparentImage(9, 8);
    for (int y = 0; y < image.height(); y += 2) {
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, qRgba(0, 0, 0, 255));
    }
    return image;
}

QImage scanlinesMask()
{
    const int side = tileSize * tileRepeats;
    QImage image = transparentImage(side, side);
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x)
            image.setPixel(x, y, withAlpha(scanlineCell(x, y)));
    }
    return image;
}

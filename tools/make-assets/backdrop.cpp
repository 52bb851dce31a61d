#include "backdrop.h"

#include "grain.h"
#include "logo.h"

#include <QPainter>
#include <QRadialGradient>

#include <algorithm>
#include <cmath>

namespace {

const QSize backdropSize(1920, 1080);
constexpr int weaveCell = 6; // pixels per woven strand segment

// Carbon-fibre twill: strands alternate direction in steps that shift by one
// cell per row, and each strand is lit like a small cylinder.
double weaveShade(int x, int y)
{
    const int cellX = x / weaveCell;
    const int cellY = y / weaveCell;
    const bool across = ((cellX + cellY) & 3) < 2;
    const double u = (x % weaveCell + 0.5) / weaveCell;
    const double v = (y % weaveCell + 0.5) / weaveCell;
    const double profile = std::sin(M_PI * (across ? v : u));
    const double fibre = grainSigned(across ? y : x, across ? cellX : cellY, 0x7a11) * 0.15;
    return profile * 0.85 + fibre;
}

QImage wovenBase()
{
    QImage image(backdropSize, QImage::Format_RGB32);
    const QPointF centre(backdropSize.width() / 2.0, backdropSize.height() / 2.0);
    const double reach = std::hypot(centre.x(), centre.y());
    for (int y = 0; y < image.height(); ++y) {
        QRgb *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const double distance = std::hypot(x - centre.x(), y - centre.y()) / reach;
            const double light = 1.0 - 0.75 * distance * distance; // vignette
            const double shade = weaveShade(x, y) + grainSigned(x, y, 0x5eed) * 0.25;
            const double level = (9.0 + 13.0 * shade) * light;
            // A cold blue-violet cast, so the warm logo stands out.
            line[x]
                = qRgb(std::clamp(int(level * 0.95), 0, 255), std::clamp(int(level * 0.92), 0, 255),
                       std::clamp(int(level * 1.25 + 3), 0, 255));
        }
    }
    return image;
}

void paintLogoGlow(QPainter &painter, const QRectF &logo)
{
    QRadialGradient glow(logo.center(), logo.width() * 0.75);
    glow.setColorAt(0.0, QColor(0xff, 0x4e, 0x7e, 46));
    glow.setColorAt(0.45, QColor(0x8a, 0x2b, 0xe2, 20));
    glow.setColorAt(1.0, QColor(0x8a, 0x2b, 0xe2, 0));
    painter.fillRect(QRectF(QPointF(0, 0), backdropSize), glow);
}

} // namespace

QImage backdropImage()
{
    QImage image = wovenBase();
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const QSizeF logoSize(768, 318);
    const QRectF logo(QPointF((backdropSize.width() - logoSize.width()) / 2,
                              (backdropSize.height() - logoSize.height()) / 2),
                      logoSize);
    paintLogoGlow(painter, logo);
    paintLogo(painter, logo);
    painter.end();
    return image;
}

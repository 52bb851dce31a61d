#include "bezel.h"

#include "grain.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <algorithm>

namespace {

QRectF outerRect()
{
    return QRectF(QPointF(0, 0), bezelSize);
}

QRectF openingRect(const QMargins &borders)
{
    return QRectF(QPoint(0, 0), bezelSize).marginsRemoved(borders);
}

QPainterPath roundedRect(const QRectF &rect, qreal radius)
{
    QPainterPath path;
    path.addRoundedRect(rect, radius, radius);
    return path;
}

QPainterPath framePath(const QMargins &borders)
{
    // Square outside: the overlay beneath covers exactly the bezel's rectangle
    // and must not show through its corners.
    QPainterPath outside;
    outside.addRect(outerRect());
    return outside.subtracted(roundedRect(openingRect(borders), bezelOpeningRadius));
}

QImage frameMask(const QMargins &borders)
{
    QImage mask(bezelSize, QImage::Format_ARGB32_Premultiplied);
    mask.fill(Qt::transparent);
    QPainter painter(&mask);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillPath(framePath(borders), Qt::black);
    return mask;
}

// Black plastic, a shade lighter at the top where the cabinet's light falls.
void paintBody(QPainter &painter)
{
    QLinearGradient body(0, 0, 0, bezelSize.height());
    body.setColorAt(0.0, QColor(0x22, 0x23, 0x27));
    body.setColorAt(0.07, QColor(0x12, 0x13, 0x16));
    body.setColorAt(0.6, QColor(0x09, 0x09, 0x0b));
    body.setColorAt(1.0, QColor(0x04, 0x04, 0x05));
    painter.fillRect(outerRect(), body);
}

// The broad reflection of a glossy finish: a soft sweep across the upper
// left and a fainter one low on the right.
void paintGloss(QPainter &painter)
{
    QRadialGradient upper(QPointF(bezelSize.width() * 0.28, -bezelSize.height() * 0.15),
                          bezelSize.width() * 0.75);
    upper.setColorAt(0.0, QColor(255, 255, 255, 46));
    upper.setColorAt(0.5, QColor(255, 255, 255, 14));
    upper.setColorAt(1.0, QColor(255, 255, 255, 0));
    painter.fillRect(outerRect(), upper);

    QRadialGradient lower(QPointF(bezelSize.width() * 0.95, bezelSize.height() * 1.05),
                          bezelSize.width() * 0.35);
    lower.setColorAt(0.0, QColor(255, 255, 255, 18));
    lower.setColorAt(1.0, QColor(255, 255, 255, 0));
    painter.fillRect(outerRect(), lower);
}

// A window-like reflection crossing the frame at a slant, as on a lacquered
// cabinet: one wide faint band and one narrow brighter one beside it.
void paintSlantedReflection(QPainter &painter)
{
    const QPointF from(bezelSize.width() * 0.05, 0);
    const QPointF to(bezelSize.width() * 0.45, bezelSize.height() * 0.55);
    QLinearGradient band(from, to);
    band.setColorAt(0.00, QColor(255, 255, 255, 0));
    band.setColorAt(0.18, QColor(255, 255, 255, 16));
    band.setColorAt(0.30, QColor(255, 255, 255, 4));
    band.setColorAt(0.34, QColor(255, 255, 255, 26));
    band.setColorAt(0.38, QColor(255, 255, 255, 0));
    band.setColorAt(1.00, QColor(255, 255, 255, 0));
    painter.fillRect(outerRect(), band);
}

// The crisp highlight that the top rail throws back from the light above.
void paintTopSpecular(QPainter &painter, const QMargins &borders)
{
    const qreal railMiddle = borders.top() * 0.32;
    painter.save();
    painter.translate(bezelSize.width() * 0.42, railMiddle);
    painter.scale(bezelSize.width() * 0.42 / 12.0, 1.0);
    QRadialGradient spot(QPointF(0, 0), 12);
    spot.setColorAt(0.0, QColor(255, 255, 255, 40));
    spot.setColorAt(0.6, QColor(255, 255, 255, 14));
    spot.setColorAt(1.0, QColor(255, 255, 255, 0));
    painter.fillRect(QRectF(-12, -12, 24, 24), spot);
    painter.restore();
}

// The rounded outer edge catches light along the top and fades downwards.
void paintOuterBevel(QPainter &painter)
{
    QLinearGradient rim(0, 0, 0, bezelSize.height());
    rim.setColorAt(0.0, QColor(255, 255, 255, 120));
    rim.setColorAt(0.15, QColor(255, 255, 255, 40));
    rim.setColorAt(1.0, QColor(255, 255, 255, 14));
    painter.strokePath(roundedRect(outerRect().adjusted(3.5, 3.5, -3.5, -3.5), 6),
                       QPen(QBrush(rim), 2.0));
    painter.strokePath(roundedRect(outerRect().adjusted(1, 1, -1, -1), 2),
                       QPen(QColor(0, 0, 0, 200), 2.0));
}

// The chamfer down to the screen: dark where it faces away from the light
// (top), lit where it faces up (bottom).
void paintInnerChamfer(QPainter &painter, const QMargins &borders)
{
    const QRectF opening = openingRect(borders);
    for (int step = 0; step < 14; ++step) {
        const qreal grow = 14 - step;
        const QRectF ring = opening.adjusted(-grow, -grow, grow, grow);
        const int strength = 6 + step * 2;
        QLinearGradient light(0, ring.top(), 0, ring.bottom());
        light.setColorAt(0.0, QColor(0, 0, 0, strength * 3));
        light.setColorAt(0.5, QColor(0, 0, 0, strength));
        light.setColorAt(1.0, QColor(255, 255, 255, strength / 2));
        painter.strokePath(roundedRect(ring, bezelOpeningRadius + grow), QPen(QBrush(light), 1.0));
    }
    // The thin lip right at the glass.
    QLinearGradient lip(0, opening.top(), 0, opening.bottom());
    lip.setColorAt(0.0, QColor(255, 255, 255, 20));
    lip.setColorAt(0.7, QColor(255, 255, 255, 45));
    lip.setColorAt(1.0, QColor(255, 255, 255, 110));
    painter.strokePath(
        roundedRect(opening.adjusted(-1.5, -1.5, 1.5, 1.5), bezelOpeningRadius + 1.5),
        QPen(QBrush(lip), 1.5));
}

// A very fine grain, so the plastic is not a flat gradient and does not band.
void addGrain(QImage &image)
{
    for (int y = 0; y < image.height(); ++y) {
        QRgb *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const int alpha = qAlpha(line[x]);
            if (alpha == 0)
                continue;
            const int delta = int(grainSigned(x, y, 0xbe2e1) * 2.5 * alpha / 255);
            line[x] = qRgba(std::clamp(qRed(line[x]) + delta, 0, alpha),
                            std::clamp(qGreen(line[x]) + delta, 0, alpha),
                            std::clamp(qBlue(line[x]) + delta, 0, alpha), alpha);
        }
    }
}

} // namespace

QImage bezelImage(const QMargins &borders)
{
    QImage image(bezelSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    paintBody(painter);
    paintGloss(painter);
    paintSlantedReflection(painter);
    paintTopSpecular(painter, borders);
    paintInnerChamfer(painter, borders);
    paintOuterBevel(painter);
    // Cut the frame out last through an antialiased mask: a clip path would
    // leave the rounded corners jagged.
    painter.setCompositionMode(QPainter::CompositionMode_DestinationIn);
    painter.drawImage(0, 0, frameMask(borders));
    painter.end();
    addGrain(image);
    return image.convertToFormat(QImage::Format_ARGB32);
}

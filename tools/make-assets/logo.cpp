#include "logo.h"

#include <QFontDatabase>
#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>

namespace {

const char logoFontFile[] = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";
const QSizeF logoDesignSize(256, 106);
QString logoFontFamily = QStringLiteral("DejaVu Sans");

// The arcade palette shared by the emblem and the word.
const QColor sunYellow(0xff, 0xd2, 0x3f);
const QColor hotOrange(0xff, 0x7a, 0x1a);
const QColor neonPink(0xff, 0x2e, 0x7e);
const QColor deepViolet(0x6a, 0x1b, 0xd8);
const QColor inkNight(0x14, 0x0a, 0x24);

QPainterPath roundedSquare(const QRectF &rect, qreal radiusRatio)
{
    QPainterPath path;
    const qreal radius = rect.width() * radiusRatio;
    path.addRoundedRect(rect, radius, radius);
    return path;
}

QPainterPath playMark(const QRectF &screen, bool detailed)
{
    const qreal h = screen.height() * (detailed ? 0.52 : 0.62);
    const QPointF centre = screen.center() + QPointF(h * 0.1, 0);
    QPainterPath path;
    path.moveTo(centre + QPointF(-h * 0.42, -h / 2));
    path.lineTo(centre + QPointF(h * 0.5, 0));
    path.lineTo(centre + QPointF(-h * 0.42, h / 2));
    path.closeSubpath();
    return path;
}

void paintEmblemBody(QPainter &painter, const QRectF &rect)
{
    QLinearGradient body(rect.topLeft(), rect.bottomRight());
    body.setColorAt(0.0, sunYellow);
    body.setColorAt(0.35, hotOrange);
    body.setColorAt(0.7, neonPink);
    body.setColorAt(1.0, deepViolet);
    painter.fillPath(roundedSquare(rect, 0.24), body);
}

void paintEmblemScreen(QPainter &painter, const QRectF &screen, bool detailed)
{
    QRadialGradient glass(screen.center(), screen.width() * 0.75);
    glass.setColorAt(0.0, QColor(0x2a, 0x16, 0x44));
    glass.setColorAt(1.0, QColor(0x0a, 0x05, 0x12));
    const QPainterPath screenPath = roundedSquare(screen, 0.2);
    painter.fillPath(screenPath, glass);
    if (!detailed)
        return;
    // A few faint scanlines tell "screen" at a glance.
    painter.save();
    painter.setClipPath(screenPath);
    const qreal pitch = screen.height() / 9;
    for (qreal y = screen.top() + pitch / 2; y < screen.bottom(); y += pitch)
        painter.fillRect(QRectF(screen.left(), y, screen.width(), pitch * 0.3),
                         QColor(255, 255, 255, 14));
    painter.restore();
}

void paintEmblemPlayMark(QPainter &painter, const QRectF &screen, bool detailed)
{
    const QPainterPath mark = playMark(screen, detailed);
    if (!detailed) {
        // A few pixels across: one bright flat colour reads better than a gradient.
        painter.fillPath(mark, QColor(0xff, 0xe8, 0x8a));
        return;
    }
    QRadialGradient glow(mark.boundingRect().center(), screen.width() * 0.55);
    glow.setColorAt(0.0, QColor(0xff, 0x9a, 0x3c, 120));
    glow.setColorAt(1.0, QColor(0xff, 0x2e, 0x7e, 0));
    painter.fillRect(screen, glow);
    QLinearGradient fill(mark.boundingRect().topLeft(), mark.boundingRect().bottomLeft());
    fill.setColorAt(0.0, QColor(0xff, 0xf4, 0xc2));
    fill.setColorAt(0.5, sunYellow);
    fill.setColorAt(1.0, hotOrange);
    painter.fillPath(mark, fill);
}

void paintEmblemGloss(QPainter &painter, const QRectF &rect)
{
    QPainterPath upperHalf;
    upperHalf.addEllipse(QRectF(rect.left() - rect.width() * 0.3, rect.top() - rect.height() * 0.9,
                                rect.width() * 1.6, rect.height() * 1.35));
    QLinearGradient sheen(rect.topLeft(), QPointF(rect.left(), rect.center().y()));
    sheen.setColorAt(0.0, QColor(255, 255, 255, 90));
    sheen.setColorAt(1.0, QColor(255, 255, 255, 0));
    painter.fillPath(upperHalf.intersected(roundedSquare(rect, 0.24)), sheen);
}

QPainterPath wordPath(const QRectF &box)
{
    QFont font(logoFontFamily);
    font.setPixelSize(200);
    font.setBold(true);
    font.setLetterSpacing(QFont::AbsoluteSpacing, -4);
    QPainterPath text;
    text.addText(0, 0, font, QStringLiteral("Vorlumen"));
    // A forward lean reads as speed, the arcade way.
    QTransform lean;
    lean.shear(-0.18, 0);
    text = lean.map(text);
    const QRectF bounds = text.boundingRect();
    const qreal scale = qMin(box.width() / bounds.width(), box.height() / bounds.height());
    QTransform fit;
    fit.translate(box.center().x(), box.center().y());
    fit.scale(scale, scale);
    fit.translate(-bounds.center().x(), -bounds.center().y());
    return fit.map(text);
}

void paintWord(QPainter &painter, const QRectF &box, qreal unit)
{
    const QPainterPath word = wordPath(box);
    const QRectF bounds = word.boundingRect();

    painter.save();
    painter.translate(unit * 1.6, unit * 2.2);
    painter.fillPath(word, QColor(0, 0, 0, 150));
    painter.restore();

    painter.strokePath(word,
                       QPen(inkNight, unit * 4.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.strokePath(word,
                       QPen(deepViolet, unit * 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));

    // Chrome-like split at the horizon: warm sky above, hot glow below.
    QLinearGradient chrome(bounds.topLeft(), bounds.bottomLeft());
    chrome.setColorAt(0.0, QColor(0xff, 0xfb, 0xe6));
    chrome.setColorAt(0.38, sunYellow);
    chrome.setColorAt(0.54, hotOrange);
    chrome.setColorAt(0.55, QColor(0xff, 0x5a, 0x3a));
    chrome.setColorAt(1.0, neonPink);
    painter.fillPath(word, chrome);
}

void paintSpeedStripes(QPainter &painter, const QRectF &emblem, qreal unit, qreal width)
{
    const QColor stripes[] = {sunYellow, hotOrange, neonPink};
    const qreal gap = unit * 3;
    const qreal thickness = unit * 2.4;
    const qreal firstY = emblem.center().y() - gap * 1.5 + (gap - thickness) / 2;
    for (int i = 0; i < 3; ++i) {
        const qreal y = firstY + i * gap;
        const qreal inset = unit * 6 * i;
        QLinearGradient fadeLeft(QPointF(inset, 0), QPointF(emblem.left() - unit * 4, 0));
        fadeLeft.setColorAt(0.0,
                            QColor(stripes[i].red(), stripes[i].green(), stripes[i].blue(), 0));
        fadeLeft.setColorAt(1.0, stripes[i]);
        painter.fillRect(QRectF(inset, y, emblem.left() - unit * 4 - inset, thickness), fadeLeft);
        const qreal right = emblem.right() + unit * 4;
        QLinearGradient fadeRight(QPointF(right, 0), QPointF(width - inset, 0));
        fadeRight.setColorAt(0.0, stripes[i]);
        fadeRight.setColorAt(1.0,
                             QColor(stripes[i].red(), stripes[i].green(), stripes[i].blue(), 0));
        painter.fillRect(QRectF(right, y, width - inset - right, thickness), fadeRight);
    }
}

QImage transparentCanvas(const QSize &size)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

} // namespace

bool loadLogoFont()
{
    const int id = QFontDatabase::addApplicationFont(QString::fromLatin1(logoFontFile));
    if (id < 0)
        return false;
    const QStringList families = QFontDatabase::applicationFontFamilies(id);
    if (!families.isEmpty())
        logoFontFamily = families.first();
    return true;
}

void paintEmblem(QPainter &painter, const QRectF &rect)
{
    const bool detailed = painter.transform().mapRect(rect).width() >= 40;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    paintEmblemBody(painter, rect);
    const qreal inset = rect.width() * (detailed ? 0.15 : 0.17);
    const QRectF screen = rect.adjusted(inset, inset, -inset, -inset);
    paintEmblemScreen(painter, screen, detailed);
    paintEmblemPlayMark(painter, screen, detailed);
    if (detailed)
        paintEmblemGloss(painter, rect);
    painter.restore();
}

void paintLogo(QPainter &painter, const QRectF &rect)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(rect.topLeft());
    painter.scale(rect.width() / logoDesignSize.width(), rect.height() / logoDesignSize.height());
    const qreal unit = 1.0; // one pixel of the 256 x 106 design
    const QRectF emblem(128 - 19, 3, 38, 38);
    paintSpeedStripes(painter, emblem, unit, logoDesignSize.width());
    paintEmblem(painter, emblem);
    paintWord(painter, QRectF(6, 46, 244, 54), unit);
    painter.restore();
}

QImage logoImage()
{
    QImage image = transparentCanvas(logoDesignSize.toSize());
    QPainter painter(&image);
    paintLogo(painter, QRectF(QPointF(0, 0), logoDesignSize));
    painter.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

QImage appIconImage(int side)
{
    QImage image = transparentCanvas(QSize(side, side));
    QPainter painter(&image);
    const qreal margin = side >= 48 ? side / 32.0 : 0;
    paintEmblem(painter, QRectF(margin, margin, side - 2 * margin, side - 2 * margin));
    painter.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

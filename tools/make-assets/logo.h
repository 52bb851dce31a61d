#pragma once

#include <QImage>
#include <QPainter>
#include <QRectF>

// Registers the logo's typeface from the DejaVu files; false when missing.
bool loadLogoFont();

// The product emblem (a glowing arcade screen with a play mark) inside rect.
// Small sizes drop the finest details so the shape stays readable.
void paintEmblem(QPainter &painter, const QRectF &rect);

// The full logo, emblem over the word "Vorlumen", fitted into rect (the
// logo's own proportions are 256 x 106).
void paintLogo(QPainter &painter, const QRectF &rect);

QImage logoImage(); // 256 x 106, with alpha
QImage appIconImage(int side); // square, with alpha

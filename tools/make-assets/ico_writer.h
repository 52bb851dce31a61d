#pragma once

#include <QByteArray>
#include <QImage>
#include <QVector>

// An .ico container holding every image given, each stored as PNG
// (Qt's own ICO writer keeps only one size).
QByteArray icoWithPngEntries(const QVector<QImage> &images);

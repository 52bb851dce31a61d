// The real SWF files of the shared corpus and the values their manifest
// gives for each, for the header reader's and the probe's tests.
#pragma once

#include <QFile>
#include <QString>
#include <QStringList>
#include <QVector>

#include <cmath>

namespace swfcorpus {

inline QString root()
{
    return QStringLiteral(SWF_CORPUS_DIR);
}

struct Entry
{
    QString path;
    QString signature;
    int version = 0;
    qint64 widthPixels = 0; // truncated toward zero
    qint64 heightPixels = 0;
    double frameRate = 0;
    int frameCount = 0;
    int rectBits = 0;
    qint32 xmin = 0, xmax = 0, ymin = 0, ymax = 0;
};

// Rows of a tab-separated file with a header line, as column -> value maps.
inline QVector<QStringList> readTable(const QString &path, QStringList &columns)
{
    QVector<QStringList> rows;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return rows;
    columns = QString::fromUtf8(file.readLine()).trimmed().split(QLatin1Char('\t'));
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine());
        if (!line.trimmed().isEmpty())
            rows.append(
                line.chopped(line.endsWith(QLatin1Char('\n')) ? 1 : 0).split(QLatin1Char('\t')));
    }
    return rows;
}

inline QVector<Entry> manifest()
{
    QStringList columns;
    const QVector<QStringList> rows = readTable(root() + QStringLiteral("/MANIFEST.tsv"), columns);
    auto column = [&](const QStringList &row, const char *name) {
        return row.value(columns.indexOf(QLatin1String(name)));
    };
    QVector<Entry> entries;
    for (const QStringList &row : rows) {
        Entry entry;
        entry.path = root() + QLatin1Char('/') + column(row, "file");
        entry.signature = column(row, "signature");
        entry.version = column(row, "version").toInt();
        entry.widthPixels = qint64(std::trunc(column(row, "width_px").toDouble()));
        entry.heightPixels = qint64(std::trunc(column(row, "height_px").toDouble()));
        entry.frameRate = column(row, "frame_rate").toDouble();
        entry.frameCount = column(row, "frame_count").toInt();
        entry.rectBits = column(row, "nbits").toInt();
        entry.xmin = column(row, "xmin_twips").toInt();
        entry.xmax = column(row, "xmax_twips").toInt();
        entry.ymin = column(row, "ymin_twips").toInt();
        entry.ymax = column(row, "ymax_twips").toInt();
        entries.append(entry);
    }
    return entries;
}

// The files named .swf that are no SWF movies; every reader must reject them.
inline QStringList invalidFiles()
{
    QStringList columns;
    QStringList paths;
    for (const QStringList &row : readTable(root() + QStringLiteral("/INVALID.tsv"), columns))
        paths << root() + QLatin1Char('/') + row.value(columns.indexOf(QStringLiteral("file")));
    return paths;
}

} // namespace swfcorpus

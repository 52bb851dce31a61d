#include "ico_writer.h"

#include <QBuffer>
#include <QDataStream>

namespace {

constexpr int directoryHeaderSize = 6;
constexpr int directoryEntrySize = 16;

QByteArray pngBytes(const QImage &image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.convertToFormat(QImage::Format_ARGB32).save(&buffer, "PNG");
    return bytes;
}

// The directory stores each side in one byte; 0 stands for 256.
quint8 sideByte(int side)
{
    return side >= 256 ? 0 : quint8(side);
}

} // namespace

QByteArray icoWithPngEntries(const QVector<QImage> &images)
{
    QVector<QByteArray> payloads;
    for (const QImage &image : images)
        payloads.append(pngBytes(image));

    QByteArray ico;
    QDataStream out(&ico, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out << quint16(0) << quint16(1) << quint16(images.size());

    quint32 offset = directoryHeaderSize + directoryEntrySize * images.size();
    for (int i = 0; i < images.size(); ++i) {
        out << sideByte(images[i].width()) << sideByte(images[i].height());
        out << quint8(0) << quint8(0); // no palette, reserved
        out << quint16(1) << quint16(32); // colour planes, bits per pixel
        out << quint32(payloads[i].size()) << offset;
        offset += payloads[i].size();
    }
    for (const QByteArray &payload : payloads)
        out.writeRawData(payload.constData(), payload.size());
    return ico;
}

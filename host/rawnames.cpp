#include "rawnames.h"

#include <QTextCodec>

namespace rawnames {

namespace {

constexpr char16_t kEscapeBase = 0xDC00;

// The length of the valid UTF-8 sequence at bytes[at], or 0.
int validSequenceAt(const QByteArray &bytes, int at)
{
    const auto byte = [&](int i) { return static_cast<unsigned char>(bytes.at(i)); };
    const unsigned char lead = byte(at);
    if (lead < 0x80)
        return 1;
    int length = 0;
    char32_t lowest = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        lowest = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        lowest = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        lowest = 0x10000;
    } else {
        return 0;
    }
    if (at + length > bytes.size())
        return 0;
    char32_t code = lead & (0x7F >> length);
    for (int i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80)
            return 0;
        code = (code << 6) | (byte(at + i) & 0x3F);
    }
    // Overlong forms, UTF-16 surrogates and code points past Unicode are
    // not UTF-8.
    if (code < lowest || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF)
        return 0;
    return length;
}

class RawUtf8Codec : public QTextCodec
{
public:
    QByteArray name() const override { return QByteArrayLiteral("UTF-8 (raw file names)"); }
    int mibEnum() const override { return 3106; } // a private number, beside UTF-8's 106

protected:
    QString convertToUnicode(const char *chars, int length, ConverterState *) const override
    {
        return fromBytes(QByteArray::fromRawData(chars, length));
    }
    QByteArray convertFromUnicode(const QChar *text, int length, ConverterState *) const override
    {
        return toBytes(QString::fromRawData(text, length));
    }
};

} // namespace

QString fromBytes(const QByteArray &bytes)
{
    QString text;
    text.reserve(bytes.size());
    for (int at = 0; at < bytes.size();) {
        const int length = validSequenceAt(bytes, at);
        if (length == 0) {
            text.append(QChar(char16_t(kEscapeBase + static_cast<unsigned char>(bytes.at(at)))));
            ++at;
            continue;
        }
        text.append(QString::fromUtf8(bytes.constData() + at, length));
        at += length;
    }
    return text;
}

QByteArray toBytes(const QString &text)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    int runStart = 0;
    const auto flushRun = [&](int end) {
        if (end > runStart)
            bytes.append(text.midRef(runStart, end - runStart).toUtf8());
    };
    for (int i = 0; i < text.size(); ++i) {
        const char16_t unit = text.at(i).unicode();
        const bool pairedLow = i > 0 && text.at(i - 1).isHighSurrogate();
        if (unit >= kEscapeBase + 0x80 && unit <= kEscapeBase + 0xFF && !pairedLow) {
            flushRun(i);
            bytes.append(char(unit - kEscapeBase));
            runStart = i + 1;
        }
    }
    flushRun(text.size());
    return bytes;
}

void installAsLocaleCodec()
{
    // Qt keeps the codecs it is given for the life of the application.
    QTextCodec::setCodecForLocale(new RawUtf8Codec);
}

} // namespace rawnames

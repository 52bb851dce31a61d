// The header reader against the real corpus, the corpus's non-SWF files, and
// headers written with every field width, origin, fraction and cut.

#include "swfgen.h"
#include "swfheader.h"
#include "tst_swfheader_corpus.h"

#include <QFileInfo>
#include <QtTest>

#include <cstring>
#include <functional>

using swfgen::Bytes;
using swfgen::Compression;
using swfgen::TwipsRect;
using swfheader::Error;

Q_DECLARE_METATYPE(swfgen::Bytes)
Q_DECLARE_METATYPE(swfgen::Compression)
Q_DECLARE_METATYPE(swfgen::TwipsRect)
Q_DECLARE_METATYPE(swfheader::Error)
Q_DECLARE_METATYPE(swfcorpus::Entry)

namespace {

swfheader::Result read(const Bytes &bytes)
{
    return swfheader::readHeaderFromMemory(bytes.data(), bytes.size());
}

// A minimal movie: the header fields and an End tag.
Bytes headerFile(Compression compression, const TwipsRect &rect, unsigned rectBits,
                 uint16_t rate = 24 << 8, uint16_t frames = 1)
{
    swfgen::HeaderFields fields;
    fields.rect = swfgen::encodeRect(rect, rectBits);
    fields.frameRateFixed = rate;
    fields.frameCount = frames;
    return swfgen::packFile(compression, 10, fields, Bytes {0, 0});
}

swfheader::Compression readerKind(Compression compression)
{
    switch (compression) {
    case Compression::Zlib:
        return swfheader::Compression::Zlib;
    case Compression::Lzma:
        return swfheader::Compression::Lzma;
    case Compression::None:
        break;
    }
    return swfheader::Compression::None;
}

void addPerCompression(const char *name, const std::function<void(QTestData &)> &fill)
{
    const std::pair<const char *, Compression> kinds[]
        = {{"FWS", Compression::None}, {"CWS", Compression::Zlib}, {"ZWS", Compression::Lzma}};
    for (const auto &kind : kinds) {
        QTestData &row = QTest::addRow("%s %s", kind.first, name) << kind.second;
        fill(row);
    }
}

// Size of a body in bytes for a file whose header needs `rectBits`.
int headerEnd(unsigned rectBits)
{
    return 8 + int((5 + 4 * rectBits + 7) / 8) + 4;
}

} // namespace

class TestSwfHeader : public QObject
{
    Q_OBJECT

private slots:
    void corpusFile_data();
    void corpusFile();
    void corpusCoversEveryKind();
    void corpusInvalidFile_data();
    void corpusInvalidFile();
    void rectFieldWidth_data();
    void rectFieldWidth();
    void fractionalSize_data();
    void fractionalSize();
    void cutHeader_data();
    void cutHeader();
    void corruptCompressedData_data();
    void corruptCompressedData();
    void hostileLzmaDictionaryIsNotReserved();
    void compressedStreamWithoutOutputIsBounded();
    void fileErrors();
};

void TestSwfHeader::corpusFile_data()
{
    QTest::addColumn<swfcorpus::Entry>("entry");
    const QVector<swfcorpus::Entry> entries = swfcorpus::manifest();
    QVERIFY2(!entries.isEmpty(), qPrintable("no corpus manifest under " + swfcorpus::root()));
    for (const swfcorpus::Entry &entry : entries)
        QTest::newRow(qPrintable(QFileInfo(entry.path).fileName())) << entry;
}

void TestSwfHeader::corpusFile()
{
    QFETCH(swfcorpus::Entry, entry);
    const swfheader::Result result = swfheader::readHeaderFromFile(entry.path.toStdString());
    QVERIFY2(result.ok(), result.detail.c_str());
    const swfheader::Header &header = result.header;
    QCOMPARE(QString::fromLatin1(swfheader::compressionSignature(header.compression)),
             entry.signature);
    QCOMPARE(int(header.version), entry.version);
    QCOMPARE(int(header.rectBits), entry.rectBits);
    QCOMPARE(header.frame.xmin, entry.xmin);
    QCOMPARE(header.frame.xmax, entry.xmax);
    QCOMPARE(header.frame.ymin, entry.ymin);
    QCOMPARE(header.frame.ymax, entry.ymax);
    QCOMPARE(header.widthPixels(), entry.widthPixels);
    QCOMPARE(header.heightPixels(), entry.heightPixels);
    QCOMPARE(header.frameRate(), entry.frameRate);
    QCOMPARE(int(header.frameCount), entry.frameCount);
}

void TestSwfHeader::corpusCoversEveryKind()
{
    QMap<QString, int> perKind;
    for (const swfcorpus::Entry &entry : swfcorpus::manifest())
        ++perKind[entry.signature];
    QVERIFY(perKind.value("FWS") > 0);
    QVERIFY(perKind.value("CWS") > 0);
    QVERIFY(perKind.value("ZWS") > 0);
}

void TestSwfHeader::corpusInvalidFile_data()
{
    QTest::addColumn<QString>("path");
    const QStringList paths = swfcorpus::invalidFiles();
    QVERIFY(!paths.isEmpty());
    for (const QString &path : paths)
        QTest::newRow(qPrintable(QFileInfo(path).fileName())) << path;
}

void TestSwfHeader::corpusInvalidFile()
{
    QFETCH(QString, path);
    QVERIFY(QFileInfo::exists(path));
    const swfheader::Result result = swfheader::readHeaderFromFile(path.toStdString());
    QVERIFY(!result.ok());
    QVERIFY(!result.detail.empty());
    const Error expected = QFileInfo(path).size() == 0 ? Error::Empty : Error::NotSwf;
    QCOMPARE(result.error, expected);
}

void TestSwfHeader::rectFieldWidth_data()
{
    QTest::addColumn<Compression>("compression");
    QTest::addColumn<unsigned>("bits");
    QTest::addColumn<TwipsRect>("rect");
    for (unsigned bits : {0u, 1u, 2u, 15u, 16u, 17u, 30u, 31u}) {
        const int32_t high = bits == 0 ? 0 : int32_t((int64_t(1) << (bits - 1)) - 1);
        const int32_t low = bits == 0 ? 0 : int32_t(-(int64_t(1) << (bits - 1)));
        const QByteArray name = QByteArray::number(bits) + " bits";
        addPerCompression(name + ", widest", [&](QTestData &row) {
            row << bits << TwipsRect {low, high, low, high};
        });
        addPerCompression(name + ", from zero", [&](QTestData &row) {
            row << bits << TwipsRect {0, high, 0, high / 2};
        });
        // A set sign bit in the maximum reads as negative, as the format says.
        addPerCompression(name + ", negative origin", [&](QTestData &row) {
            row << bits << TwipsRect {low, 0, low / 2, high};
        });
    }
}

void TestSwfHeader::rectFieldWidth()
{
    QFETCH(Compression, compression);
    QFETCH(unsigned, bits);
    QFETCH(TwipsRect, rect);
    const swfheader::Result result = read(headerFile(compression, rect, bits, 0x1880, 77));
    QVERIFY2(result.ok(), result.detail.c_str());
    QCOMPARE(result.header.compression, readerKind(compression));
    QCOMPARE(result.header.rectBits, bits);
    QCOMPARE(result.header.frame.xmin, rect.xmin);
    QCOMPARE(result.header.frame.xmax, rect.xmax);
    QCOMPARE(result.header.frame.ymin, rect.ymin);
    QCOMPARE(result.header.frame.ymax, rect.ymax);
    QCOMPARE(result.header.widthPixels(), (int64_t(rect.xmax) - rect.xmin) / 20);
    QCOMPARE(result.header.frameRate(), 24.5);
    QCOMPARE(int(result.header.frameCount), 77);
}

void TestSwfHeader::fractionalSize_data()
{
    QTest::addColumn<Compression>("compression");
    QTest::addColumn<TwipsRect>("rect");
    QTest::addColumn<qint64>("width");
    QTest::addColumn<qint64>("height");
    const struct
    {
        const char *name;
        TwipsRect rect;
        qint64 width, height;
    } cases[] = {
        {"101.3 x 25.3 from a negative origin", {-1013, 1013, -253, 253}, 101, 25},
        {"113.55 x 104.25", {0, 2271, 0, 2085}, 113, 104},
        {"659.75 x 591", {0, 13195, 0, 11820}, 659, 591},
        {"0.95 x 0.05", {0, 19, 0, 1}, 0, 0},
        {"-2.4 x -2.4 truncates toward zero", {0, -48, 0, -48}, -2, -2},
        {"-20.95 x 1.05", {10, -409, 0, 21}, -20, 1},
    };
    for (const auto &c : cases) {
        addPerCompression(c.name, [&](QTestData &row) { row << c.rect << c.width << c.height; });
    }
}

void TestSwfHeader::fractionalSize()
{
    QFETCH(Compression, compression);
    QFETCH(TwipsRect, rect);
    QFETCH(qint64, width);
    QFETCH(qint64, height);
    const swfheader::Result result = read(headerFile(compression, rect, swfgen::rectBitsFor(rect)));
    QVERIFY2(result.ok(), result.detail.c_str());
    QCOMPARE(result.header.widthPixels(), width);
    QCOMPARE(result.header.heightPixels(), height);
}

void TestSwfHeader::cutHeader_data()
{
    QTest::addColumn<Compression>("compression");
    QTest::addColumn<unsigned>("bits");
    for (unsigned bits : {0u, 1u, 15u, 16u, 31u})
        addPerCompression(QByteArray::number(bits) + " bits", [&](QTestData &row) { row << bits; });
}

// Every cut of the file either gives the exact header or says it is cut;
// a plain file must succeed exactly once its header is complete.
void TestSwfHeader::cutHeader()
{
    QFETCH(Compression, compression);
    QFETCH(unsigned, bits);
    const int32_t value = bits == 0 ? 0 : int32_t((int64_t(1) << (bits - 1)) - 1);
    const TwipsRect rect {0, value, 0, value};
    const Bytes whole = headerFile(compression, rect, bits);
    for (size_t length = 0; length <= whole.size(); ++length) {
        const Bytes cut(whole.begin(), whole.begin() + long(length));
        const swfheader::Result result = read(cut);
        const QByteArray where = "cut at " + QByteArray::number(qulonglong(length));
        if (length == 0) {
            QCOMPARE(result.error, Error::Empty);
        } else if (!result.ok()) {
            QVERIFY2(result.error == Error::Truncated, where + ": " + result.detail.c_str());
        } else {
            QCOMPARE(result.header.frame.xmax, rect.xmax);
            QCOMPARE(result.header.frame.ymax, rect.ymax);
        }
        if (compression == Compression::None)
            QVERIFY2(result.ok() == (int(length) >= headerEnd(bits)), where);
        if (length < 9)
            QVERIFY2(!result.ok(), where);
    }
    QVERIFY(read(whole).ok());
}

void TestSwfHeader::corruptCompressedData_data()
{
    QTest::addColumn<Bytes>("file");
    Bytes cws = headerFile(Compression::Zlib, {0, 12800, 0, 9600}, 15);
    cws[8] ^= 0x0F; // zlib header check bits
    QTest::newRow("zlib header") << cws;
    Bytes cwsDictionary = headerFile(Compression::Zlib, {0, 12800, 0, 9600}, 15);
    cwsDictionary[8] = 0x78;
    cwsDictionary[9] = 0xBB; // asks for a preset dictionary
    QTest::newRow("zlib preset dictionary") << cwsDictionary;
    Bytes cwsBlock = headerFile(Compression::Zlib, {0, 12800, 0, 9600}, 15);
    cwsBlock[10] = 0xFF; // block type 3 does not exist
    QTest::newRow("zlib block type") << cwsBlock;
    Bytes zwsProperties = headerFile(Compression::Lzma, {0, 12800, 0, 9600}, 15);
    zwsProperties[12] = 0xFF; // lc/lp/pb beyond their ranges
    QTest::newRow("LZMA properties") << zwsProperties;
    Bytes zwsData = headerFile(Compression::Lzma, {0, 12800, 0, 9600}, 15);
    zwsData[17] = 0x80; // a range coder stream starts with a zero byte
    QTest::newRow("LZMA data") << zwsData;
}

void TestSwfHeader::corruptCompressedData()
{
    QFETCH(Bytes, file);
    const swfheader::Result result = read(file);
    QCOMPARE(result.error, Error::CorruptData);
    QVERIFY(!result.detail.empty());
}

void TestSwfHeader::hostileLzmaDictionaryIsNotReserved()
{
    Bytes file = headerFile(Compression::Lzma, {0, 12800, 0, 9600}, 15);
    for (int i = 13; i < 17; ++i)
        file[size_t(i)] = 0xFF; // a 4 GiB dictionary
    const swfheader::Result result = read(file);
    QVERIFY2(result.ok(), result.detail.c_str());
    QCOMPARE(result.header.widthPixels(), 640);
}

// Empty stored blocks decode to nothing; the reader must give up after a
// bounded amount of input instead of walking the whole file.
void TestSwfHeader::compressedStreamWithoutOutputIsBounded()
{
    Bytes file {'C', 'W', 'S', 10, 0, 0, 0, 1, 0x78, 0x01};
    const Bytes emptyStoredBlock {0x00, 0x00, 0x00, 0xFF, 0xFF};
    while (file.size() < 16 * 1024 * 1024)
        file.insert(file.end(), emptyStoredBlock.begin(), emptyStoredBlock.end());
    size_t consumed = 0;
    const swfheader::Result result = swfheader::readHeader([&](uint8_t *buffer, size_t capacity) {
        const size_t n = std::min(capacity, file.size() - consumed);
        std::memcpy(buffer, file.data() + consumed, n);
        consumed += n;
        return long(n);
    });
    QCOMPARE(result.error, Error::CorruptData);
    QVERIFY(consumed <= swfheader::kMaxCompressedInput + 4096);
}

void TestSwfHeader::fileErrors()
{
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const std::string missing = (folder.path() + "/missing.swf").toStdString();
    QCOMPARE(swfheader::readHeaderFromFile(missing).error, Error::Unreadable);
    QCOMPARE(swfheader::readHeaderFromFile(folder.path().toStdString()).error, Error::Unreadable);
    QCOMPARE(swfheader::readHeaderFromFile("").error, Error::Unreadable);
}

QTEST_GUILESS_MAIN(TestSwfHeader)
#include "tst_swfheader.moc"

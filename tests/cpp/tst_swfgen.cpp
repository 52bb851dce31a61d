// The SWF writer: its files read back to the values they were given, their
// tags and shapes are well formed, the run-counting bytecode branches only to
// real instructions, and makeswf behaves on its command line.

#include "avm1.h"
#include "movies.h"
#include "swfbits.h"
#include "swfgen.h"
#include "swfheader.h"

#include <QFileInfo>
#include <QProcess>
#include <QtTest>

#include <lzma.h>
#include <set>
#include <zlib.h>

using swfgen::Bytes;
using swfgen::Compression;

Q_DECLARE_METATYPE(swfgen::Compression)
Q_DECLARE_METATYPE(swfgen::Bytes)

namespace {

uint16_t u16(const Bytes &bytes, size_t at)
{
    return uint16_t(bytes[at] | bytes[at + 1] << 8);
}

uint32_t u32(const Bytes &bytes, size_t at)
{
    return uint32_t(u16(bytes, at) | u16(bytes, at + 2) << 16);
}

// The whole uncompressed body after the first 8 bytes, decoded independently
// of the header reader.
bool decodeBody(const Bytes &file, Bytes &body)
{
    const uint32_t declared = u32(file, 4);
    if (declared < 8)
        return false;
    body.assign(declared - 8, 0);
    if (file[0] == 'F') {
        body.assign(file.begin() + 8, file.end());
        return true;
    }
    if (file[0] == 'C') {
        uLongf size = uLongf(body.size());
        return uncompress(body.data(), &size, file.data() + 8, uLong(file.size() - 8)) == Z_OK
            && size == body.size();
    }
    lzma_filter filters[2] = {{LZMA_FILTER_LZMA1, nullptr}, {LZMA_VLI_UNKNOWN, nullptr}};
    if (lzma_properties_decode(&filters[0], nullptr, file.data() + 12, 5) != LZMA_OK)
        return false;
    lzma_stream stream = LZMA_STREAM_INIT;
    const bool started = lzma_raw_decoder(&stream, filters) == LZMA_OK;
    free(filters[0].options);
    if (!started)
        return false;
    stream.next_in = file.data() + 17;
    stream.avail_in = file.size() - 17;
    stream.next_out = body.data();
    stream.avail_out = body.size();
    const lzma_ret rc = lzma_code(&stream, LZMA_FINISH);
    const bool whole = stream.avail_out == 0 && (rc == LZMA_STREAM_END || rc == LZMA_OK);
    lzma_end(&stream);
    return whole;
}

struct Tag
{
    uint16_t code;
    Bytes payload;
};

// Splits the tag list; fails unless it ends with an End tag exactly at the end.
bool splitTags(const Bytes &body, size_t offset, QVector<Tag> &tags)
{
    while (offset + 2 <= body.size()) {
        const uint16_t header = u16(body, offset);
        offset += 2;
        size_t length = header & 0x3F;
        if (length == 0x3F) {
            if (offset + 4 > body.size())
                return false;
            length = u32(body, offset);
            offset += 4;
        }
        if (offset + length > body.size())
            return false;
        tags.append({uint16_t(header >> 6),
                     Bytes(body.begin() + long(offset), body.begin() + long(offset + length))});
        offset += length;
        if (tags.last().code == 0)
            return offset == body.size();
    }
    return false;
}

// Walks a DefineShape's records; returns false unless they end exactly at
// the end of the tag and every outline closes on its start.
bool shapeIsWellFormed(const Bytes &payload, QString &why)
{
    try {
        swfheader::BitReader rect(payload, 2);
        const unsigned rectBits = rect.readUnsigned(5);
        size_t at = 2 + (5 + 4 * rectBits + 7) / 8;
        const unsigned fills = payload.at(at++);
        at += fills * 4; // solid fills: type and RGB
        const unsigned lines = payload.at(at++);
        at += lines * 5;
        swfheader::BitReader bits(payload, at);
        const unsigned fillBits = bits.readUnsigned(4);
        const unsigned lineBits = bits.readUnsigned(4);
        int64_t x = 0, y = 0, startX = 0, startY = 0;
        for (;;) {
            if (bits.readUnsigned(1) == 0) { // style change or end
                const unsigned flags = bits.readUnsigned(5);
                if (flags == 0)
                    break;
                if (x != startX || y != startY) {
                    why = "an outline does not close";
                    return false;
                }
                if (flags & 0x01) {
                    const unsigned moveBits = bits.readUnsigned(5);
                    x = startX = bits.readSigned(moveBits);
                    y = startY = bits.readSigned(moveBits);
                }
                if (flags & 0x02)
                    bits.readUnsigned(fillBits);
                if (flags & 0x04)
                    bits.readUnsigned(fillBits);
                if (flags & 0x08)
                    bits.readUnsigned(lineBits);
            } else if (bits.readUnsigned(1) == 1) { // straight edge
                const unsigned n = bits.readUnsigned(4) + 2;
                if (bits.readUnsigned(1) == 1) {
                    x += bits.readSigned(n);
                    y += bits.readSigned(n);
                } else if (bits.readUnsigned(1) == 1) {
                    y += bits.readSigned(n);
                } else {
                    x += bits.readSigned(n);
                }
            } else { // curved edge
                const unsigned n = bits.readUnsigned(4) + 2;
                x += bits.readSigned(n);
                y += bits.readSigned(n);
                x += bits.readSigned(n);
                y += bits.readSigned(n);
            }
        }
        if (bits.overrun()) {
            why = "records run past the tag";
            return false;
        }
        if (x != startX || y != startY) {
            why = "the last outline does not close";
            return false;
        }
        if (bits.nextByte() != payload.size()) {
            why = "records end before the tag does";
            return false;
        }
        return true;
    } catch (const std::out_of_range &) { // the style arrays' counts
        why = "records run past the tag";
        return false;
    }
}

} // namespace

class TestSwfgen : public QObject
{
    Q_OBJECT

private slots:
    void readsBackAsWritten_data();
    void readsBackAsWritten();
    void fileIsWellFormed_data();
    void fileIsWellFormed();
    void saverBranchesLandOnInstructions();
    void assemblerRejectsUnknownLabels();
    void makeswfPreset_data();
    void makeswfPreset();
    void makeswfPadMakesTheFileThatLarge_data();
    void makeswfPadMakesTheFileThatLarge();
    void makeswfOddHeaders();
    void makeswfRejectsBadOptions_data();
    void makeswfRejectsBadOptions();
};

void TestSwfgen::readsBackAsWritten_data()
{
    QTest::addColumn<Compression>("compression");
    QTest::addColumn<double>("width");
    QTest::addColumn<double>("height");
    QTest::addColumn<double>("fps");
    QTest::addColumn<int>("frames");
    const struct
    {
        const char *name;
        double width, height, fps;
        int frames;
    } sizes[] = {
        {"640x480", 640, 480, 30, 3},
        {"fractional 101.3x25.3", 101.3, 25.3, 24, 1},
        {"fractional 113.55x104.25", 113.55, 104.25, 0.25, 2},
        {"empty stage", 0, 0, 12, 1},
        {"one pixel", 1, 1, 131, 1},
        {"2048x2048", 2048, 2048, 60, 10},
        {"largest stage", swfgen::kMaxRectTwips / 20.0, swfgen::kMaxRectTwips / 20.0, 1, 1},
    };
    const std::pair<const char *, Compression> kinds[]
        = {{"FWS", Compression::None}, {"CWS", Compression::Zlib}, {"ZWS", Compression::Lzma}};
    for (const auto &kind : kinds)
        for (const auto &size : sizes)
            QTest::addRow("%s %s", kind.first, size.name)
                << kind.second << size.width << size.height << size.fps << size.frames;
}

void TestSwfgen::readsBackAsWritten()
{
    QFETCH(Compression, compression);
    QFETCH(double, width);
    QFETCH(double, height);
    QFETCH(double, fps);
    QFETCH(int, frames);
    swfgen::Movie movie(width, height, fps, 9);
    movie.setBackground({1, 2, 3});
    for (int i = 0; i < frames; ++i)
        movie.showFrame();
    const Bytes file = movie.build(compression);
    const swfheader::Result result = swfheader::readHeaderFromMemory(file.data(), file.size());
    QVERIFY2(result.ok(), result.detail.c_str());
    QCOMPARE(int(result.header.version), 9);
    QCOMPARE(result.header.frame.xmin, 0);
    QCOMPARE(result.header.frame.ymin, 0);
    QCOMPARE(result.header.frame.xmax, swfgen::pixelsToTwips(width));
    QCOMPARE(result.header.frame.ymax, swfgen::pixelsToTwips(height));
    QCOMPARE(result.header.widthPixels(), qint64(width));
    QCOMPARE(result.header.heightPixels(), qint64(height));
    QCOMPARE(result.header.frameRate(), std::round(fps * 256) / 256);
    QCOMPARE(int(result.header.frameCount), frames);
}

void TestSwfgen::fileIsWellFormed_data()
{
    QTest::addColumn<Bytes>("file");
    swfgen::Movie plain(550, 400, 24);
    plain.defineRectangle(20000 * 20, 30, {9, 9, 9}); // edges longer than one record holds
    plain.showFrame();
    swfgen::Movie padded = swfgen::colourTestMovie(640, 480);
    padded.pad(100000);
    const std::pair<const char *, swfgen::Movie> movies[] = {
        {"demo", swfgen::demoMovie()},
        {"colours", swfgen::colourTestMovie(640, 480)},
        {"saver", swfgen::saverMovie(800, 600)},
        {"long edges", plain},
        {"padded", padded},
    };
    const std::pair<const char *, Compression> kinds[]
        = {{"FWS", Compression::None}, {"CWS", Compression::Zlib}, {"ZWS", Compression::Lzma}};
    for (const auto &kind : kinds)
        for (const auto &movie : movies)
            QTest::addRow("%s %s", kind.first, movie.first) << movie.second.build(kind.second);
}

void TestSwfgen::fileIsWellFormed()
{
    QFETCH(Bytes, file);
    QVERIFY(file.size() > 17);
    if (file[0] == 'Z')
        QCOMPARE(size_t(u32(file, 8)), file.size() - 17);
    Bytes body;
    QVERIFY2(decodeBody(file, body), "the body does not decode to the declared length");
    if (file[0] == 'F')
        QCOMPARE(size_t(u32(file, 4)), file.size());

    const size_t rectBytes = (5 + 4 * (body[0] >> 3) + 7) / 8;
    const uint16_t declaredFrames = u16(body, rectBytes + 2);
    QVector<Tag> tags;
    QVERIFY2(splitTags(body, rectBytes + 4, tags), "tags do not end with End at the end");

    int frames = 0;
    std::set<uint16_t> definedIds;
    for (const Tag &tag : tags) {
        if (tag.code == 1)
            ++frames;
        if (tag.code == 2) {
            QString why;
            QVERIFY2(shapeIsWellFormed(tag.payload, why), qPrintable(why));
            QVERIFY(definedIds.insert(u16(tag.payload, 0)).second);
        }
        if (tag.code == 26 && (tag.payload[0] & 0x02)) // places a character
            QVERIFY(definedIds.count(u16(tag.payload, 3)) == 1);
    }
    QCOMPARE(frames, int(declaredFrames));
    QVERIFY(tags.first().code == 69 || file[3] < 8); // file attributes come first
}

void TestSwfgen::saverBranchesLandOnInstructions()
{
    const Bytes code = swfgen::saverActions();
    std::set<size_t> starts;
    QVector<QPair<size_t, long>> branches; // position, target
    QVector<uint16_t> gotoFrames;
    size_t at = 0;
    while (at < code.size() && code[at] != 0) {
        starts.insert(at);
        const uint8_t action = code[at];
        size_t length = 0;
        if (action >= 0x80) {
            QVERIFY(at + 3 <= code.size());
            length = u16(code, at + 1);
        }
        const size_t next = at + 1 + (action >= 0x80 ? 2 + length : 0);
        QVERIFY(next <= code.size());
        if (action == 0x99 || action == 0x9D) {
            QCOMPARE(length, size_t(2));
            branches.append({at, long(next) + int16_t(u16(code, at + 3))});
        }
        if (action == 0x81)
            gotoFrames.append(u16(code, at + 3));
        at = next;
    }
    QCOMPARE(at, code.size() - 1); // one end marker, at the very end
    starts.insert(at);
    QVERIFY(!branches.isEmpty());
    for (const auto &branch : branches)
        QVERIFY2(branch.second >= 0 && starts.count(size_t(branch.second)) == 1,
                 qPrintable(QString("branch at %1 lands mid-instruction").arg(branch.first)));
    const int frames = swfgen::saverMovie(640, 480).frameCount();
    QCOMPARE(gotoFrames.size(), 3);
    for (uint16_t frame : gotoFrames)
        QVERIFY(frame > 0 && frame < frames);
}

void TestSwfgen::assemblerRejectsUnknownLabels()
{
    swfgen::ActionBuilder code;
    code.jump("nowhere");
    QVERIFY_EXCEPTION_THROWN(code.build(), std::invalid_argument);
}

namespace {

struct MakeswfRun
{
    int exitCode = -1;
    QByteArray err;
};

MakeswfRun runMakeswf(const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral(MAKESWF_PATH), arguments);
    MakeswfRun run;
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit)
        return run;
    run.exitCode = process.exitCode();
    run.err = process.readAllStandardError();
    return run;
}

swfheader::Result readFile(const QString &path)
{
    return swfheader::readHeaderFromFile(QFile::encodeName(path).toStdString());
}

} // namespace

void TestSwfgen::makeswfPreset_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QString>("signature");
    QTest::addColumn<qint64>("width");
    QTest::addColumn<qint64>("height");
    QTest::addColumn<int>("frames");
    QTest::newRow("demo") << QStringList {"--demo", "--cws"} << "CWS" << qint64(640) << qint64(480)
                          << 120;
    QTest::newRow("colours") << QStringList {"--colors", "--zws"} << "ZWS" << qint64(640)
                             << qint64(480) << 1;
    QTest::newRow("colours at another size")
        << QStringList {"--colors", "--width", "300", "--height", "200"} << "FWS" << qint64(300)
        << qint64(200) << 1;
    QTest::newRow("saver") << QStringList {"--saver", "--compression", "cws"} << "CWS"
                           << qint64(640) << qint64(480) << 4;
    QTest::newRow("plain with rectangles")
        << QStringList {"--width",      "659.75",  "--height", "591",
                        "--background", "#102030", "--rect",   "10,10,100.5,50,FF0000",
                        "--frames",     "5",       "--zws"}
        << "ZWS" << qint64(659) << qint64(591) << 5;
    QTest::newRow("negative origin, fractions, widest fields")
        << QStringList {"--width",       "101.3",       "--height", "25.3", "--origin",
                        "-50.65,-12.65", "--rect-bits", "31",       "--zws"}
        << "ZWS" << qint64(101) << qint64(25) << 1;
}

void TestSwfgen::makeswfPreset()
{
    QFETCH(QStringList, options);
    QFETCH(QString, signature);
    QFETCH(qint64, width);
    QFETCH(qint64, height);
    QFETCH(int, frames);
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("out put & $(x).swf"));
    const MakeswfRun run = runMakeswf(options + QStringList {"-o", path});
    QCOMPARE(run.exitCode, 0);
    const swfheader::Result result = readFile(path);
    QVERIFY2(result.ok(), result.detail.c_str());
    QCOMPARE(QString::fromLatin1(swfheader::compressionSignature(result.header.compression)),
             signature);
    QCOMPARE(result.header.widthPixels(), width);
    QCOMPARE(result.header.heightPixels(), height);
    QCOMPARE(int(result.header.frameCount), frames);
}

void TestSwfgen::makeswfPadMakesTheFileThatLarge_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("FWS") << "--fws";
    QTest::newRow("CWS") << "--cws";
    QTest::newRow("ZWS") << "--zws";
}

void TestSwfgen::makeswfPadMakesTheFileThatLarge()
{
    QFETCH(QString, kind);
    const qint64 pad = 3 * 1024 * 1024;
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("padded.swf"));
    QCOMPARE(runMakeswf({"--colors", kind, "--pad", QString::number(pad), "-o", path}).exitCode, 0);
    QVERIFY(QFileInfo(path).size() >= pad); // random padding does not shrink
    const swfheader::Result result = readFile(path);
    QVERIFY2(result.ok(), result.detail.c_str());
    QVERIFY(result.header.declaredFileLength >= pad);
    QCOMPARE(result.header.widthPixels(), 640);
}

void TestSwfgen::makeswfOddHeaders()
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("odd.swf"));
    QCOMPARE(runMakeswf({"--origin", "-100,-5.5", "--rect-bits", "20", "-o", path}).exitCode, 0);
    swfheader::Result result = readFile(path);
    QVERIFY2(result.ok(), result.detail.c_str());
    QCOMPARE(result.header.rectBits, 20u);
    QCOMPARE(result.header.frame.xmin, -2000);
    QCOMPARE(result.header.frame.ymin, -110);
    QCOMPARE(result.header.widthPixels(), 550);
    QCOMPARE(result.header.heightPixels(), 400);

    QCOMPARE(runMakeswf({"--cws", "--cut", "12", "-o", path}).exitCode, 0);
    QCOMPARE(QFileInfo(path).size(), 12);
    QCOMPARE(readFile(path).error, swfheader::Error::Truncated);

    // A stage too large for the fields asked for is refused, not wrapped.
    const MakeswfRun tooNarrow = runMakeswf({"--rect-bits", "8", "-o", path});
    QCOMPARE(tooNarrow.exitCode, 1);
    QVERIFY(tooNarrow.err.contains("8-bit"));
}

void TestSwfgen::makeswfRejectsBadOptions_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::newRow("no output") << QStringList {"--demo"};
    QTest::newRow("negative width") << QStringList {"--width", "-5", "-o", "OUT"};
    QTest::newRow("stage too large") << QStringList {"--width", "60000000", "-o", "OUT"};
    QTest::newRow("width not a number") << QStringList {"--width", "wide", "-o", "OUT"};
    QTest::newRow("unknown compression") << QStringList {"--compression", "rar", "-o", "OUT"};
    QTest::newRow("bad colour") << QStringList {"--background", "#12345", "-o", "OUT"};
    QTest::newRow("bad rectangle") << QStringList {"--rect", "1,2,3,FF0000", "-o", "OUT"};
    QTest::newRow("zero frames") << QStringList {"--frames", "0", "-o", "OUT"};
    QTest::newRow("missing value") << QStringList {"-o", "OUT", "--width"};
    QTest::newRow("unknown option") << QStringList {"--bounce", "-o", "OUT"};
}

void TestSwfgen::makeswfRejectsBadOptions()
{
    QFETCH(QStringList, options);
    QTemporaryDir folder;
    const QString out = folder.filePath(QStringLiteral("out.swf"));
    options.replaceInStrings(QStringLiteral("OUT"), out);
    const MakeswfRun run = runMakeswf(options);
    QCOMPARE(run.exitCode, 2);
    QVERIFY(run.err.startsWith("makeswf: "));
    QVERIFY(!QFileInfo::exists(out));
}

QTEST_GUILESS_MAIN(TestSwfgen)
#include "tst_swfgen.moc"

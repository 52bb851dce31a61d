// Random mutations of real and generated headers: the reader must answer every
// one of them with a header or a clear error, never crash or hang, and agree
// with a plain re-reading of uncompressed headers. A longer run is
// tests/cpp/fuzz_run.sh; set SWFHEADER_MUTATIONS and SWFHEADER_SEED to vary it.

#include "swfgen.h"
#include "swfheader.h"
#include "tst_swfheader_corpus.h"

#include <QFile>
#include <QtTest>

#include <random>

using swfgen::Bytes;

namespace {

QVector<Bytes> seeds()
{
    QVector<Bytes> inputs;
    for (auto compression :
         {swfgen::Compression::None, swfgen::Compression::Zlib, swfgen::Compression::Lzma}) {
        for (unsigned bits : {0u, 1u, 16u, 31u}) {
            swfgen::HeaderFields fields;
            const int32_t high = bits == 0 ? 0 : int32_t((int64_t(1) << (bits - 1)) - 1);
            fields.rect = swfgen::encodeRect({-high, high, 0, high}, bits);
            inputs.append(swfgen::packFile(compression, 10, fields, Bytes(64, 0)));
        }
    }
    // The start of a few real files of each kind.
    QMap<QString, int> perKind;
    for (const swfcorpus::Entry &entry : swfcorpus::manifest()) {
        if (perKind[entry.signature]++ >= 4)
            continue;
        QFile file(entry.path);
        if (file.open(QIODevice::ReadOnly)) {
            const QByteArray start = file.read(2048);
            inputs.append(Bytes(start.begin(), start.end()));
        }
    }
    return inputs;
}

void mutate(Bytes &bytes, std::mt19937 &random)
{
    const int edits = 1 + int(random() % 4);
    for (int i = 0; i < edits; ++i) {
        const size_t at = bytes.empty() ? 0 : random() % bytes.size();
        switch (random() % 6) {
        case 0: // flip a bit
            if (!bytes.empty())
                bytes[at] ^= uint8_t(1u << (random() % 8));
            break;
        case 1: // set a byte, favouring the edges of ranges
            if (!bytes.empty())
                bytes[at] = uint8_t(
                    std::array<int, 6> {0, 1, 0x7F, 0x80, 0xFF, int(random())}[random() % 6]);
            break;
        case 2: // cut
            bytes.resize(at);
            break;
        case 3: // insert
            bytes.insert(bytes.begin() + long(at), uint8_t(random()));
            break;
        case 4: // erase
            if (!bytes.empty())
                bytes.erase(bytes.begin() + long(at));
            break;
        default: // copy a run over another place
            if (bytes.size() > 8) {
                const size_t from = random() % bytes.size();
                const size_t length
                    = std::min<size_t>(random() % 8, bytes.size() - std::max(from, at));
                std::copy_n(bytes.begin() + long(from), length, bytes.begin() + long(at));
            }
            break;
        }
    }
}

// An uncompressed header read the plain way, for comparison.
bool plainReading(const Bytes &bytes, swfheader::FrameRect &frame, uint16_t &frameCount)
{
    if (bytes.size() < 9 || bytes[0] != 'F' || bytes[1] != 'W' || bytes[2] != 'S')
        return false;
    const unsigned bits = bytes[8] >> 3;
    const size_t end = 8 + (5 + 4 * bits + 7) / 8 + 4;
    if (bytes.size() < end)
        return false;
    size_t bit = 8 * 8 + 5;
    auto field = [&]() {
        int64_t value = 0;
        for (unsigned i = 0; i < bits; ++i, ++bit)
            value = value << 1 | ((bytes[bit / 8] >> (7 - bit % 8)) & 1);
        if (bits > 0 && (value >> (bits - 1)) & 1)
            value -= int64_t(1) << bits;
        return int32_t(value);
    };
    frame.xmin = field();
    frame.xmax = field();
    frame.ymin = field();
    frame.ymax = field();
    frameCount = uint16_t(bytes[end - 2] | bytes[end - 1] << 8);
    return true;
}

} // namespace

class TestSwfHeaderMutation : public QObject
{
    Q_OBJECT

private slots:
    void mutatedHeadersGetAClearAnswer();
};

void TestSwfHeaderMutation::mutatedHeadersGetAClearAnswer()
{
    const int iterations = qEnvironmentVariableIsSet("SWFHEADER_MUTATIONS")
        ? qEnvironmentVariableIntValue("SWFHEADER_MUTATIONS")
        : 100000;
    const unsigned seed = qEnvironmentVariableIsSet("SWFHEADER_SEED")
        ? unsigned(qEnvironmentVariableIntValue("SWFHEADER_SEED"))
        : 20261207u;
    const QVector<Bytes> inputs = seeds();
    QVERIFY(inputs.size() > 12);
    std::mt19937 random(seed);
    int accepted = 0;
    for (int i = 0; i < iterations; ++i) {
        Bytes bytes = inputs[int(random() % unsigned(inputs.size()))];
        mutate(bytes, random);
        const swfheader::Result result
            = swfheader::readHeaderFromMemory(bytes.data(), bytes.size());
        const QByteArray where
            = "iteration " + QByteArray::number(i) + ", seed " + QByteArray::number(seed);
        if (!result.ok()) {
            QVERIFY2(!result.detail.empty(), where);
            continue;
        }
        ++accepted;
        QVERIFY2(result.header.rectBits <= 31 && result.detail.empty(), where);
        swfheader::FrameRect frame;
        uint16_t frameCount = 0;
        if (plainReading(bytes, frame, frameCount)) {
            QVERIFY2(result.header.frame.xmin == frame.xmin
                         && result.header.frame.xmax == frame.xmax
                         && result.header.frame.ymin == frame.ymin
                         && result.header.frame.ymax == frame.ymax
                         && result.header.frameCount == frameCount,
                     where);
        }
    }
    // Mutations mostly leave a readable header; all of them failing would
    // mean the test no longer reaches the parser.
    QVERIFY(accepted > iterations / 10);
}

QTEST_GUILESS_MAIN(TestSwfHeaderMutation)
#include "tst_swfheader_mutation.moc"

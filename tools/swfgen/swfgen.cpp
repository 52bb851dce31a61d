#include "swfgen.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <lzma.h>
#include <stdexcept>
#include <string>
#include <zlib.h>

namespace swfgen {

namespace {

enum TagCode : uint16_t {
    kEnd = 0,
    kShowFrame = 1,
    kDefineShape = 2,
    kSetBackgroundColor = 9,
    kDoAction = 12,
    kPlaceObject2 = 26,
    kRemoveObject2 = 28,
    kFileAttributes = 69,
    kDefineBinaryData = 87,
};

// Field widths of shape edges: a 4-bit count of (bits - 2).
constexpr unsigned kMaxEdgeBits = 17;
constexpr int32_t kMaxEdgeDelta = (1 << (kMaxEdgeBits - 1)) - 1;

// Above this size the writer favours speed over ratio: large inputs are
// padding of random bytes, which no setting would shrink.
constexpr size_t kLargeInput = 4 * 1024 * 1024;

void appendU16(Bytes &out, uint16_t value)
{
    out.push_back(uint8_t(value));
    out.push_back(uint8_t(value >> 8));
}

void appendU32(Bytes &out, uint32_t value)
{
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(uint8_t(value >> shift));
}

void appendBytes(Bytes &out, const Bytes &more)
{
    out.insert(out.end(), more.begin(), more.end());
}

void appendRgb(Bytes &out, Rgb colour)
{
    out.push_back(colour.r);
    out.push_back(colour.g);
    out.push_back(colour.b);
}

// Edge records of one filled outline, drawn in a single fill style.
class ShapeOutline
{
public:
    explicit ShapeOutline(int32_t startX, int32_t startY)
        : m_x(startX)
        , m_y(startY)
    {
        m_bits.writeUnsigned(1, 4); // fill style index bits
        m_bits.writeUnsigned(0, 4); // line style index bits
        // Style change: move to the start and select fill style 1. Outlines
        // run clockwise on screen, which puts the inside on fill style 1's side.
        m_bits.writeUnsigned(0b000101, 6);
        const unsigned moveBits = std::max(signedBitsFor(startX), signedBitsFor(startY));
        m_bits.writeUnsigned(moveBits, 5);
        m_bits.writeSigned(startX, moveBits);
        m_bits.writeSigned(startY, moveBits);
        m_bits.writeUnsigned(1, 1);
    }

    void lineTo(int32_t x, int32_t y)
    {
        // Long edges are split: a delta holds at most 17 bits.
        const int64_t dx = int64_t(x) - m_x;
        const int64_t dy = int64_t(y) - m_y;
        const int64_t pieces = std::max<int64_t>(
            1, (std::max(std::llabs(dx), std::llabs(dy)) + kMaxEdgeDelta - 1) / kMaxEdgeDelta);
        const int32_t fromX = m_x;
        const int32_t fromY = m_y;
        for (int64_t i = 1; i <= pieces; ++i)
            straightEdge(int32_t(fromX + dx * i / pieces), int32_t(fromY + dy * i / pieces));
    }

    // Quadratic curve; the caller keeps its deltas within 17 bits.
    void curveTo(int32_t controlX, int32_t controlY, int32_t anchorX, int32_t anchorY)
    {
        const int32_t cdx = controlX - m_x;
        const int32_t cdy = controlY - m_y;
        const int32_t adx = anchorX - controlX;
        const int32_t ady = anchorY - controlY;
        const unsigned bits = std::max(
            {2u, signedBitsFor(cdx), signedBitsFor(cdy), signedBitsFor(adx), signedBitsFor(ady)});
        m_bits.writeUnsigned(0b10, 2);
        m_bits.writeUnsigned(bits - 2, 4);
        m_bits.writeSigned(cdx, bits);
        m_bits.writeSigned(cdy, bits);
        m_bits.writeSigned(adx, bits);
        m_bits.writeSigned(ady, bits);
        m_x = anchorX;
        m_y = anchorY;
    }

    Bytes finish()
    {
        m_bits.writeUnsigned(0, 6); // end of shape
        m_bits.align();
        return m_bits.bytes();
    }

private:
    void straightEdge(int32_t x, int32_t y)
    {
        const int32_t dx = x - m_x;
        const int32_t dy = y - m_y;
        const unsigned bits = std::max({2u, signedBitsFor(dx), signedBitsFor(dy)});
        m_bits.writeUnsigned(0b11, 2);
        m_bits.writeUnsigned(bits - 2, 4);
        m_bits.writeUnsigned(1, 1); // general line: both deltas present
        m_bits.writeSigned(dx, bits);
        m_bits.writeSigned(dy, bits);
        m_x = x;
        m_y = y;
    }

    BitWriter m_bits;
    int32_t m_x;
    int32_t m_y;
};

Bytes defineShapePayload(uint16_t id, const TwipsRect &bounds, Rgb colour, const Bytes &outline)
{
    Bytes payload;
    appendU16(payload, id);
    appendBytes(payload, encodeRect(bounds));
    payload.push_back(1); // one fill style
    payload.push_back(0x00); // solid
    appendRgb(payload, colour);
    payload.push_back(0); // no line styles
    appendBytes(payload, outline);
    return payload;
}

Bytes translateMatrix(int32_t x, int32_t y)
{
    BitWriter bits;
    bits.writeUnsigned(0, 1); // no scale
    bits.writeUnsigned(0, 1); // no rotation
    const unsigned translateBits
        = (x == 0 && y == 0) ? 0 : std::max(signedBitsFor(x), signedBitsFor(y));
    bits.writeUnsigned(translateBits, 5);
    if (translateBits > 0) {
        bits.writeSigned(x, translateBits);
        bits.writeSigned(y, translateBits);
    }
    bits.align();
    return bits.bytes();
}

} // namespace

int32_t pixelsToTwips(double pixels)
{
    return int32_t(std::lround(pixels * 20.0));
}

unsigned signedBitsFor(int64_t value)
{
    uint64_t magnitude = value < 0 ? uint64_t(~value) : uint64_t(value);
    unsigned bits = 1; // sign
    while (magnitude != 0) {
        ++bits;
        magnitude >>= 1;
    }
    return bits;
}

unsigned rectBitsFor(const TwipsRect &rect)
{
    if (rect.xmin == 0 && rect.xmax == 0 && rect.ymin == 0 && rect.ymax == 0)
        return 0;
    return std::max({signedBitsFor(rect.xmin), signedBitsFor(rect.xmax), signedBitsFor(rect.ymin),
                     signedBitsFor(rect.ymax)});
}

bool parseRgb(const std::string &text, Rgb &colour)
{
    const std::string hex = !text.empty() && text[0] == '#' ? text.substr(1) : text;
    if (hex.size() != 6 || hex.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
        return false;
    const unsigned long value = std::strtoul(hex.c_str(), nullptr, 16);
    colour = {uint8_t(value >> 16), uint8_t(value >> 8), uint8_t(value)};
    return true;
}

void BitWriter::writeUnsigned(uint32_t value, unsigned bits)
{
    for (unsigned i = bits; i-- > 0;) {
        if (m_bitsUsed == 8) {
            m_bytes.push_back(0);
            m_bitsUsed = 0;
        }
        if ((value >> i) & 1u)
            m_bytes.back() |= uint8_t(0x80u >> m_bitsUsed);
        ++m_bitsUsed;
    }
}

void BitWriter::writeSigned(int32_t value, unsigned bits)
{
    writeUnsigned(uint32_t(value) & (bits >= 32 ? ~0u : (1u << bits) - 1), bits);
}

void BitWriter::align()
{
    m_bitsUsed = 8;
}

Bytes encodeRect(const TwipsRect &rect, unsigned bits)
{
    if (bits > 31)
        throw std::invalid_argument("RECT fields hold at most 31 bits");
    BitWriter writer;
    writer.writeUnsigned(bits, 5);
    for (int32_t value : {rect.xmin, rect.xmax, rect.ymin, rect.ymax})
        writer.writeSigned(value, bits);
    writer.align();
    return writer.bytes();
}

Bytes encodeRect(const TwipsRect &rect)
{
    return encodeRect(rect, rectBitsFor(rect));
}

uint16_t frameRateToFixed(double framesPerSecond)
{
    const long fixed = std::lround(framesPerSecond * 256.0);
    return uint16_t(std::clamp(fixed, 0L, 0xFFFFL));
}

void appendTag(Bytes &out, uint16_t code, const Bytes &payload)
{
    if (payload.size() < 0x3F) {
        appendU16(out, uint16_t(code << 6 | payload.size()));
    } else {
        appendU16(out, uint16_t(code << 6 | 0x3F));
        appendU32(out, uint32_t(payload.size()));
    }
    appendBytes(out, payload);
}

Bytes compressZlib(const Bytes &input)
{
    const int level = input.size() > kLargeInput ? Z_NO_COMPRESSION : Z_BEST_COMPRESSION;
    uLongf size = compressBound(uLong(input.size()));
    Bytes out(size);
    if (compress2(out.data(), &size, input.data(), uLong(input.size()), level) != Z_OK)
        throw std::runtime_error("zlib compression failed");
    out.resize(size);
    return out;
}

LzmaData compressLzma(const Bytes &input)
{
    lzma_options_lzma options;
    lzma_lzma_preset(&options, input.size() > kLargeInput ? 0 : 6);
    if (input.size() > kLargeInput) {
        options.mode = LZMA_MODE_FAST;
        options.mf = LZMA_MF_HC3;
        options.nice_len = 8;
        options.depth = 1;
    }
    // A window no larger than the data keeps the player's decoder small.
    options.dict_size = std::clamp<uint32_t>(uint32_t(std::min<size_t>(input.size(), 1u << 30)),
                                             LZMA_DICT_SIZE_MIN, options.dict_size);
    lzma_filter filters[2] = {{LZMA_FILTER_LZMA1, &options}, {LZMA_VLI_UNKNOWN, nullptr}};

    LzmaData result;
    if (lzma_properties_encode(&filters[0], result.properties) != LZMA_OK)
        throw std::runtime_error("cannot encode LZMA properties");

    lzma_stream stream = LZMA_STREAM_INIT;
    if (lzma_raw_encoder(&stream, filters) != LZMA_OK)
        throw std::runtime_error("cannot start the LZMA encoder");
    result.data.resize(input.size() + input.size() / 16 + 4096);
    stream.next_in = input.data();
    stream.avail_in = input.size();
    stream.next_out = result.data.data();
    stream.avail_out = result.data.size();
    lzma_ret rc;
    while ((rc = lzma_code(&stream, LZMA_FINISH)) == LZMA_OK) {
        if (stream.avail_out == 0) {
            const size_t used = result.data.size();
            result.data.resize(used * 2);
            stream.next_out = result.data.data() + used;
            stream.avail_out = result.data.size() - used;
        }
    }
    const size_t written = size_t(stream.total_out);
    lzma_end(&stream);
    if (rc != LZMA_STREAM_END)
        throw std::runtime_error("LZMA compression failed");
    result.data.resize(written);
    return result;
}

Bytes packFile(Compression compression, uint8_t version, const HeaderFields &fields,
               const Bytes &tags)
{
    Bytes body = fields.rect;
    appendU16(body, fields.frameRateFixed);
    appendU16(body, fields.frameCount);
    appendBytes(body, tags);

    const char *signature = compression == Compression::Zlib ? "CWS"
        : compression == Compression::Lzma                   ? "ZWS"
                                                             : "FWS";
    Bytes file(signature, signature + 3);
    file.push_back(version);
    appendU32(file, uint32_t(8 + body.size()));
    switch (compression) {
    case Compression::None:
        appendBytes(file, body);
        break;
    case Compression::Zlib:
        appendBytes(file, compressZlib(body));
        break;
    case Compression::Lzma: {
        const LzmaData lzma = compressLzma(body);
        appendU32(file, uint32_t(lzma.data.size())); // excludes the properties
        file.insert(file.end(), lzma.properties, lzma.properties + 5);
        appendBytes(file, lzma.data);
        break;
    }
    }
    return file;
}

Movie::Movie(double widthPixels, double heightPixels, double framesPerSecond, uint8_t version)
    : m_stage {0, pixelsToTwips(widthPixels), 0, pixelsToTwips(heightPixels)}
    , m_frameRateFixed(frameRateToFixed(framesPerSecond))
    , m_version(version)
{
    // From version 8 on, players expect this tag first; all flags off keeps
    // the movie on the AVM1 path with local file access.
    if (m_version >= 8)
        addTag(kFileAttributes, Bytes(4, 0));
}

void Movie::setStageOrigin(int32_t xTwips, int32_t yTwips)
{
    m_stage = {xTwips, xTwips + widthTwips(), yTwips, yTwips + heightTwips()};
}

void Movie::setBackground(Rgb colour)
{
    Bytes payload;
    appendRgb(payload, colour);
    addTag(kSetBackgroundColor, payload);
}

uint16_t Movie::defineRectangle(int32_t widthTwips, int32_t heightTwips, Rgb colour)
{
    ShapeOutline outline(0, 0);
    outline.lineTo(widthTwips, 0);
    outline.lineTo(widthTwips, heightTwips);
    outline.lineTo(0, heightTwips);
    outline.lineTo(0, 0);
    const uint16_t id = nextCharacterId();
    addTag(kDefineShape,
           defineShapePayload(id, {0, widthTwips, 0, heightTwips}, colour, outline.finish()));
    return id;
}

uint16_t Movie::defineCircle(int32_t radiusTwips, Rgb colour)
{
    // Eight quadratic arcs of 45 degrees; each control point sits where the
    // tangents at both ends meet.
    constexpr int kArcs = 8;
    const double step = 2.0 * std::acos(-1.0) / kArcs;
    const double controlRadius = radiusTwips / std::cos(step / 2.0);
    ShapeOutline outline(radiusTwips, 0);
    for (int i = 0; i < kArcs; ++i) {
        const double middle = (i + 0.5) * step;
        const double end = (i + 1) * step;
        outline.curveTo(int32_t(std::lround(controlRadius * std::cos(middle))),
                        int32_t(std::lround(controlRadius * std::sin(middle))),
                        int32_t(std::lround(radiusTwips * std::cos(end))),
                        int32_t(std::lround(radiusTwips * std::sin(end))));
    }
    const uint16_t id = nextCharacterId();
    const int32_t r = radiusTwips + 1;
    addTag(kDefineShape, defineShapePayload(id, {-r, r, -r, r}, colour, outline.finish()));
    return id;
}

void Movie::place(uint16_t characterId, uint16_t depth, int32_t xTwips, int32_t yTwips)
{
    Bytes payload {0x06}; // has matrix, has character
    appendU16(payload, depth);
    appendU16(payload, characterId);
    appendBytes(payload, translateMatrix(xTwips, yTwips));
    addTag(kPlaceObject2, payload);
}

void Movie::move(uint16_t depth, int32_t xTwips, int32_t yTwips)
{
    Bytes payload {0x05}; // has matrix, move
    appendU16(payload, depth);
    appendBytes(payload, translateMatrix(xTwips, yTwips));
    addTag(kPlaceObject2, payload);
}

void Movie::remove(uint16_t depth)
{
    Bytes payload;
    appendU16(payload, depth);
    addTag(kRemoveObject2, payload);
}

void Movie::doAction(const Bytes &actions)
{
    addTag(kDoAction, actions);
}

void Movie::scriptLimits(uint16_t maxRecursionDepth, uint16_t timeoutSeconds)
{
    addTag(65,
           {uint8_t(maxRecursionDepth), uint8_t(maxRecursionDepth >> 8), uint8_t(timeoutSeconds),
            uint8_t(timeoutSeconds >> 8)});
}

void Movie::pad(size_t bytes)
{
    Bytes payload;
    payload.reserve(bytes + 6);
    appendU16(payload, nextCharacterId());
    appendU32(payload, 0); // reserved
    uint64_t state = 0x9E3779B97F4A7C15ull; // xorshift64: fast and repeatable
    while (payload.size() < bytes + 6) {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        for (int shift = 0; shift < 64 && payload.size() < bytes + 6; shift += 8)
            payload.push_back(uint8_t(state >> shift));
    }
    addTag(kDefineBinaryData, payload);
}

void Movie::showFrame()
{
    addTag(kShowFrame, {});
    ++m_frames;
}

Bytes Movie::build(Compression compression) const
{
    HeaderFields fields;
    if (m_rectBits >= 0 && unsigned(m_rectBits) < rectBitsFor(m_stage))
        throw std::invalid_argument("the stage does not fit in " + std::to_string(m_rectBits)
                                    + "-bit fields");
    fields.rect = m_rectBits >= 0 ? encodeRect(m_stage, unsigned(m_rectBits)) : encodeRect(m_stage);
    fields.frameRateFixed = m_frameRateFixed;
    fields.frameCount = m_declaredFrames >= 0 ? uint16_t(m_declaredFrames) : m_frames;
    Bytes tags = m_tags;
    appendTag(tags, kEnd, {});
    return packFile(compression, m_version, fields, tags);
}

} // namespace swfgen

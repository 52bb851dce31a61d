#pragma once

// A small SWF writer: enough tags to build simple vector movies (solid
// rectangles and circles placed and moved frame by frame, AVM1 actions,
// padding), packed as FWS, CWS (zlib) or ZWS (raw LZMA1).

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace swfgen {

using Bytes = std::vector<uint8_t>;

enum class Compression { None, Zlib, Lzma };

struct Rgb
{
    uint8_t r = 0;
    uint8_t g = 0;
    uint8_t b = 0;
};

struct TwipsRect
{
    int32_t xmin = 0;
    int32_t xmax = 0;
    int32_t ymin = 0;
    int32_t ymax = 0;
};

// Largest magnitude a 31-bit signed RECT field holds.
constexpr int32_t kMaxRectTwips = (1 << 30) - 1;

int32_t pixelsToTwips(double pixels);
// Bits a signed field needs to hold `value` (at least 1).
unsigned signedBitsFor(int64_t value);
// Smallest field width for all four values; 0 when all are zero.
unsigned rectBitsFor(const TwipsRect &rect);
// Parses "RRGGBB" or "#RRGGBB".
bool parseRgb(const std::string &text, Rgb &colour);

class BitWriter
{
public:
    void writeUnsigned(uint32_t value, unsigned bits);
    void writeSigned(int32_t value, unsigned bits);
    // Pads the last byte with zero bits.
    void align();
    const Bytes &bytes() const { return m_bytes; }

private:
    Bytes m_bytes;
    unsigned m_bitsUsed = 8; // in the last byte
};

// RECT with an explicit field width (0 to 31); the values must fit in it.
Bytes encodeRect(const TwipsRect &rect, unsigned bits);
Bytes encodeRect(const TwipsRect &rect);

// Stage-size header fields, the part of the file that follows the 8-byte
// signature and length, before the tags.
struct HeaderFields
{
    Bytes rect; // already encoded
    uint16_t frameRateFixed = 24 << 8; // 8.8
    uint16_t frameCount = 1;
};

uint16_t frameRateToFixed(double framesPerSecond);
void appendTag(Bytes &out, uint16_t code, const Bytes &payload);

// Builds a whole file: signature, version, total uncompressed length, then the
// header fields and tags, compressed as asked.
Bytes packFile(Compression compression, uint8_t version, const HeaderFields &fields,
               const Bytes &tags);

// Raw LZMA1 data and its 5 properties bytes, as a ZWS file stores them.
struct LzmaData
{
    uint8_t properties[5] = {};
    Bytes data;
};
LzmaData compressLzma(const Bytes &input);
Bytes compressZlib(const Bytes &input);

// A movie built tag by tag; frames end with showFrame().
class Movie
{
public:
    Movie(double widthPixels, double heightPixels, double framesPerSecond, uint8_t version = 10);

    void setBackground(Rgb colour);
    // Shapes are drawn with their origin at (0, 0); place() moves them.
    uint16_t defineRectangle(int32_t widthTwips, int32_t heightTwips, Rgb colour);
    uint16_t defineCircle(int32_t radiusTwips, Rgb colour);
    void place(uint16_t characterId, uint16_t depth, int32_t xTwips, int32_t yTwips);
    void move(uint16_t depth, int32_t xTwips, int32_t yTwips);
    void remove(uint16_t depth);
    void doAction(const Bytes &actions);
    // The ScriptLimits tag: how deep AVM1 calls may nest, how long a script may run.
    void scriptLimits(uint16_t maxRecursionDepth, uint16_t timeoutSeconds);
    // Harmless filler: a DefineBinaryData tag of pseudo-random bytes, which
    // neither zlib nor LZMA can shrink, so the file really is that large.
    void pad(size_t bytes);
    void showFrame();

    int32_t widthTwips() const { return m_stage.xmax - m_stage.xmin; }
    int32_t heightTwips() const { return m_stage.ymax - m_stage.ymin; }
    // Moves the stage rectangle's origin, keeping its size (odd headers for tests).
    void setStageOrigin(int32_t xTwips, int32_t yTwips);
    // Writes the stage rectangle with fields of this width (0 to 31) instead
    // of the smallest that fits; build() throws if the values do not fit.
    void setRectBits(unsigned bits) { m_rectBits = int(bits); }
    uint16_t frameCount() const { return m_frames; }
    // Overrides the frame count written in the header.
    void setDeclaredFrameCount(uint16_t frames) { m_declaredFrames = int(frames); }

    Bytes build(Compression compression) const;

private:
    uint16_t nextCharacterId() { return m_nextId++; }
    void addTag(uint16_t code, const Bytes &payload) { appendTag(m_tags, code, payload); }

    TwipsRect m_stage;
    uint16_t m_frameRateFixed;
    uint8_t m_version;
    Bytes m_tags;
    uint16_t m_nextId = 1;
    uint16_t m_frames = 0;
    int m_declaredFrames = -1;
    int m_rectBits = -1;
};

} // namespace swfgen

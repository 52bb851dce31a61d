#pragma once

// Reads the fixed part of a SWF file: signature, version, declared length,
// frame rectangle, frame rate and frame count. Only the few bytes the header
// needs are read and decompressed, so the cost does not grow with the file.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace swfheader {

enum class Compression { None, Zlib, Lzma };

enum class Error {
    None,
    Unreadable, // missing, not a regular file, no permission, read error
    Empty,
    NotSwf, // no FWS/CWS/ZWS signature
    Truncated, // the data ends inside the header
    CorruptData, // the compressed data cannot be decoded
};

struct FrameRect
{
    int32_t xmin = 0;
    int32_t xmax = 0;
    int32_t ymin = 0;
    int32_t ymax = 0;
};

struct Header
{
    Compression compression = Compression::None;
    uint8_t version = 0;
    uint32_t declaredFileLength = 0; // as stored; real files often disagree with it
    unsigned rectBits = 0;
    FrameRect frame; // twips, signed
    uint16_t frameRateFixed = 0; // 8.8 fixed point
    uint16_t frameCount = 0;

    int64_t widthTwips() const { return int64_t(frame.xmax) - frame.xmin; }
    int64_t heightTwips() const { return int64_t(frame.ymax) - frame.ymin; }
    // Whole pixels, truncated toward zero (C++ integer division does exactly that).
    int64_t widthPixels() const { return widthTwips() / 20; }
    int64_t heightPixels() const { return heightTwips() / 20; }
    double frameRate() const { return frameRateFixed / 256.0; }
};

struct Result
{
    Error error = Error::None;
    std::string detail; // human-readable reason when error != None
    Header header;

    bool ok() const { return error == Error::None; }
};

// Fills up to `capacity` bytes; returns the count read, 0 at the end of the
// data, or a negative value on a read error.
using ByteReader = std::function<long(uint8_t *buffer, size_t capacity)>;

// Largest uncompressed header body: a 5-bit count, four 31-bit fields, padding,
// then the 16-bit frame rate and frame count.
constexpr size_t kMaxHeaderBodyBytes = 17 + 4;

// Compressed input read while looking for the header before giving up: real
// encoders emit the first 21 bytes within a few dozen input bytes.
constexpr size_t kMaxCompressedInput = 64 * 1024;

Result readHeader(const ByteReader &reader);
Result readHeaderFromMemory(const uint8_t *data, size_t size);
// `path` is UTF-8; it is never given to a shell.
Result readHeaderFromFile(const std::string &path);

const char *compressionSignature(Compression compression);

// The length of a movie once inflated, counted as the body is decoded and
// dropped (nothing is kept), and never past `limit`: the count stops at
// limit + 1, so a movie that lies about its length costs no more than that.
// An uncompressed movie's length is its size. The header's own declared
// length is in `declared`.
struct InflatedLength
{
    Error error = Error::None;
    std::string detail;
    uint64_t declared = 0;
    uint64_t actual = 0;

    bool ok() const { return error == Error::None; }
    bool within(uint64_t limit) const { return ok() && declared <= limit && actual <= limit; }
};
InflatedLength measureInflatedLength(const ByteReader &reader, uint64_t limit);
InflatedLength measureInflatedLengthInMemory(const uint8_t *data, size_t size, uint64_t limit);

} // namespace swfheader

#include "swfheader.h"
#include "swfbits.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <lzma.h>
#include <memory>
#include <system_error>
#include <vector>
#include <zlib.h>

namespace swfheader {

namespace {

constexpr size_t kSignatureBytes = 8;
constexpr size_t kLzmaPropsBytes = 5;
constexpr size_t kLzmaPrefixBytes = 4 + kLzmaPropsBytes;
constexpr size_t kInputChunk = 512;

Result failure(Error error, std::string detail)
{
    Result result;
    result.error = error;
    result.detail = std::move(detail);
    return result;
}

Result truncated()
{
    return failure(Error::Truncated, "the file ends inside the SWF header");
}

Result corrupt(const char *what)
{
    return failure(Error::CorruptData,
                   std::string("the compressed data is corrupt (") + what + ")");
}

// Reads until `size` bytes are in or the data ends; returns the count, or -1.
long readFully(const ByteReader &reader, uint8_t *buffer, size_t size)
{
    size_t done = 0;
    while (done < size) {
        const long n = reader(buffer + done, size - done);
        if (n < 0)
            return -1;
        if (n == 0)
            break;
        done += size_t(n);
    }
    return long(done);
}

bool startsLikeSignature(const uint8_t *bytes, size_t size)
{
    static const char *const kSignatures[] = {"FWS", "CWS", "ZWS"};
    for (const char *signature : kSignatures) {
        if (std::memcmp(bytes, signature, std::min<size_t>(size, 3)) == 0)
            return true;
    }
    return false;
}

uint32_t littleEndian32(const uint8_t *bytes)
{
    return uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16
        | uint32_t(bytes[3]) << 24;
}

size_t headerBodyBytesFor(unsigned rectBits)
{
    return (5 + 4 * rectBits + 7) / 8 + 4;
}

// Parses the rectangle, frame rate and frame count from the start of the body.
Result parseBody(const std::vector<uint8_t> &body, Header header)
{
    if (body.empty())
        return truncated();
    header.rectBits = body[0] >> 3;
    const size_t needed = headerBodyBytesFor(header.rectBits);
    if (body.size() < needed)
        return truncated();

    BitReader bits(body);
    bits.readUnsigned(5);
    header.frame.xmin = bits.readSigned(header.rectBits);
    header.frame.xmax = bits.readSigned(header.rectBits);
    header.frame.ymin = bits.readSigned(header.rectBits);
    header.frame.ymax = bits.readSigned(header.rectBits);

    const uint8_t *tail = body.data() + needed - 4;
    header.frameRateFixed = uint16_t(tail[0] | tail[1] << 8);
    header.frameCount = uint16_t(tail[2] | tail[3] << 8);

    Result result;
    result.header = header;
    return result;
}

// The body after the 8-byte signature, as it is stored.
Result readPlainBody(const ByteReader &reader, std::vector<uint8_t> &body)
{
    body.resize(kMaxHeaderBodyBytes);
    const long n = readFully(reader, body.data(), body.size());
    if (n < 0)
        return failure(Error::Unreadable, "cannot read the file");
    body.resize(size_t(n));
    return {};
}

// Feeds compressed chunks to `step` until it has produced the header body,
// the stream ends, the input ends, or the input budget is spent.
// `step` returns false to stop (it sets `status` on failure).
template<typename Step> Result pumpCompressed(const ByteReader &reader, Step step)
{
    uint8_t chunk[kInputChunk];
    size_t consumed = 0;
    while (consumed < kMaxCompressedInput) {
        const long n = reader(chunk, sizeof chunk);
        if (n < 0)
            return failure(Error::Unreadable, "cannot read the file");
        if (n == 0)
            return {}; // input ended: whatever was decoded decides
        consumed += size_t(n);
        Result status;
        if (!step(chunk, size_t(n), status))
            return status;
    }
    return corrupt("no header in the first compressed bytes");
}

Result inflateBody(const ByteReader &reader, std::vector<uint8_t> &body)
{
    z_stream stream {};
    if (inflateInit(&stream) != Z_OK)
        return failure(Error::CorruptData, "cannot start the zlib decoder");
    body.resize(kMaxHeaderBodyBytes);
    stream.next_out = body.data();
    stream.avail_out = uInt(body.size());

    Result result = pumpCompressed(reader, [&](uint8_t *input, size_t size, Result &status) {
        stream.next_in = input;
        stream.avail_in = uInt(size);
        while (stream.avail_in > 0 && stream.avail_out > 0) {
            const int rc = inflate(&stream, Z_NO_FLUSH);
            if (rc == Z_STREAM_END || rc == Z_BUF_ERROR)
                return false;
            if (rc != Z_OK) {
                status = corrupt(stream.msg ? stream.msg : "zlib error");
                return false;
            }
        }
        return stream.avail_out > 0;
    });
    body.resize(body.size() - stream.avail_out);
    inflateEnd(&stream);
    return result;
}

Result lzmaBody(const ByteReader &reader, std::vector<uint8_t> &body)
{
    // 4-byte compressed length (unused), then the 5 LZMA properties bytes.
    uint8_t prefix[kLzmaPrefixBytes];
    const long n = readFully(reader, prefix, sizeof prefix);
    if (n < 0)
        return failure(Error::Unreadable, "cannot read the file");
    if (size_t(n) < sizeof prefix)
        return truncated();

    lzma_filter filters[2] = {{LZMA_FILTER_LZMA1, nullptr}, {LZMA_VLI_UNKNOWN, nullptr}};
    if (lzma_properties_decode(&filters[0], nullptr, prefix + 4, kLzmaPropsBytes) != LZMA_OK)
        return corrupt("bad LZMA properties");
    // Only the first bytes are decoded, so a small window suffices; this also
    // keeps a hostile dictionary size from reserving gigabytes.
    auto *options = static_cast<lzma_options_lzma *>(filters[0].options);
    options->dict_size = LZMA_DICT_SIZE_MIN;

    lzma_stream stream = LZMA_STREAM_INIT;
    const lzma_ret init = lzma_raw_decoder(&stream, filters);
    free(filters[0].options);
    if (init != LZMA_OK)
        return corrupt("cannot start the LZMA decoder");

    body.resize(kMaxHeaderBodyBytes);
    stream.next_out = body.data();
    stream.avail_out = body.size();
    Result result = pumpCompressed(reader, [&](uint8_t *input, size_t size, Result &status) {
        stream.next_in = input;
        stream.avail_in = size;
        while (stream.avail_in > 0 && stream.avail_out > 0) {
            const lzma_ret rc = lzma_code(&stream, LZMA_RUN);
            if (rc == LZMA_STREAM_END)
                return false;
            if (rc != LZMA_OK) {
                status = corrupt("LZMA data error");
                return false;
            }
        }
        return stream.avail_out > 0;
    });
    body.resize(body.size() - stream.avail_out);
    lzma_end(&stream);
    return result;
}

} // namespace

const char *compressionSignature(Compression compression)
{
    switch (compression) {
    case Compression::Zlib:
        return "CWS";
    case Compression::Lzma:
        return "ZWS";
    case Compression::None:
        break;
    }
    return "FWS";
}

Result readHeader(const ByteReader &reader)
{
    uint8_t start[kSignatureBytes];
    const long n = readFully(reader, start, sizeof start);
    if (n < 0)
        return failure(Error::Unreadable, "cannot read the file");
    if (n == 0)
        return failure(Error::Empty, "the file is empty");
    if (!startsLikeSignature(start, size_t(n)))
        return failure(Error::NotSwf, "not a SWF file (no FWS, CWS or ZWS signature)");
    if (size_t(n) < sizeof start)
        return truncated();

    Header header;
    header.compression = start[0] == 'C' ? Compression::Zlib
        : start[0] == 'Z'                ? Compression::Lzma
                                         : Compression::None;
    header.version = start[3];
    header.declaredFileLength = littleEndian32(start + 4);

    std::vector<uint8_t> body;
    Result read;
    switch (header.compression) {
    case Compression::None:
        read = readPlainBody(reader, body);
        break;
    case Compression::Zlib:
        read = inflateBody(reader, body);
        break;
    case Compression::Lzma:
        read = lzmaBody(reader, body);
        break;
    }
    if (!read.ok())
        return read;
    return parseBody(body, header);
}

namespace {

ByteReader memoryReader(const uint8_t *data, size_t size)
{
    auto offset = std::make_shared<size_t>(0);
    return [data, size, offset](uint8_t *buffer, size_t capacity) {
        const size_t n = std::min(capacity, size - *offset);
        if (n > 0)
            std::memcpy(buffer, data + *offset, n);
        *offset += n;
        return long(n);
    };
}

constexpr size_t kCountingChunk = 64 * 1024;

// Feeds the rest of the input to `decode`, which returns the bytes it
// produced or -1 when the data is corrupt, until the input ends, the
// decoder says the stream ended (`ended`) or the count passes the limit.
template<typename Decode>
InflatedLength countDecoded(const ByteReader &reader, uint64_t limit, InflatedLength length,
                            Decode decode)
{
    std::vector<uint8_t> input(kCountingChunk);
    bool ended = false;
    while (!ended && length.actual <= limit) {
        const long n = reader(input.data(), input.size());
        if (n < 0) {
            length.error = Error::Unreadable;
            length.detail = "cannot read the file";
            return length;
        }
        if (n == 0)
            break;
        const long long produced = decode(input.data(), size_t(n), ended, limit - length.actual);
        if (produced < 0) {
            length.error = Error::CorruptData;
            length.detail = "the compressed data is corrupt";
            return length;
        }
        length.actual += uint64_t(produced);
    }
    return length;
}

enum class DecodeStep { More, Ended, Stuck, Corrupt };

// Decodes one chunk of input (zlib's and liblzma's streams have the same
// fields) into a scratch buffer that is overwritten each round: returns the
// bytes produced, or -1 on corrupt data. Stops early once past `room`.
template<typename Stream, typename Step>
long long decodeChunk(Stream &stream, std::vector<uint8_t> &output, uint8_t *in, size_t size,
                      bool &ended, uint64_t room, Step step)
{
    stream.next_in = in;
    stream.avail_in = decltype(stream.avail_in)(size);
    long long produced = 0;
    while (!ended && uint64_t(produced) <= room && (stream.avail_in > 0 || stream.avail_out == 0)) {
        stream.next_out = output.data();
        stream.avail_out = decltype(stream.avail_out)(output.size());
        const DecodeStep result = step();
        produced += output.size() - stream.avail_out;
        if (result == DecodeStep::Ended)
            ended = true;
        else if (result == DecodeStep::Stuck)
            break;
        else if (result == DecodeStep::Corrupt)
            return -1;
    }
    return produced;
}

InflatedLength countZlib(const ByteReader &reader, uint64_t limit, InflatedLength length)
{
    z_stream stream {};
    if (inflateInit(&stream) != Z_OK) {
        length.error = Error::CorruptData;
        return length;
    }
    std::vector<uint8_t> output(kCountingChunk);
    length = countDecoded(reader, limit, length,
                          [&](uint8_t *in, size_t size, bool &ended, uint64_t room) {
                              return decodeChunk(stream, output, in, size, ended, room, [&stream] {
                                  const int rc = inflate(&stream, Z_NO_FLUSH);
                                  return rc == Z_STREAM_END ? DecodeStep::Ended
                                      : rc == Z_BUF_ERROR   ? DecodeStep::Stuck
                                      : rc == Z_OK          ? DecodeStep::More
                                                            : DecodeStep::Corrupt;
                              });
                          });
    inflateEnd(&stream);
    return length;
}

InflatedLength countLzma(const ByteReader &reader, uint64_t limit, InflatedLength length)
{
    uint8_t prefix[kLzmaPrefixBytes];
    lzma_filter filters[2] = {{LZMA_FILTER_LZMA1, nullptr}, {LZMA_VLI_UNKNOWN, nullptr}};
    if (readFully(reader, prefix, sizeof prefix) != long(sizeof prefix)
        || lzma_properties_decode(&filters[0], nullptr, prefix + 4, kLzmaPropsBytes) != LZMA_OK) {
        length.error = Error::CorruptData;
        length.detail = "bad LZMA properties";
        return length;
    }
    // No match reaches further back than the output the count allows: a
    // hostile dictionary size reserves no more than that.
    auto *options = static_cast<lzma_options_lzma *>(filters[0].options);
    options->dict_size = uint32_t(std::clamp<uint64_t>(options->dict_size, LZMA_DICT_SIZE_MIN,
                                                       std::min<uint64_t>(limit + 1, UINT32_MAX)));
    lzma_stream stream = LZMA_STREAM_INIT;
    const lzma_ret init = lzma_raw_decoder(&stream, filters);
    free(filters[0].options);
    if (init != LZMA_OK) {
        length.error = Error::CorruptData;
        return length;
    }
    std::vector<uint8_t> output(kCountingChunk);
    length = countDecoded(reader, limit, length,
                          [&](uint8_t *in, size_t size, bool &ended, uint64_t room) {
                              return decodeChunk(stream, output, in, size, ended, room, [&stream] {
                                  const lzma_ret rc = lzma_code(&stream, LZMA_RUN);
                                  return rc == LZMA_STREAM_END ? DecodeStep::Ended
                                      : rc == LZMA_BUF_ERROR   ? DecodeStep::Stuck
                                      : rc == LZMA_OK          ? DecodeStep::More
                                                               : DecodeStep::Corrupt;
                              });
                          });
    lzma_end(&stream);
    return length;
}

} // namespace

InflatedLength measureInflatedLength(const ByteReader &reader, uint64_t limit)
{
    InflatedLength length;
    uint8_t start[kSignatureBytes];
    const long n = readFully(reader, start, sizeof start);
    if (n < long(sizeof start) || !startsLikeSignature(start, sizeof start)) {
        length.error = n < 0 ? Error::Unreadable : Error::NotSwf;
        length.detail = "not a SWF file";
        return length;
    }
    length.declared = littleEndian32(start + 4);
    length.actual = sizeof start;
    if (start[0] == 'C')
        return countZlib(reader, limit, length);
    if (start[0] == 'Z')
        return countLzma(reader, limit, length);
    return countDecoded(reader, limit, length, [](uint8_t *, size_t size, bool &, uint64_t) {
        return static_cast<long long>(size);
    });
}

InflatedLength measureInflatedLengthInMemory(const uint8_t *data, size_t size, uint64_t limit)
{
    return measureInflatedLength(memoryReader(data, size), limit);
}

Result readHeaderFromMemory(const uint8_t *data, size_t size)
{
    return readHeader(memoryReader(data, size));
}

Result readHeaderFromFile(const std::string &path)
{
    namespace fs = std::filesystem;
    const fs::path file = fs::u8path(path);
    std::error_code ec;
    const fs::file_status status = fs::status(file, ec);
    if (ec || !fs::exists(status))
        return failure(Error::Unreadable, "no such file");
    // Checked first so that a FIFO or device cannot block or feed us forever.
    if (!fs::is_regular_file(status))
        return failure(Error::Unreadable, "not a regular file");

    std::ifstream in(file, std::ios::binary);
    if (!in) {
        const int savedErrno = errno;
        return failure(Error::Unreadable,
                       std::string("cannot open the file")
                           + (savedErrno ? std::string(" (") + std::strerror(savedErrno) + ")"
                                         : std::string()));
    }
    return readHeader([&](uint8_t *buffer, size_t capacity) -> long {
        in.read(reinterpret_cast<char *>(buffer), std::streamsize(capacity));
        if (in.bad())
            return -1;
        return long(in.gcount());
    });
}

} // namespace swfheader

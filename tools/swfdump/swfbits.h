#pragma once

// SWF's bit fields: most significant bit first, unsigned or two's complement
// signed, read from a byte offset on. A read past the end yields zero bits
// and marks the reader overrun, so a caller checks once after a run of
// fields instead of before each one.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace swfheader {

class BitReader
{
public:
    explicit BitReader(const std::vector<uint8_t> &bytes, size_t byteOffset = 0)
        : m_bytes(bytes)
        , m_bit(byteOffset * 8)
    {
    }

    uint32_t readUnsigned(unsigned bits)
    {
        uint32_t value = 0;
        for (unsigned i = 0; i < bits; ++i, ++m_bit) {
            if (m_bit / 8 >= m_bytes.size()) {
                m_overrun = true;
                value <<= 1;
                continue;
            }
            const unsigned bit = (m_bytes[m_bit / 8] >> (7 - m_bit % 8)) & 1u;
            value = value << 1 | bit;
        }
        return value;
    }

    int32_t readSigned(unsigned bits)
    {
        if (bits == 0)
            return 0;
        const uint32_t raw = readUnsigned(bits);
        const uint32_t signBit = uint32_t(1) << (bits - 1);
        return int32_t(int64_t(raw ^ signBit) - int64_t(signBit));
    }

    // The first whole byte after the bits read so far.
    size_t nextByte() const { return (m_bit + 7) / 8; }
    bool overrun() const { return m_overrun; }

private:
    const std::vector<uint8_t> &m_bytes;
    size_t m_bit;
    bool m_overrun = false;
};

} // namespace swfheader

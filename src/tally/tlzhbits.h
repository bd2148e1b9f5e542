#pragma once
// The LZH coder's byte and bit streams, buffered over the caller's read and
// write functions, and the fixed prefix code of match positions.

#include <cstddef>
#include <cstdint>

#include "tally/tlzh.h"

namespace ballwick::lzh {

// The size of every read and write buffer.
inline constexpr int kIoBuffer = 32768;

// The fixed prefix code of a position's upper 6 bits: canonical, lengths 3 for
// u = 0, 4 for 1..3, 5 for 4..11, 6 for 12..23, 7 for 24..47, 8 for 48..63.
struct PositionCode
{
    std::uint8_t len[64];
    std::uint8_t code[64];  // right-aligned, len bits
    std::uint8_t dcode[256]; // first 8 bits read -> u
    std::uint8_t dlen[256];  // first 8 bits read -> code length
    constexpr PositionCode() : len(), code(), dcode(), dlen()
    {
        unsigned next = 0;
        int prevLen = 3;
        for (int u = 0; u < 64; ++u) {
            const int l = u < 1 ? 3 : u < 4 ? 4 : u < 12 ? 5 : u < 24 ? 6 : u < 48 ? 7 : 8;
            next <<= (l - prevLen);
            prevLen = l;
            len[u] = static_cast<std::uint8_t>(l);
            code[u] = static_cast<std::uint8_t>(next);
            const unsigned first = next << (8 - l);
            for (unsigned k = 0; k < (1u << (8 - l)); ++k) {
                dcode[first + k] = static_cast<std::uint8_t>(u);
                dlen[first + k] = static_cast<std::uint8_t>(l);
            }
            ++next;
        }
    }
};
inline constexpr PositionCode kPos;

// Input bytes one at a time, with a count of those taken.
class ByteReader
{
public:
    ByteReader(const TLZH::ReadFn &read, std::uint8_t *buf) : m_read(read), m_buf(buf) {}

    int get()
    {
        if (m_pos == m_len) {
            if (m_ended)
                return -1;
            m_len = m_read(m_buf, kIoBuffer);
            m_pos = 0;
            if (m_len == 0) {
                m_ended = true;
                return -1;
            }
        }
        ++m_count;
        return m_buf[m_pos++];
    }
    std::int64_t count() const { return m_count; }

private:
    const TLZH::ReadFn &m_read;
    std::uint8_t *m_buf;
    std::size_t m_pos = 0;
    std::size_t m_len = 0;
    bool m_ended = false;
    std::int64_t m_count = 0;
};

// Output bits, most significant first.
class BitWriter
{
public:
    BitWriter(const TLZH::WriteFn &write, std::uint8_t *buf) : m_write(write), m_buf(buf) {}

    // Sends the low n bits of v (n <= 32), most significant first.
    void put(int n, std::uint32_t v)
    {
        m_acc = (m_acc << n) | (v & ((std::uint64_t(1) << n) - 1));
        m_bits += n;
        while (m_bits >= 8) {
            m_bits -= 8;
            m_buf[m_pos++] = static_cast<std::uint8_t>(m_acc >> m_bits);
            if (m_pos == kIoBuffer)
                flushBuffer();
        }
    }
    // Pads the last partial byte with 0 bits and writes everything out.
    void finish();

private:
    void flushBuffer()
    {
        if (m_pos)
            m_write(m_buf, m_pos);
        m_pos = 0;
    }
    const TLZH::WriteFn &m_write;
    std::uint8_t *m_buf;
    std::size_t m_pos = 0;
    std::uint64_t m_acc = 0;
    int m_bits = 0;
};

// Input bits, most significant first. Past the end of the stream it reads 0
// bits and remembers that it did.
class BitReader
{
public:
    BitReader(const TLZH::ReadFn &read, std::uint8_t *buf) : m_read(read), m_buf(buf) {}

    int bit()
    {
        if (m_bits == 0)
            refill();
        const int b = static_cast<int>(m_acc >> 63);
        m_acc <<= 1;
        --m_bits;
        return b;
    }
    unsigned bits8()
    {
        if (m_bits < 8)
            refill();
        const unsigned v = static_cast<unsigned>(m_acc >> 56);
        m_acc <<= 8;
        m_bits -= 8;
        return v;
    }
    // True once more bits were taken than the stream holds.
    bool overrun() const
    {
        return m_phantom > 0 && m_loaded * 8 - m_bits > (m_loaded - m_phantom) * 8;
    }

private:
    // Tops the bit store up to at least 57 bits.
    void refill()
    {
        while (m_bits <= 56) {
            if (m_pos == m_len && !m_ended) {
                m_len = m_read(m_buf, kIoBuffer);
                m_pos = 0;
                if (m_len == 0)
                    m_ended = true;
            }
            std::uint64_t byte = 0;
            if (m_pos < m_len) {
                byte = m_buf[m_pos++];
            } else {
                ++m_phantom; // past the end the stream reads as 0 bits
            }
            ++m_loaded;
            m_acc |= byte << (56 - m_bits);
            m_bits += 8;
        }
    }
    const TLZH::ReadFn &m_read;
    std::uint8_t *m_buf;
    std::size_t m_pos = 0;
    std::size_t m_len = 0;
    bool m_ended = false;
    std::uint64_t m_acc = 0;
    int m_bits = 0;
    std::int64_t m_loaded = 0;
    std::int64_t m_phantom = 0;
};

} // namespace ballwick::lzh

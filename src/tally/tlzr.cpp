#include "tally/tlzr.h"

#include "tally/lzrwexcept.h"

#include <bit>
#include <cstring>
#include <new>

namespace ballwick {

namespace {

constexpr int kHashSize = 4096;
constexpr int kMaxDistance = 4095;
constexpr int kMinMatch = 3;
constexpr int kMaxMatch = 18;
constexpr int kMinRun = 16;
constexpr int kMaxRun = 4095;

inline std::uint64_t load64(const std::uint8_t *p)
{
    std::uint64_t v;
    std::memcpy(&v, p, 8);
    return v;
}

// Number of leading bytes that agree between a and b, at most limit.
inline int commonPrefix(const std::uint8_t *a, const std::uint8_t *b, int limit)
{
    int m = 0;
    if constexpr (std::endian::native == std::endian::little) {
        while (m + 8 <= limit) {
            const std::uint64_t diff = load64(a + m) ^ load64(b + m);
            if (diff)
                return m + (std::countr_zero(diff) >> 3);
            m += 8;
        }
    }
    while (m < limit && a[m] == b[m])
        ++m;
    return m;
}

} // namespace

TLZR::TLZR()
{
    m_hash.reset(new (std::nothrow) std::int16_t[kHashSize]);
    if (!m_hash)
        throw ELzrw1KHCompressor("LZRW1KH : no memory for HASH table");
}

TLZR::~TLZR() = default;

bool TLZR::FindMatch(const std::uint8_t *in, int n, int x, int &matchPos, int &matchLen)
{
    // Fewer than three bytes left: no match is possible, and the table entry
    // such a position would get can never be used by a later position either.
    if (x + kMinMatch > n)
        return false;
    std::uint32_t h = ((((std::uint32_t(in[x]) << 4) ^ in[x + 1]) << 4) ^ in[x + 2]) * 40543u;
    h = (h >> 4) & 0x0FFF;
    const int p = m_hash[h];
    m_hash[h] = static_cast<std::int16_t>(x);
    if (p < 0 || x - p > kMaxDistance)
        return false;
    const int limit = n - x < kMaxMatch ? n - x : kMaxMatch;
    const int m = commonPrefix(in + x, in + p, limit);
    if (m < kMinMatch)
        return false;
    matchPos = p;
    matchLen = m;
    return true;
}

int TLZR::CompressBlock(const std::uint8_t *in, int n, std::uint8_t *out)
{
    if (n < 0)
        n = 0;
    if (n > kPieceSize)
        n = kPieceSize;
    std::memset(m_hash.get(), 0xFF, kHashSize * sizeof(std::int16_t)); // every entry -1

    out[0] = kCompressedFlag;
    int x = 0;
    int y = 3;
    int z = 1;
    unsigned w = 0;
    int items = 0;
    while (x < n && y <= n) {
        if (items == 16) {
            out[z] = static_cast<std::uint8_t>(w >> 8);
            out[z + 1] = static_cast<std::uint8_t>(w);
            z = y;
            y += 2;
            items = 0;
        }
        const std::uint8_t c = in[x];
        int run = 1;
        if (x + 1 < n && in[x + 1] == c) {
            const int limit = n - x < kMaxRun ? n - x : kMaxRun;
            while (run < limit && in[x + run] == c)
                ++run;
        }
        int pos, len;
        if (run >= kMinRun) {
            const int k = run - kMinRun;
            out[y] = 0;
            out[y + 1] = static_cast<std::uint8_t>(k >> 8);
            out[y + 2] = static_cast<std::uint8_t>(k);
            out[y + 3] = c;
            y += 4;
            x += run;
            w = (w << 1) | 1;
        } else if (FindMatch(in, n, x, pos, len)) {
            const unsigned k = unsigned(x - pos) * 16 + unsigned(len - kMinMatch);
            out[y] = static_cast<std::uint8_t>(k >> 8);
            out[y + 1] = static_cast<std::uint8_t>(k);
            y += 2;
            x += len;
            w = (w << 1) | 1;
        } else {
            out[y++] = c;
            ++x;
            w <<= 1;
        }
        ++items;
    }
    w = (w << (16 - items)) & 0xFFFF;
    out[z] = static_cast<std::uint8_t>(w >> 8);
    out[z + 1] = static_cast<std::uint8_t>(w);

    if (y > n) {
        out[0] = kStoredFlag;
        if (n > 0)
            std::memcpy(out + 1, in, static_cast<std::size_t>(n));
        return n + 1;
    }
    return y;
}

int TLZR::DecompressBlock(const std::uint8_t *in, int length, std::uint8_t *out)
{
    if (length < 0 || length > kMaxBlockLength)
        return -1;
    if (length <= 1)
        return 0;
    if (in[0] == kStoredFlag) {
        std::memcpy(out, in + 1, static_cast<std::size_t>(length - 1));
        return length - 1;
    }

    const int end = length;
    int x = 1;
    int y = 0;
    bool firstWord = true;
    while (x < end) {
        if (x + 1 >= end)
            return -1; // cut inside a control word
        unsigned w = (unsigned(in[x]) << 8) | in[x + 1];
        x += 2;
        if (x >= end)
            return firstWord ? y : -1; // a control word with nothing after it
        firstWord = false;
        for (int b = 0; b < 16 && x < end; ++b, w <<= 1) {
            if (!(w & 0x8000)) {
                if (y >= kPieceSize)
                    return -1;
                out[y++] = in[x++];
                continue;
            }
            if (x + 1 >= end)
                return -1;
            const int d = (int(in[x]) << 4) | (in[x + 1] >> 4);
            if (d == 0) {
                if (x + 3 >= end)
                    return -1;
                const int count = ((int(in[x + 1]) << 8) | in[x + 2]) + kMinRun;
                if (count > kPieceSize - y)
                    return -1;
                std::memset(out + y, in[x + 3], static_cast<std::size_t>(count));
                y += count;
                x += 4;
                continue;
            }
            const int len = (in[x + 1] & 0x0F) + kMinMatch;
            if (d > y || len > kPieceSize - y)
                return -1;
            x += 2;
            std::uint8_t *dst = out + y;
            const std::uint8_t *src = dst - d;
            // The buffer's 16 spare bytes let short copies run in whole chunks;
            // the bytes written past the match are overwritten by what follows.
            if (d >= 16) {
                std::memcpy(dst, src, 16);
                if (len > 16)
                    std::memcpy(dst + 16, src + 16, 16);
            } else if (d >= 8) {
                for (int k = 0; k < len; k += 8)
                    std::memcpy(dst + k, src + k, 8);
            } else {
                for (int k = 0; k < len; ++k)
                    dst[k] = src[k];
            }
            y += len;
        }
    }
    return y;
}

} // namespace ballwick

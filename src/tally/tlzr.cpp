#include "tally/tlzr.h"

#include "tally/lzrwexcept.h"

#include <array>
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


namespace {

// An empty hash entry. The entries read as -1 ("no position yet") by the rules;
// holding a value this far below 0 lets one distance test reject them too.
// Both its bytes are 0x80, so clearing the table is a plain memset.
constexpr std::uint8_t kNoEntryByte = 0x80;
constexpr std::int16_t kNoEntry = static_cast<std::int16_t>(kNoEntryByte * 0x0101);
static_assert(kNoEntry < -kMaxDistance, "an empty entry must fail the distance test");

// The match search: the hash of in[x..x+2] names a table entry, which yields
// the candidate position and then takes x. Returns the match length (3..18),
// or 0 for none.
[[gnu::always_inline]] inline int findMatch(std::int16_t *table, const std::uint8_t *in, int n, int x, int &matchPos)
{
    // Fewer than three bytes left: no match is possible, and the table entry
    // such a position would get can never be used by a later position either.
    if (x + kMinMatch > n)
        return 0;
    std::uint32_t h = ((((std::uint32_t(in[x]) << 4) ^ in[x + 1]) << 4) ^ in[x + 2]) * 40543u;
    h = (h >> 4) & 0x0FFF;
    const int p = table[h];
    table[h] = static_cast<std::int16_t>(x);
    if (x - p > kMaxDistance)
        return 0;
    const int limit = n - x < kMaxMatch ? n - x : kMaxMatch;
    const int m = commonPrefix(in + x, in + p, limit);
    if (m < kMinMatch)
        return 0;
    matchPos = p;
    return m;
}

// findMatch where at least four bytes are left: the three hashed bytes come
// from one load, and a candidate must agree in them before the full compare.
[[gnu::always_inline]] inline int findMatchFast(std::int16_t *table, const std::uint8_t *in, int n, int x, int &matchPos)
{
    std::uint32_t v;
    std::memcpy(&v, in + x, 4);
    std::uint32_t h = ((((v & 0xFF) << 4) ^ ((v >> 8) & 0xFF)) << 4) ^ ((v >> 16) & 0xFF);
    h = ((h * 40543u) >> 4) & 0x0FFF;
    const int p = table[h];
    table[h] = static_cast<std::int16_t>(x);
    if (x - p > kMaxDistance)
        return 0;
    std::uint32_t pv;
    std::memcpy(&pv, in + p, 4);
    if ((pv ^ v) & 0x00FFFFFFu)
        return 0;
    const int limit = n - x < kMaxMatch ? n - x : kMaxMatch;
    matchPos = p;
    return kMinMatch + commonPrefix(in + x + kMinMatch, in + p + kMinMatch, limit - kMinMatch);
}

// The hash of in[i..i+2] for every i below count. With its three bytes as
// a, b, c, the hash is bits 4 to 15 of (a << 8 ^ b << 4 ^ c) * 40543, which
// depend on the low 16 bits of the product alone: 16-bit arithmetic gives the
// same value, eight or sixteen positions at a time.
void hashAll(const std::uint8_t *in, int count, std::uint16_t *keys)
{
    for (int i = 0; i < count; ++i) {
        const std::uint16_t v = static_cast<std::uint16_t>((in[i] << 8) ^ (in[i + 1] << 4) ^ in[i + 2]);
        keys[i] = static_cast<std::uint16_t>(static_cast<std::uint16_t>(v * 40543u) >> 4);
    }
}

// Each byte with its bits in reverse order.
constexpr auto kReversed = [] {
    std::array<std::uint8_t, 256> t{};
    for (int i = 0; i < 256; ++i) {
        int r = 0;
        for (int bit = 0; bit < 8; ++bit)
            if (i & (1 << bit))
                r |= 0x80 >> bit;
        t[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(r);
    }
    return t;
}();

// Copies a match of len (3..18) bytes from d back to dst. The buffer's 16
// spare bytes let short copies run in whole chunks; the bytes written past the
// match are overwritten by what follows.
[[gnu::always_inline]] inline void copyMatch(std::uint8_t *dst, int d, int len)
{
    const std::uint8_t *src = dst - d;
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
}

void resetTable(std::int16_t *table)
{
    std::memset(table, kNoEntryByte, kHashSize * sizeof table[0]);
}

} // namespace

TLZR::TLZR()
{
    m_hash.reset(new (std::nothrow) std::int16_t[kHashSize]);
    m_keys.reset(new (std::nothrow) std::uint16_t[kPieceSize]);
    m_heads.reset(new (std::nothrow) std::uint32_t[kHashSize]());
    if (!m_hash || !m_keys || !m_heads)
        throw ELzrw1KHCompressor("LZRW1KH : no memory for HASH table");
    resetTable(m_hash.get());
}

TLZR::~TLZR() = default;

bool TLZR::FindMatch(const std::uint8_t *in, int n, int x, int &matchPos, int &matchLen)
{
    int pos = 0;
    const int len = findMatch(m_hash.get(), in, n, x, pos);
    if (len == 0)
        return false;
    matchPos = pos;
    matchLen = len;
    return true;
}

int TLZR::CompressBlock(const std::uint8_t *in, int n, std::uint8_t *out)
{
    if (n < 0)
        n = 0;
    if (n > kPieceSize)
        n = kPieceSize;
    std::int16_t *table = m_hash.get();
    resetTable(table);

    constexpr bool fastMatch = std::endian::native == std::endian::little;
    out[0] = kCompressedFlag;
    int x = 0;
    int y = 3;
    int z = 1;
    unsigned w = 0;
    int items = 0;
    if constexpr (fastMatch) {
        // Items whose longest match and a run's first 16 bytes lie before the
        // end of the input, read in whole words with no bounds tests of their
        // own; the end of the input and of the output are tested once per
        // item. Short pieces are left to the careful loop: working out every
        // hash ahead does not pay there.
        const int fastEnd = n - kMaxMatch - 1; // last x read this way
        constexpr int kFastMin = 256;
        constexpr std::uint64_t kEveryByte = 0x0101010101010101ull;
        if (n >= kFastMin) {
            std::uint16_t *keys = m_keys.get();
            std::uint32_t *heads = m_heads.get();
            hashAll(in, fastEnd + 1, keys);
            const std::uint8_t *const outEnd = out + n;
            std::uint8_t *op = out + y;
            std::ptrdiff_t xi = x;
            while (xi <= fastEnd && op <= outEnd) {
                if (items == 16) {
                    out[z] = static_cast<std::uint8_t>(w >> 8);
                    out[z + 1] = static_cast<std::uint8_t>(w);
                    z = static_cast<int>(op - out);
                    op += 2;
                }
                // The items' bits under a marker bit that reaches bit 16
                // after the sixteenth item.
                unsigned bits = 1;
                do {
                    const std::uint64_t v = load64(in + xi);
                    const std::uint8_t c = static_cast<std::uint8_t>(v);
                    // A run needs 16 equal bytes: the first eight decide
                    // whether to look at the rest.
                    if (((v ^ (v >> 8)) << 8) == 0) [[unlikely]] {
                        const std::uint64_t all = kEveryByte * c;
                        if (load64(in + xi + 8) == all) {
                            const int at = static_cast<int>(xi);
                            const int limit = n - at < kMaxRun ? n - at : kMaxRun;
                            int run = kMinRun;
                            while (run < limit && in[at + run] == c)
                                ++run;
                            const int k = run - kMinRun;
                            op[0] = 0;
                            op[1] = static_cast<std::uint8_t>(k >> 8);
                            op[2] = static_cast<std::uint8_t>(k);
                            op[3] = c;
                            op += 4;
                            xi += run;
                            bits = (bits << 1) | 1;
                            continue;
                        }
                    }
                    const unsigned h = keys[xi];
                    const int p = table[h];
                    const std::uint32_t seen = heads[h];
                    table[h] = static_cast<std::int16_t>(xi);
                    heads[h] = static_cast<std::uint32_t>(v);
                    // One test for an empty or far entry and for the first
                    // three bytes, which the entry keeps beside the position.
                    const unsigned d = unsigned(xi - p);
                    const std::uint32_t miss = ((seen ^ static_cast<std::uint32_t>(v)) & 0x00FFFFFFu)
                        | ((unsigned(kMaxDistance) - d) & 0x80000000u);
                    if (miss == 0) {
                        const std::uint64_t diff = v ^ load64(in + p);
                        const int len = diff ? std::countr_zero(diff) >> 3
                                             : 8 + commonPrefix(in + xi + 8, in + p + 8, kMaxMatch - 8);
                        const unsigned k = d * 16 + unsigned(len - kMinMatch);
                        op[0] = static_cast<std::uint8_t>(k >> 8);
                        op[1] = static_cast<std::uint8_t>(k);
                        op += 2;
                        xi += len;
                        bits = (bits << 1) | 1;
                        continue;
                    }
                    *op++ = c;
                    ++xi;
                    bits <<= 1;
                } while (bits < 0x10000u && xi <= fastEnd && op <= outEnd);
                items = std::bit_width(bits) - 1;
                w = bits ^ (1u << items);
                if (items < 16)
                    break; // the careful loop finishes this word
            }
            x = static_cast<int>(xi);
            y = static_cast<int>(op - out);
        }
    }
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
        int pos = 0;
        int len;
        if (run >= kMinRun) {
            const int k = run - kMinRun;
            out[y] = 0;
            out[y + 1] = static_cast<std::uint8_t>(k >> 8);
            out[y + 2] = static_cast<std::uint8_t>(k);
            out[y + 3] = c;
            y += 4;
            x += run;
            w = (w << 1) | 1;
        } else if ((len = (fastMatch && x + 4 <= n ? findMatchFast(table, in, n, x, pos)
                                                      : findMatch(table, in, n, x, pos)))
                   != 0) {
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
        // The items' bits at the top of 32 and a stop bit right after them,
        // which bounds a row of literals to the items that are left.
        w = (w << 16) | 0x8000u;
        int b = 0;
        // With room for sixteen items of any kind but runs on both sides, the
        // literals and matches need no bounds tests of their own; a run hands
        // the rest of the word to the careful loop below.
        if (x + 16 * 4 + 16 <= end && y + 16 * kMaxMatch + 16 <= kPieceSize) {
            // The items in order as bits 0 to 15, and a stop bit 16: each step
            // finds the next match from the lowest bit left and clears it, so
            // one step does not wait for the count of the step before.
            const unsigned word = w >> 16;
            unsigned matches = (unsigned(kReversed[word & 0xFF]) << 8) | kReversed[word >> 8] | 0x10000u;
            for (;;) {
                // A row of literals up to the next match (perhaps none),
                // copied at once.
                const int next = __builtin_ctz(matches); // the stop bit keeps it defined
                const int k = next - b;
                std::memcpy(out + y, in + x, 16);
                x += k;
                y += k;
                b = next;
                if (b == 16)
                    break;
                const unsigned v = (unsigned(in[x]) << 8) | in[x + 1];
                const int d = static_cast<int>(v >> 4);
                // One test for both a run (d = 0) and a match reaching before
                // the piece (d > y).
                if (unsigned(d - 1) >= unsigned(y)) {
                    if (d == 0) {
                        w <<= b; // a run: the careful loop takes it
                        break;
                    }
                    return -1;
                }
                const int len = static_cast<int>(v & 0x0F) + kMinMatch;
                ++b;
                matches &= matches - 1;
                x += 2;
                std::uint8_t *dst = out + y;
                if (d >= 16) {
                    // 32 bytes at most 18 of which count: the rest is slack
                    // that what follows overwrites.
                    std::memcpy(dst, dst - d, 16);
                    std::memcpy(dst + 16, dst - d + 16, 16);
                } else {
                    copyMatch(dst, d, len);
                }
                y += len;
            }
        }
        while (b < 16 && x < end) {
            if (!(w & 0x80000000u)) {
                int k = std::countl_zero(w);
                if (k > end - x)
                    k = end - x;
                if (k > kPieceSize - y)
                    return -1;
                if (x + 16 <= end)
                    std::memcpy(out + y, in + x, 16); // within the slack
                else
                    std::memcpy(out + y, in + x, static_cast<std::size_t>(k));
                x += k;
                y += k;
                b += k;
                w <<= k;
                continue;
            }
            ++b;
            w <<= 1;
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
            copyMatch(out + y, d, len);
            y += len;
        }
    }
    return y;
}

} // namespace ballwick

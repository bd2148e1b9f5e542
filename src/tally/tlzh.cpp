#include "tally/tlzh.h"

#include "tally/lzrwexcept.h"
#include "tally/tlzhbits.h"
#include "tally/tlzhhuffman.h"

#include <bit>
#include <cstring>
#include <memory>
#include <new>

namespace ballwick {

using namespace lzh;

namespace {

constexpr int NIL = N; // "no node" in the search trees
static_assert(THRESHOLD == 2, "the tree search tests bytes 1 and 2 of a match at once");

// The window and the binary search trees of the encoder. kid[p][0] and
// kid[p][1] are the left and right children of node p; the right children of
// entries N + 1 to N + 256 are the roots, one per first byte.
struct Dictionary
{
    // The window, its first F - 1 bytes mirrored after it, and 8 bytes the
    // key compare may load but never counts.
    std::uint8_t text[N + F - 1 + 8];
    std::int16_t kid[N + 257][2];
    std::int16_t dad[N + 1];
    int matchPosition = 0;
    int matchLength = 0;

    std::int16_t &lson(int p) { return kid[p][0]; }
    std::int16_t &rson(int p) { return kid[p][1]; }

    void initTree()
    {
        for (int i = N + 1; i <= N + 256; ++i)
            rson(i) = NIL;
        for (int i = 0; i < N; ++i)
            dad[i] = NIL;
    }

    static std::uint64_t load64(const std::uint8_t *p)
    {
        std::uint64_t v;
        std::memcpy(&v, p, 8);
        return v;
    }

    // Eight bytes as one number whose first byte is the most significant, so
    // that numbers compare as the byte strings do.
    static std::uint64_t loadKey(const std::uint8_t *p)
    {
        const std::uint64_t v = load64(p);
        if constexpr (std::endian::native == std::endian::little)
            return __builtin_bswap64(v);
        else
            return v;
    }

    // Where keys a and b, equal in bytes 0 to 8, first differ (at most F), and
    // the sign of that difference in cmp (0 when they agree throughout).
    static int compareTail(const std::uint8_t *a, const std::uint8_t *b, int &cmp)
    {
        for (int i = 9; i < F; i += 8) {
            const std::uint64_t diff = load64(a + i) ^ load64(b + i);
            if (diff) {
                // The first differing byte is the lowest one that differs in
                // memory order.
                const int j = i
                    + (std::endian::native == std::endian::little ? std::countr_zero(diff) : std::countl_zero(diff)) / 8;
                if (j >= F)
                    break; // only bytes past the key differ
                cmp = a[j] > b[j] ? 1 : -1;
                return j;
            }
        }
        cmp = 0;
        return F;
    }

    void insertNode(int r)
    {
        const std::uint8_t *key = &text[r];
        // Bytes 1 to 8 of the key: most nodes differ from it within them.
        const std::uint64_t head = loadKey(key + 1);
        int p = N + 1 + key[0];
        kid[r][0] = kid[r][1] = NIL;
        int bestLength = 0;
        int bestPosition = matchPosition;
        bool right = true;
        for (;;) {
            // A branch, not an index: the descent runs ahead on the guess
            // instead of waiting for the compare.
            std::int16_t &link = right ? kid[p][1] : kid[p][0];
            if (link == NIL) {
                link = static_cast<std::int16_t>(r);
                dad[r] = static_cast<std::int16_t>(p);
                matchLength = bestLength;
                matchPosition = bestPosition;
                return;
            }
            p = link;
            const std::uint64_t other = loadKey(&text[p + 1]);
            int i;
            if (head != other) {
                right = head > other;
                const std::uint64_t diff = head ^ other;
                // Bytes 1 and 2 differ too: no match worth keeping.
                if (diff >> 48)
                    continue;
                i = 1 + std::countl_zero(diff) / 8;
            } else {
                int cmp;
                i = compareTail(key, &text[p], cmp);
                right = cmp >= 0;
            }
            // Here i > THRESHOLD: a match.
            const int c = ((r - p) & (N - 1)) - 1;
            if (i > bestLength) {
                bestPosition = c;
                if ((bestLength = i) >= F)
                    break;
            } else if (i == bestLength && c < bestPosition) {
                bestPosition = c;
            }
        }
        matchLength = bestLength;
        matchPosition = bestPosition;
        // A full-length match: r takes the place of p in the tree.
        dad[r] = dad[p];
        lson(r) = lson(p);
        rson(r) = rson(p);
        dad[lson(p)] = static_cast<std::int16_t>(r);
        dad[rson(p)] = static_cast<std::int16_t>(r);
        if (rson(dad[p]) == p)
            rson(dad[p]) = static_cast<std::int16_t>(r);
        else
            lson(dad[p]) = static_cast<std::int16_t>(r);
        dad[p] = NIL;
    }

    // Enters the F positions before r, whose keys are i spaces (1 <= i <= F)
    // followed by the first look-ahead bytes, as insertNode(r - 1) to
    // insertNode(r - F) in turn would. When the look-ahead starts with a byte
    // other than a space, each key differs from every earlier one at that
    // byte, so every insert runs past all earlier ones to the same side: the
    // tree is one chain, built here without the compares.
    void insertLeadIn(int r, int lookAhead)
    {
        const std::uint8_t first = text[r];
        if (lookAhead == 0 || first == ' ') {
            for (int i = 1; i <= F; ++i)
                insertNode(r - i);
            return;
        }
        const int side = first > ' ' ? 0 : 1; // later keys are smaller: left
        int p = N + 1 + ' ';
        int q = r - 1;
        kid[p][1] = static_cast<std::int16_t>(q);
        for (int i = 1; i <= F; ++i) {
            dad[q] = static_cast<std::int16_t>(p);
            kid[q][0] = kid[q][1] = NIL;
            if (i < F)
                kid[q][side] = static_cast<std::int16_t>(q - 1);
            p = q--;
        }
    }

    void deleteNode(int p)
    {
        if (dad[p] == NIL)
            return;
        int q;
        if (rson(p) == NIL) {
            q = lson(p);
        } else if (lson(p) == NIL) {
            q = rson(p);
        } else {
            q = lson(p);
            if (rson(q) != NIL) {
                do {
                    q = rson(q);
                } while (rson(q) != NIL);
                rson(dad[q]) = lson(q);
                dad[lson(q)] = dad[q];
                lson(q) = lson(p);
                dad[lson(p)] = static_cast<std::int16_t>(q);
            }
            rson(q) = rson(p);
            dad[rson(p)] = static_cast<std::int16_t>(q);
        }
        dad[q] = dad[p];
        if (rson(dad[p]) == p)
            rson(dad[p]) = static_cast<std::int16_t>(q);
        else
            lson(dad[p]) = static_cast<std::int16_t>(q);
        dad[p] = NIL;
    }
};

struct EncoderWork
{
    EncoderHuffman huff;
    Dictionary dict;
    std::uint8_t inBuf[kIoBuffer];
    std::uint8_t outBuf[kIoBuffer + 16];
};

struct DecoderWork
{
    DecoderHuffman huff;
    std::uint8_t text[N];
    std::uint8_t inBuf[kIoBuffer];
    std::uint8_t outBuf[kIoBuffer];
};

template <class W>
std::unique_ptr<W> allocate()
{
    std::unique_ptr<W> w(new (std::nothrow) W);
    if (!w)
        throw ElzhException("LZH : Cannot get memory for dictionary tables");
    return w;
}

void encodeChar(EncoderHuffman &h, BitWriter &out, int c)
{
    std::uint64_t code = 0;
    int len = 0;
    int k = h.prnt[c + T];
    do {
        code |= std::uint64_t(k & 1) << len; // the odd node is the larger sibling: 1
        ++len;
        k = h.prnt[k];
    } while (k != R);
    // A tree of 314 leaves whose root stays below 0x8000 is far less than 32 deep.
    while (len > 32) {
        len -= 32;
        out.put(32, static_cast<std::uint32_t>(code >> len));
    }
    out.put(len, static_cast<std::uint32_t>(code));
    h.update(c);
}

void encodePosition(BitWriter &out, unsigned c)
{
    const unsigned u = c >> 6;
    out.put(kPos.len[u], kPos.code[u]);
    out.put(6, c & 0x3F);
}

} // namespace

std::int64_t TLZH::Encode(const ReadFn &read, const WriteFn &write)
{
    auto work = allocate<EncoderWork>();
    EncoderHuffman &h = work->huff;
    Dictionary &d = work->dict;
    ByteReader in(read, work->inBuf);
    BitWriter out(write, work->outBuf);

    h.start();
    d.initTree();
    // Positions no input has reached yet hold spaces, as the start of the window
    // does; the mirror after the window then always equals the window's start.
    std::memset(d.text, ' ', sizeof d.text);
    int s = 0;
    int r = N - F;
    int len = 0;
    for (; len < F; ++len) {
        const int c = in.get();
        if (c < 0)
            break;
        d.text[r + len] = static_cast<std::uint8_t>(c);
    }
    d.insertLeadIn(r, len);
    d.insertNode(r);

    do {
        if (d.matchLength > len)
            d.matchLength = len;
        if (d.matchLength <= THRESHOLD) {
            d.matchLength = 1;
            encodeChar(h, out, d.text[r]);
        } else {
            encodeChar(h, out, 255 - THRESHOLD + d.matchLength);
            encodePosition(out, static_cast<unsigned>(d.matchPosition));
        }
        const int last = d.matchLength;
        int i = 0;
        for (; i < last; ++i) {
            const int c = in.get();
            if (c < 0)
                break;
            d.deleteNode(s);
            d.text[s] = static_cast<std::uint8_t>(c);
            if (s < F - 1)
                d.text[s + N] = static_cast<std::uint8_t>(c);
            s = (s + 1) & (N - 1);
            r = (r + 1) & (N - 1);
            d.insertNode(r);
        }
        for (; i < last; ++i) {
            d.deleteNode(s);
            s = (s + 1) & (N - 1);
            r = (r + 1) & (N - 1);
            if (--len)
                d.insertNode(r);
        }
    } while (len > 0);
    out.finish();
    return in.count();
}

TLZH::DecodeResult TLZH::Decode(std::int64_t size, const ReadFn &read, const WriteFn &write)
{
    DecodeResult result;
    if (size <= 0)
        return result;
    auto work = allocate<DecoderWork>();
    DecoderHuffman &h = work->huff;
    std::uint8_t *text = work->text;
    std::uint8_t *outBuf = work->outBuf;
    BitReader in(read, work->inBuf);

    h.start();
    std::memset(text, ' ', N);
    int r = N - F;
    std::size_t outPos = 0;
    std::int64_t count = 0;
    auto flush = [&] {
        if (outPos)
            write(outBuf, outPos);
        outPos = 0;
    };

    while (count < size) {
        int c = h.son[R];
        while (c < T)
            c = h.son[c + in.bit()];
        c -= T;
        h.update(c);
        if (c < 256) {
            if (in.overrun()) {
                result.truncated = true;
                break;
            }
            outBuf[outPos++] = static_cast<std::uint8_t>(c);
            if (outPos == kIoBuffer)
                flush();
            text[r] = static_cast<std::uint8_t>(c);
            r = (r + 1) & (N - 1);
            ++count;
            continue;
        }
        unsigned first = in.bits8();
        const unsigned hi = unsigned(kPos.dcode[first]) << 6;
        int extra = kPos.dlen[first] - 2;
        while (extra--)
            first = (first << 1) + static_cast<unsigned>(in.bit());
        if (in.overrun()) {
            result.truncated = true;
            break;
        }
        const int pos = static_cast<int>(hi | (first & 0x3F));
        const int i = (r - pos - 1) & (N - 1);
        const int j = c - 255 + THRESHOLD;
        if (j > size - count) {
            result.overshoot = true;
            break;
        }
        for (int k = 0; k < j; ++k) {
            const std::uint8_t b = text[(i + k) & (N - 1)];
            outBuf[outPos++] = b;
            if (outPos == kIoBuffer)
                flush();
            text[r] = b;
            r = (r + 1) & (N - 1);
        }
        count += j;
    }
    flush();
    result.written = count;
    return result;
}

} // namespace ballwick

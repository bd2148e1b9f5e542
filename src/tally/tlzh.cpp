#include "tally/tlzh.h"

#include "tally/lzrwexcept.h"

#include <bit>
#include <cstring>
#include <memory>
#include <new>

namespace ballwick {

namespace {

constexpr int N = 4096;                  // window size
constexpr int F = 60;                    // look-ahead, longest match
constexpr int THRESHOLD = 2;             // matches this short go as literals
static_assert(THRESHOLD == 2, "the tree search tests bytes 1 and 2 of a match at once");
constexpr int NIL = N;                   // "no node" in the search trees
constexpr int N_CHAR = 256 - THRESHOLD + F; // 314 symbols
constexpr int T = N_CHAR * 2 - 1;        // 627 nodes
constexpr int R = T - 1;                 // the root
constexpr unsigned MAX_FREQ = 0x8000;
constexpr int kIoBuffer = 32768;

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
constexpr PositionCode kPos;

// The adaptive Huffman code shared by both directions. freq is kept in
// non-decreasing order by node index (the sibling property). With Indexed,
// the last node of each frequency below kIndexed is kept at hand, so that a
// count going up finds its new place at once instead of by a search; that
// pays where long runs of equal frequencies are common, as in the encoder's
// early symbols, and costs the decoder more than it saves.
template <bool Indexed>
struct HuffmanCode
{
    static constexpr unsigned kIndexed = 256;

    std::uint16_t freq[T + 1];
    std::int16_t prnt[T + N_CHAR];
    std::int16_t son[T];
    // lastAtMost[f]: the last node whose frequency is at most f (-1: none).
    std::int16_t lastAtMost[kIndexed];

    void indexFrequencies()
    {
        if constexpr (!Indexed)
            return;
        for (unsigned f = 0; f < kIndexed; ++f)
            lastAtMost[f] = -1;
        for (int i = 0; i < T && freq[i] < kIndexed; ++i)
            lastAtMost[freq[i]] = static_cast<std::int16_t>(i);
        for (unsigned f = 1; f < kIndexed; ++f)
            if (lastAtMost[f] < lastAtMost[f - 1])
                lastAtMost[f] = lastAtMost[f - 1];
    }

    // The fresh code: built once, copied at the start of every stream.
    void start()
    {
        static const HuffmanCode fresh = [] {
            HuffmanCode h{};
            h.build();
            return h;
        }();
        *this = fresh;
    }

    void build()
    {
        for (int i = 0; i < N_CHAR; ++i) {
            freq[i] = 1;
            son[i] = static_cast<std::int16_t>(i + T);
            prnt[i + T] = static_cast<std::int16_t>(i);
        }
        for (int i = 0, j = N_CHAR; j <= R; i += 2, ++j) {
            freq[j] = static_cast<std::uint16_t>(freq[i] + freq[i + 1]);
            son[j] = static_cast<std::int16_t>(i);
            prnt[i] = prnt[i + 1] = static_cast<std::int16_t>(j);
        }
        freq[T] = 0xFFFF;
        prnt[R] = 0;
        indexFrequencies();
    }

    // Rebuilds the tree from the leaves with their frequencies halved.
    void reconst()
    {
        int j = 0;
        for (int i = 0; i < T; ++i) {
            if (son[i] >= T) {
                freq[j] = static_cast<std::uint16_t>((freq[i] + 1) / 2);
                son[j] = son[i];
                ++j;
            }
        }
        for (int i = 0, k2 = N_CHAR; k2 < T; i += 2, ++k2) {
            const unsigned f = unsigned(freq[i]) + freq[i + 1];
            int k = k2 - 1;
            while (f < freq[k])
                --k;
            ++k;
            const std::size_t moved = static_cast<std::size_t>(k2 - k);
            std::memmove(&freq[k + 1], &freq[k], moved * sizeof freq[0]);
            freq[k] = static_cast<std::uint16_t>(f);
            std::memmove(&son[k + 1], &son[k], moved * sizeof son[0]);
            son[k] = static_cast<std::int16_t>(i);
        }
        for (int i = 0; i < T; ++i) {
            const int k = son[i];
            if (k >= T)
                prnt[k] = static_cast<std::int16_t>(i);
            else
                prnt[k] = prnt[k + 1] = static_cast<std::int16_t>(i);
        }
        indexFrequencies();
    }

    // Counts one more occurrence of symbol c.
    void update(int c)
    {
        if (freq[R] == MAX_FREQ)
            reconst();
        c = prnt[c + T];
        do {
            const unsigned old = freq[c];
            const unsigned k = old + 1;
            // Either way, the run of the old frequency now ends one node
            // earlier.
            if (k > freq[c + 1]) {
                // The node takes the place of the last one of its old
                // frequency, which is where the order puts the new one.
                int l;
                if (Indexed && old < kIndexed) {
                    l = lastAtMost[old];
                } else {
                    // Sorted, so the nodes after c below k form one run;
                    // gallop, then bisect.
                    int lo = c + 1; // freq[lo] < k
                    int step = 1;
                    int hi = lo + step;
                    while (hi <= T && freq[hi] < k) {
                        lo = hi;
                        step <<= 1;
                        hi = lo + step;
                    }
                    if (hi > T)
                        hi = T; // the sentinel 0xFFFF is never below k
                    // The last node below k lies in lo .. hi - 1; halve that
                    // span with a select rather than a branch each step.
                    l = lo;
                    for (int span = hi - lo; span > 1;) {
                        const int half = span / 2;
                        l = freq[l + half] < k ? l + half : l;
                        span -= half;
                    }
                }
                if (Indexed && old < kIndexed)
                    lastAtMost[old] = static_cast<std::int16_t>(l - 1);
                freq[c] = freq[l];
                freq[l] = static_cast<std::uint16_t>(k);

                const int i = son[c];
                prnt[i] = static_cast<std::int16_t>(l);
                if (i < T)
                    prnt[i + 1] = static_cast<std::int16_t>(l);
                const int j = son[l];
                son[l] = static_cast<std::int16_t>(i);
                prnt[j] = static_cast<std::int16_t>(c);
                if (j < T)
                    prnt[j + 1] = static_cast<std::int16_t>(c);
                son[c] = static_cast<std::int16_t>(j);
                c = l;
            } else {
                if (Indexed && old < kIndexed)
                    lastAtMost[old] = static_cast<std::int16_t>(c - 1);
                freq[c] = static_cast<std::uint16_t>(k);
            }
            c = prnt[c];
        } while (c != 0);
    }
};

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

using EncoderHuffman = HuffmanCode<true>;
using DecoderHuffman = HuffmanCode<false>;

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
    void finish()
    {
        if (m_bits > 0) {
            m_buf[m_pos++] = static_cast<std::uint8_t>(m_acc << (8 - m_bits));
            m_bits = 0;
        }
        flushBuffer();
    }

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

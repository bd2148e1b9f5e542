#pragma once
// The adaptive Huffman code of the LZH coder: literals and match lengths, one
// symbol set, its counts going up as the stream goes on.

#include <cstddef>
#include <cstdint>

namespace ballwick::lzh {

// The sizes the whole coder shares.
inline constexpr int N = 4096;                     // window size
inline constexpr int F = 60;                       // look-ahead, longest match
inline constexpr int THRESHOLD = 2;                // matches this short go as literals
inline constexpr int N_CHAR = 256 - THRESHOLD + F; // 314 symbols
inline constexpr int T = N_CHAR * 2 - 1;           // 627 nodes
inline constexpr int R = T - 1;                    // the root
inline constexpr unsigned MAX_FREQ = 0x8000;

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
    void start();
    void build();
    // Rebuilds the tree from the leaves with their frequencies halved.
    void reconst();

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

using EncoderHuffman = HuffmanCode<true>;
using DecoderHuffman = HuffmanCode<false>;

// Built in tlzhhuffman.cpp.
extern template struct HuffmanCode<true>;
extern template struct HuffmanCode<false>;

} // namespace ballwick::lzh

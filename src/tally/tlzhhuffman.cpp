#include "tally/tlzhhuffman.h"

#include <cstring>

namespace ballwick::lzh {

template <bool Indexed>
void HuffmanCode<Indexed>::start()
{
    static const HuffmanCode fresh = [] {
        HuffmanCode h{};
        h.build();
        return h;
    }();
    *this = fresh;
}

template <bool Indexed>
void HuffmanCode<Indexed>::build()
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

template <bool Indexed>
void HuffmanCode<Indexed>::reconst()
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

template struct HuffmanCode<true>;
template struct HuffmanCode<false>;

} // namespace ballwick::lzh

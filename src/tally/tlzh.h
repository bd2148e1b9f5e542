#pragma once
// LZH: LZSS over a 4096-byte window with binary search trees for the longest
// match, literals and match lengths in an adaptive Huffman code, match
// positions in a fixed prefix code for their upper 6 bits.

#include <cstddef>
#include <cstdint>
#include <functional>

namespace ballwick {

class TLZH
{
public:
    // Fills buf with up to cap bytes and returns how many; 0 = end of input.
    // May throw; the exception passes through Encode/Decode.
    using ReadFn = std::function<std::size_t(std::uint8_t *buf, std::size_t cap)>;
    // Takes n bytes of output. May throw.
    using WriteFn = std::function<void(const std::uint8_t *buf, std::size_t n)>;

    struct DecodeResult
    {
        std::int64_t written = 0; // bytes handed to write, never more than size
        bool overshoot = false;   // a match ran past the stated size
        bool truncated = false;   // the stream needed bits beyond its end
    };

    // Working storage is allocated per call; failure to get it throws
    // ElzhException("LZH : Cannot get memory for dictionary tables").
    TLZH() = default;

    // Consumes the whole input and writes the bit stream. Returns the number of
    // input bytes. The read and write buffers are 32768 bytes each.
    std::int64_t Encode(const ReadFn &read, const WriteFn &write);

    // Writes at most size bytes. A damaged stream stops early with overshoot or
    // truncated set; the work done is bounded by the input's length.
    DecodeResult Decode(std::int64_t size, const ReadFn &read, const WriteFn &write);
};

} // namespace ballwick

// Block decoding on untrusted bytes: whatever the block holds, DecompressBlock
// stays inside its buffers and never yields more than one piece.
#include "tally/tlzr.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static ballwick::TLZR lzr;
    // Exact-size heap copies, so that any read or write past them is caught.
    std::unique_ptr<std::uint8_t[]> in(new std::uint8_t[size ? size : 1]);
    if (size)
        std::memcpy(in.get(), data, size);
    std::unique_ptr<std::uint8_t[]> out(new std::uint8_t[ballwick::TLZR::kBufferSize]);
    const int length = size > 65535 ? 65535 : static_cast<int>(size);
    const int n = lzr.DecompressBlock(in.get(), length, out.get());
    if (n > ballwick::TLZR::kPieceSize || (n < 0 && n != -1))
        std::abort();
    if (length > ballwick::TLZR::kMaxBlockLength && n != -1)
        std::abort();
    // What expands can be packed again and comes back the same.
    if (n >= 0) {
        std::unique_ptr<std::uint8_t[]> block(new std::uint8_t[n + ballwick::TLZR::kSlack]);
        const int len = lzr.CompressBlock(out.get(), n, block.get());
        std::unique_ptr<std::uint8_t[]> back(new std::uint8_t[ballwick::TLZR::kBufferSize]);
        if (lzr.DecompressBlock(block.get(), len, back.get()) != n || std::memcmp(back.get(), out.get(), n) != 0)
            std::abort();
    }
    return 0;
}

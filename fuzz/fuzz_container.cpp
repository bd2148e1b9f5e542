// Container decoding on untrusted bytes, both methods: the first byte picks a
// raw input, an LZRW1/KH signature or an LZH signature in front of the rest.
// Decompress either fails with the component's exception or produces exactly
// the size the header states.
#include "tally/tlzrw1.h"

#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 1)
        return 0;
    std::string bytes;
    switch (data[0] % 3) {
    case 1:
        bytes = "WRZL";
        break;
    case 2:
        bytes = "!HZL";
        break;
    default:
        break;
    }
    bytes.append(reinterpret_cast<const char *>(data + 1), size - 1);

    // The work is bounded by the stated size; beyond a few pieces a larger one
    // only slows the search down.
    if (bytes.size() >= 8) {
        const std::uint32_t stated = std::uint32_t(std::uint8_t(bytes[4])) | (std::uint32_t(std::uint8_t(bytes[5])) << 8)
            | (std::uint32_t(std::uint8_t(bytes[6])) << 16) | (std::uint32_t(std::uint8_t(bytes[7])) << 24);
        if (stated > (1u << 20) && stated < 0x80000000u)
            return 0;
    }

    static ballwick::Tlzrw1 lz;
    std::istringstream in(bytes);
    std::ostringstream out;
    lz.UseStream = true;
    lz.InputStream = &in;
    lz.OutputStream = &out;
    try {
        const std::int64_t written = lz.Decompress();
        if (bytes.size() < 8)
            std::abort();
        const std::int32_t stated = static_cast<std::int32_t>(
            std::uint32_t(std::uint8_t(bytes[4])) | (std::uint32_t(std::uint8_t(bytes[5])) << 8)
            | (std::uint32_t(std::uint8_t(bytes[6])) << 16) | (std::uint32_t(std::uint8_t(bytes[7])) << 24));
        if (written != stated || static_cast<std::int64_t>(out.str().size()) != written)
            std::abort();
    } catch (const ballwick::ELzrw1Exception &) {
    }
    return 0;
}

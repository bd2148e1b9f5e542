// decompress(compress(x)) == x for both methods, through the whole container;
// inputs above 32 KiB reach the second block of LZRW1/KH.
#include "tally/tlzrw1.h"

#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

namespace {

std::string pack(ballwick::Tlzrw1 &lz, const std::string &data, ballwick::TCompressMode mode)
{
    std::istringstream in(data);
    std::ostringstream out;
    lz.UseStream = true;
    lz.InputStream = &in;
    lz.OutputStream = &out;
    lz.CompressMode = mode;
    const std::int64_t written = lz.Compress();
    if (written != static_cast<std::int64_t>(out.str().size()))
        std::abort();
    return out.str();
}

std::string unpack(ballwick::Tlzrw1 &lz, const std::string &data)
{
    std::istringstream in(data);
    std::ostringstream out;
    lz.InputStream = &in;
    lz.OutputStream = &out;
    lz.Decompress();
    return out.str();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static ballwick::Tlzrw1 lz;
    const std::string x(reinterpret_cast<const char *>(data), size);
    for (auto mode : {ballwick::TCompressMode::Fast, ballwick::TCompressMode::Good}) {
        if (unpack(lz, pack(lz, x, mode)) != x)
            std::abort();
    }
    return 0;
}

// Compress and decompress speed (of uncompressed bytes) and ratio of the two
// tally-file methods beside LZ4 (default) and zlib levels 1 and 6, on:
//   fortunes  - the fortunes package's prose joined into one buffer
//   licenses  - the texts in /usr/share/common-licenses joined
//   random    - 1 MiB of seeded pseudo-random bytes
//   tally     - a full tally table as the game writes it (grid text)
// Each benchmark reports the counter "ratio" (compressed / original size).
#include "tally/gridfile.h"
#include "tally/tlzh.h"
#include "tally/tlzr.h"

#include <benchmark/benchmark.h>
#include <lz4.h>
#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using Bytes = std::string;

namespace {

Bytes joinFiles(const fs::path &dir, bool (*keep)(const fs::path &))
{
    std::vector<fs::path> files;
    std::error_code ec;
    for (const auto &e : fs::directory_iterator(dir, ec))
        if (e.is_regular_file() && !e.is_symlink() && keep(e.path()))
            files.push_back(e.path());
    std::sort(files.begin(), files.end());
    Bytes all;
    for (const auto &f : files) {
        std::ifstream in(f, std::ios::binary);
        std::stringstream ss;
        ss << in.rdbuf();
        all += ss.str();
    }
    return all;
}

Bytes tallyText()
{
    ballwick::StringGrid g(14, 12);
    const char *names[] = {"Guest", "Annie", "Bob", "Kim", "Guest", "Lee", "Mo", "Guest", "Ana", "Ted"};
    const int scores[] = {412, 398, 377, 350, 333, 301, 287, 260, 244, 219};
    const int counters[] = {0, 1287, 24, 3, 41, 17, 95, 612, 22, 31, 12, 9, 2};
    g.setCell(0, 0, "0");
    for (int c = 1; c <= 12; ++c)
        g.setCell(c, 0, std::to_string(counters[c]));
    for (int r = 1; r <= 10; ++r) {
        g.setCell(0, r, std::to_string(r % 12 + 1) + "/" + std::to_string(r * 7 % 28 + 1) + "/2026");
        g.setCell(1, r, std::to_string(scores[r - 1]));
        g.setCell(2, r, names[r - 1]);
    }
    return ballwick::gridtext(g);
}

const Bytes &corpus(int which)
{
    static const std::vector<Bytes> all = [] {
        std::vector<Bytes> v(4);
        v[0] = joinFiles("/usr/share/games/fortunes", [](const fs::path &p) {
            const auto ext = p.extension();
            return ext != ".dat" && ext != ".u8";
        });
        v[1] = joinFiles("/usr/share/common-licenses", [](const fs::path &) { return true; });
        std::mt19937 rng(20261207);
        v[2].resize(1 << 20);
        for (auto &c : v[2])
            c = static_cast<char>(rng() >> 24);
        v[3] = tallyText();
        return v;
    }();
    return all[static_cast<std::size_t>(which)];
}

const char *corpusName(int which)
{
    static const char *names[] = {"fortunes", "licenses", "random", "tally"};
    return names[which];
}

// --- the codecs, whole buffer in, whole buffer out ---

struct Lzrw1kh
{
    ballwick::TLZR lzr;
    Bytes compress(const Bytes &in)
    {
        Bytes out;
        out.reserve(in.size() + in.size() / 32768 * 3 + 64);
        std::vector<std::uint8_t> block(ballwick::TLZR::kBufferSize);
        std::size_t pos = 0;
        for (;;) {
            const int n = static_cast<int>(std::min<std::size_t>(32768, in.size() - pos));
            const int len = lzr.CompressBlock(reinterpret_cast<const std::uint8_t *>(in.data()) + pos, n, block.data());
            out += static_cast<char>(len & 0xFF);
            out += static_cast<char>(len >> 8);
            out.append(reinterpret_cast<const char *>(block.data()), static_cast<std::size_t>(len));
            pos += static_cast<std::size_t>(n);
            if (n < 32768)
                break;
        }
        return out;
    }
    Bytes decompress(const Bytes &in, std::size_t size)
    {
        Bytes out(size + ballwick::TLZR::kSlack, '\0');
        std::size_t pos = 0, y = 0;
        const auto *p = reinterpret_cast<const std::uint8_t *>(in.data());
        for (;;) {
            const int len = p[pos] | (p[pos + 1] << 8);
            const int m = lzr.DecompressBlock(p + pos + 2, len, reinterpret_cast<std::uint8_t *>(out.data()) + y);
            pos += 2 + static_cast<std::size_t>(len);
            y += static_cast<std::size_t>(m);
            if (m != 32768)
                break;
        }
        out.resize(y);
        return out;
    }
};

struct Lzh
{
    ballwick::TLZH lzh;
    Bytes compress(const Bytes &in)
    {
        Bytes out;
        std::size_t pos = 0;
        lzh.Encode(
            [&](std::uint8_t *b, std::size_t cap) {
                const std::size_t n = std::min(cap, in.size() - pos);
                std::memcpy(b, in.data() + pos, n);
                pos += n;
                return n;
            },
            [&](const std::uint8_t *b, std::size_t n) { out.append(reinterpret_cast<const char *>(b), n); });
        return out;
    }
    Bytes decompress(const Bytes &in, std::size_t size)
    {
        Bytes out;
        out.reserve(size);
        std::size_t pos = 0;
        lzh.Decode(
            static_cast<std::int64_t>(size),
            [&](std::uint8_t *b, std::size_t cap) -> std::size_t {
                const std::size_t n = std::min(cap, in.size() - pos);
                std::memcpy(b, in.data() + pos, n);
                pos += n;
                return n;
            },
            [&](const std::uint8_t *b, std::size_t n) { out.append(reinterpret_cast<const char *>(b), n); });
        return out;
    }
};

struct Lz4
{
    Bytes compress(const Bytes &in)
    {
        Bytes out(static_cast<std::size_t>(LZ4_compressBound(static_cast<int>(in.size()))), '\0');
        const int n = LZ4_compress_default(in.data(), out.data(), static_cast<int>(in.size()), static_cast<int>(out.size()));
        out.resize(static_cast<std::size_t>(n));
        return out;
    }
    Bytes decompress(const Bytes &in, std::size_t size)
    {
        Bytes out(size, '\0');
        LZ4_decompress_safe(in.data(), out.data(), static_cast<int>(in.size()), static_cast<int>(size));
        return out;
    }
};

template <int Level>
struct Zlib
{
    Bytes compress(const Bytes &in)
    {
        uLongf n = compressBound(static_cast<uLong>(in.size()));
        Bytes out(n, '\0');
        compress2(reinterpret_cast<Bytef *>(out.data()), &n, reinterpret_cast<const Bytef *>(in.data()),
                  static_cast<uLong>(in.size()), Level);
        out.resize(n);
        return out;
    }
    Bytes decompress(const Bytes &in, std::size_t size)
    {
        Bytes out(size, '\0');
        uLongf n = static_cast<uLongf>(size);
        uncompress(reinterpret_cast<Bytef *>(out.data()), &n, reinterpret_cast<const Bytef *>(in.data()),
                   static_cast<uLong>(in.size()));
        return out;
    }
};

template <class Codec>
void Compress(benchmark::State &state)
{
    const Bytes &in = corpus(static_cast<int>(state.range(0)));
    if (in.empty()) {
        state.SkipWithError("corpus not installed");
        return;
    }
    Codec codec;
    std::size_t packed = 0;
    for (auto _ : state) {
        Bytes out = codec.compress(in);
        packed = out.size();
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * in.size()));
    state.counters["ratio"] = static_cast<double>(packed) / static_cast<double>(in.size());
    state.SetLabel(corpusName(static_cast<int>(state.range(0))));
}

template <class Codec>
void Decompress(benchmark::State &state)
{
    const Bytes &in = corpus(static_cast<int>(state.range(0)));
    if (in.empty()) {
        state.SkipWithError("corpus not installed");
        return;
    }
    Codec codec;
    const Bytes packed = codec.compress(in);
    if (codec.decompress(packed, in.size()) != in) {
        state.SkipWithError("round trip failed");
        return;
    }
    for (auto _ : state) {
        Bytes out = codec.decompress(packed, in.size());
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * in.size()));
    state.counters["ratio"] = static_cast<double>(packed.size()) / static_cast<double>(in.size());
    state.SetLabel(corpusName(static_cast<int>(state.range(0))));
}

#define BW_CODEC(Codec, LABEL)                                                                             \
    BENCHMARK_TEMPLATE(Compress, Codec)->Name("compress/" LABEL)->DenseRange(0, 3)->Unit(benchmark::kMicrosecond); \
    BENCHMARK_TEMPLATE(Decompress, Codec)->Name("decompress/" LABEL)->DenseRange(0, 3)->Unit(benchmark::kMicrosecond);

BW_CODEC(Lzrw1kh, "lzrw1kh")
BW_CODEC(Lzh, "lzh")
BW_CODEC(Lz4, "lz4")
BW_CODEC(Zlib<1>, "zlib1")
BW_CODEC(Zlib<6>, "zlib6")

} // namespace

BENCHMARK_MAIN();

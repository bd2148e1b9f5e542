// The compressor component: containers by example, both methods through
// files and streams, the failure messages and the removal of failed output.
#include "tally/tlzrw1.h"
#include "tallytest.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <sstream>
#include <vector>

using ballwick::ELzrw1Exception;
using ballwick::TCompressMode;
using ballwick::Tlzrw1;
using namespace tallytest;

namespace {

std::string bytes(std::initializer_list<int> list)
{
    std::string s;
    for (int b : list)
        s += static_cast<char>(b);
    return s;
}

struct Fixture : ::testing::Test
{
    ScratchDir dir;
    Tlzrw1 lz;
    std::string in = dir.file("temp.txt");
    std::string packed = dir.file("ballwicktally.tld");
    std::string out = dir.file("out.txt");

    std::string pack(const std::string &data, TCompressMode mode)
    {
        writeFile(in, data);
        lz.InputFile = in;
        lz.OutputFile = packed;
        lz.CompressMode = mode;
        const std::int64_t n = lz.Compress();
        const std::string result = readFile(packed);
        EXPECT_EQ(n, static_cast<std::int64_t>(result.size()));
        return result;
    }
    std::string unpack(const std::string &container)
    {
        writeFile(packed, container);
        lz.InputFile = packed;
        lz.OutputFile = out;
        const std::int64_t n = lz.Decompress();
        const std::string result = readFile(out);
        EXPECT_EQ(n, static_cast<std::int64_t>(result.size()));
        return result;
    }
    // The message of a failing Decompress; the output must be gone.
    std::string unpackError(const std::string &container)
    {
        writeFile(packed, container);
        std::filesystem::remove(out);
        lz.InputFile = packed;
        lz.OutputFile = out;
        std::string message = "no error";
        try {
            lz.Decompress();
        } catch (const ELzrw1Exception &e) {
            message = e.what();
        }
        EXPECT_FALSE(exists(out)) << message;
        return message;
    }
};

using Container = Fixture;

} // namespace

TEST_F(Container, FastByExample)
{
    EXPECT_EQ(pack("", TCompressMode::Fast), bytes({0x57, 0x52, 0x5A, 0x4C, 0, 0, 0, 0, 0x01, 0x00, 0x80}));
    EXPECT_EQ(pack(std::string(20, 'a'), TCompressMode::Fast),
              bytes({0x57, 0x52, 0x5A, 0x4C, 0x14, 0, 0, 0, 0x07, 0x00, 0x40, 0x80, 0x00, 0x00, 0x00, 0x04, 0x61}));
    EXPECT_EQ(unpack(bytes({0x57, 0x52, 0x5A, 0x4C, 0, 0, 0, 0, 0x01, 0x00, 0x80})), "");
    EXPECT_EQ(unpack(bytes({0x57, 0x52, 0x5A, 0x4C, 0x14, 0, 0, 0, 0x07, 0x00, 0x40, 0x80, 0x00, 0x00, 0x00, 0x04, 0x61})),
              std::string(20, 'a'));

    // Exactly one piece: an empty block follows, and the reader stops there
    // even with bytes after it.
    std::mt19937 rng(1);
    std::string piece(32768, '\0');
    for (auto &c : piece)
        c = static_cast<char>(rng());
    const std::string two = pack(piece, TCompressMode::Fast);
    ASSERT_EQ(two.size(), 8u + 2 + 32769 + 3);
    EXPECT_EQ(two.substr(0, 8), bytes({0x57, 0x52, 0x5A, 0x4C, 0x00, 0x80, 0, 0}));
    EXPECT_EQ(two.substr(8, 3), bytes({0x01, 0x80, 0x80}));
    EXPECT_EQ(two.substr(two.size() - 3), bytes({0x01, 0x00, 0x80}));
    EXPECT_EQ(unpack(two + "trailing"), piece);
}

TEST_F(Container, GoodByExample)
{
    EXPECT_EQ(pack("", TCompressMode::Good), bytes({0x21, 0x48, 0x5A, 0x4C, 0, 0, 0, 0, 0xD6, 0x00}));
    EXPECT_EQ(pack("a", TCompressMode::Good), bytes({0x21, 0x48, 0x5A, 0x4C, 1, 0, 0, 0, 0xF6, 0x80}));
    EXPECT_EQ(unpack(bytes({0x21, 0x48, 0x5A, 0x4C, 1, 0, 0, 0, 0xF6, 0x80})), "a");
    EXPECT_EQ(unpack(bytes({0x21, 0x48, 0x5A, 0x4C, 0, 0, 0, 0, 0xD6, 0x00})), "");
}

TEST_F(Container, BothMethodsRoundTripThroughFiles)
{
    std::mt19937 rng(9);
    std::string noise(40000, '\0');
    for (auto &c : noise)
        c = static_cast<char>(rng());
    for (const std::string &data : {sampleText(100000, 2), noise, sampleText(65536, 4), std::string("  x")}) {
        for (auto mode : {TCompressMode::Fast, TCompressMode::Good}) {
            const std::string c = pack(data, mode);
            EXPECT_TRUE(unpack(c) == data) << data.size();
        }
    }
}

TEST_F(Container, DamagedContainersFailAndLeaveNoOutput)
{
    const std::string text = sampleText(50000, 8);
    const std::string fast = pack(text, TCompressMode::Fast);
    const std::string good = pack(text, TCompressMode::Good);
    const std::string readError = "Lzrw1 : Error reading from input file : " + packed;
    const std::string sizesKh = "Lzrw1 (decompression LZRW1/KH) : Original and compressed sizes do not match !";

    EXPECT_EQ(unpackError("PK\x03\x04 not ours"), packed + " : Lzrw1 decompression : this file has no valid header !");
    EXPECT_EQ(unpackError("WRZ"), readError);
    EXPECT_EQ(unpackError(fast.substr(0, fast.size() - 1)), readError);
    EXPECT_EQ(unpackError(fast.substr(0, 9)), readError);

    // The size field disagrees with the blocks, either way.
    std::string wrong = fast;
    wrong[4] = static_cast<char>(wrong[4] + 1);
    EXPECT_EQ(unpackError(wrong), sizesKh);
    wrong = fast;
    wrong[4] = static_cast<char>(wrong[4] - 1);
    EXPECT_EQ(unpackError(wrong), sizesKh);

    // A block length beyond a stored piece, and a damaged block.
    EXPECT_EQ(unpackError(bytes({0x57, 0x52, 0x5A, 0x4C, 1, 0, 0, 0, 0x02, 0x80}) + std::string(0x8002, 'x')), sizesKh);
    EXPECT_EQ(unpackError(bytes({0x57, 0x52, 0x5A, 0x4C, 4, 0, 0, 0, 0x05, 0x00, 0x40, 0x40, 0x00, 'a', 0x00})), sizesKh);

    // LZH: cut short, and a stated size that ends inside a match.
    EXPECT_EQ(unpackError(good.substr(0, good.size() / 2)), readError + " (LZH)");
    const std::string spaces = pack(std::string(30, ' '), TCompressMode::Good);
    std::string overshoot = spaces;
    overshoot[4] = 5;
    EXPECT_EQ(unpackError(overshoot), "Lzrw1 (LZH decompression) : Original and compressed sizes do not match !");
}

TEST_F(Container, OpenFailures)
{
    lz.CompressMode = TCompressMode::Fast;
    lz.InputFile = dir.file("missing.txt");
    lz.OutputFile = packed;
    try {
        lz.Compress();
        FAIL();
    } catch (const ELzrw1Exception &e) {
        EXPECT_EQ(std::string(e.what()), "Lzrw1 compression : Failed to obtain the size of : " + lz.InputFile);
    }
    EXPECT_FALSE(exists(packed));
    try {
        lz.Decompress();
        FAIL();
    } catch (const ELzrw1Exception &e) {
        EXPECT_EQ(std::string(e.what()), "Lzrw1 (de)compression : Failed to open input file : " + lz.InputFile);
    }

    writeFile(in, "some text");
    lz.InputFile = in;
    lz.OutputFile = dir.file("no/such/dir/x.tld");
    try {
        lz.Compress();
        FAIL();
    } catch (const ELzrw1Exception &e) {
        EXPECT_EQ(std::string(e.what()), "Lzrw1 (de)compression : Failed to open output file : " + lz.OutputFile);
    }

    // Packing a file onto itself would destroy it before it is read.
    lz.OutputFile = in;
    EXPECT_THROW(lz.Compress(), ELzrw1Exception);
    EXPECT_EQ(readFile(in), "some text");

    // A full disk (here a file size limit): the write error, and the output
    // this operation created is gone.
    writeFile(in, sampleText(100000));
    lz.OutputFile = packed;
    {
        FileSizeLimit full(1000);
        try {
            lz.Compress();
            FAIL();
        } catch (const ELzrw1Exception &e) {
            EXPECT_EQ(std::string(e.what()), "Lzrw1 : Error writing to output file : " + packed);
        }
    }
    EXPECT_FALSE(exists(packed));
}

// Only an output file that the operation itself created is removed after a
// failure: a file, a symlink or a FIFO that was there before stays.
TEST_F(Container, AFailureNeverRemovesWhatWasThereBefore)
{
    writeFile(in, sampleText(100000));
    lz.InputFile = in;
    lz.CompressMode = TCompressMode::Fast;

    const std::string target = dir.file("target");
    writeFile(target, "the player's file");
    const std::string link = dir.file("link");
    std::filesystem::create_symlink(target, link);
    for (const std::string &name : {target, link}) {
        lz.OutputFile = name;
        FileSizeLimit full(1000);
        EXPECT_THROW(lz.Compress(), ELzrw1Exception) << name;
    }
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_TRUE(exists(target));

    // A FIFO without a reader: refused at once instead of blocking, and kept.
    const std::string fifo = dir.file("fifo");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    lz.OutputFile = fifo;
    try {
        lz.Compress();
        FAIL();
    } catch (const ELzrw1Exception &e) {
        EXPECT_EQ(std::string(e.what()), "Lzrw1 (de)compression : Failed to open output file : " + fifo);
    }
    EXPECT_TRUE(std::filesystem::is_fifo(fifo));

    // A damaged container expanded over an existing file leaves the file.
    writeFile(packed, "WRZL\x05\0\0\0\x07\0\x80xyz");
    writeFile(out, "old");
    lz.InputFile = packed;
    lz.OutputFile = out;
    EXPECT_THROW(lz.Decompress(), ELzrw1Exception);
    EXPECT_TRUE(exists(out));
}

TEST_F(Container, AStatedSizeAboveTheLimitIsRefusedBeforeExpanding)
{
    // 2 GB claimed; a single stored block follows.
    const std::string claim = bytes({0x57, 0x52, 0x5A, 0x4C, 0x00, 0x00, 0x00, 0x7F, 0x04, 0x00, 0x80, 'a', 'b', 'c'});
    lz.SizeLimit = 1 << 20;
    EXPECT_EQ(unpackError(claim), "Lzrw1 (decompression LZRW1/KH) : Original and compressed sizes do not match !");
    const std::string lzh = bytes({0x21, 0x48, 0x5A, 0x4C, 0x01, 0x00, 0x10, 0x00, 0xF6, 0x80});
    EXPECT_EQ(unpackError(lzh), "Lzrw1 (LZH decompression) : Original and compressed sizes do not match !");
    // At the limit itself it expands.
    const std::string big(1 << 20, 'q');
    lz.SizeLimit = -1;
    const std::string container = pack(big, TCompressMode::Fast);
    lz.SizeLimit = 1 << 20;
    EXPECT_EQ(unpack(container), big);
}

TEST_F(Container, ProgressAndMessagePump)
{
    std::vector<std::string> texts;
    int pumped = 0;
    lz.OnProgress = [&](const std::string &t) { texts.push_back(t); };
    lz.ProcessMessages = [&] { ++pumped; };

    pack(std::string(40000, 'b'), TCompressMode::Fast);
    // Two pieces: each read and each write lets messages run.
    EXPECT_EQ(pumped, 4);
    ASSERT_EQ(texts.size(), 3u);
    // The first piece: eight runs of 4095, a literal, a match of 7 - a block
    // of 3 + 32 + 1 + 2 bytes after the header and its length.
    EXPECT_EQ(texts[0], "(LZRW1/KH) Bytes in : 32768 Bytes out : 48");
    EXPECT_EQ(texts[2].rfind(in + " : Lzrw1 : successfully compressed at ", 0), 0u);
    EXPECT_EQ(texts[2].back(), '%');

    texts.clear();
    pumped = 0;
    unpack(readFile(packed));
    EXPECT_EQ(pumped, 4);
    EXPECT_EQ(texts.back().rfind(packed + " : Lzrw1 : successfully decompressed at ", 0), 0u);

    texts.clear();
    pack("abc", TCompressMode::Good);
    EXPECT_EQ(texts.front().rfind("(LZH) Bytes in : 3 Bytes out : ", 0), 0u);
}

TEST_F(Container, AdviseSamplesTwoPieces)
{
    std::vector<std::string> texts;
    lz.OnProgress = [&](const std::string &t) { texts.push_back(t); };
    lz.InputFile = in;

    writeFile(in, std::string(98303, 'x'));
    lz.CompressMode = TCompressMode::Fast;
    EXPECT_EQ(lz.Advise(), TCompressMode::Good);
    EXPECT_EQ(lz.CompressMode, TCompressMode::Good); // a small file sets the mode
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0], "Guessing the best compression mode for : " + in);
    EXPECT_EQ(texts[1], "Lzrw1 recommends GOOD compression :  small file !!");

    // Runs compress to almost nothing: Fast.
    texts.clear();
    writeFile(in, std::string(98304, 'x'));
    EXPECT_EQ(lz.Advise(), TCompressMode::Fast);
    EXPECT_EQ(texts.back(), "Lzrw1 recommends FAST compression : 0%.");

    // Noise does not compress: Good, with the percentage.
    std::mt19937 rng(3);
    std::string noise(200000, '\0');
    for (auto &c : noise)
        c = static_cast<char>(rng());
    writeFile(in, noise);
    EXPECT_EQ(lz.Advise(), TCompressMode::Good);
    EXPECT_EQ(texts.back(), "Lzrw1 recommends GOOD compression : 100%.");

    // Auto packs with the advice: LZH for noise, LZRW1/KH for the runs.
    EXPECT_EQ(pack(noise, TCompressMode::Auto).substr(0, 4), "!HZL");
    EXPECT_EQ(pack(std::string(200000, 'x'), TCompressMode::Auto).substr(0, 4), "WRZL");

    lz.InputFile = dir.file("missing");
    try {
        lz.Advise();
        FAIL();
    } catch (const ELzrw1Exception &e) {
        EXPECT_EQ(std::string(e.what()), "Lzrw1 advise : can not get the size of : " + lz.InputFile);
    }
}

TEST(ContainerStream, StreamsWorkAndUseTheStreamWording)
{
    Tlzrw1 lz;
    lz.UseStream = true;
    const std::string text = sampleText(70000, 6);
    for (auto mode : {TCompressMode::Fast, TCompressMode::Good}) {
        std::istringstream src(text);
        std::ostringstream packed;
        lz.InputStream = &src;
        lz.OutputStream = &packed;
        lz.CompressMode = mode;
        const std::int64_t written = lz.Compress();
        EXPECT_EQ(written, static_cast<std::int64_t>(packed.str().size()));

        std::istringstream back(packed.str());
        std::ostringstream plain;
        lz.InputStream = &back;
        lz.OutputStream = &plain;
        const std::int64_t expanded = lz.Decompress();
        EXPECT_EQ(expanded, static_cast<std::int64_t>(text.size()));
        EXPECT_TRUE(plain.str() == text);
    }

    std::istringstream bad("nothing like a header");
    std::ostringstream sink;
    lz.InputStream = &bad;
    lz.OutputStream = &sink;
    try {
        lz.Decompress();
        FAIL();
    } catch (const ELzrw1Exception &e) {
        EXPECT_STREQ(e.what(), "Lzrw1 decompression : input stream contains no valid header !");
    }
    std::istringstream cut(std::string("WRZL\x05\0\0\0", 8));
    lz.InputStream = &cut;
    try {
        lz.Decompress();
        FAIL();
    } catch (const ELzrw1Exception &e) {
        EXPECT_STREQ(e.what(), "Lzrw1 : Error reading from input stream !");
    }
    lz.InputStream = nullptr;
    try {
        lz.Compress();
        FAIL();
    } catch (const ELzrw1Exception &e) {
        EXPECT_STREQ(e.what(), "Lzrw1 compression : Failed to obtain the size of the input stream !");
    }
}

namespace {

// FNV-1a, 64 bits: a fingerprint of a whole container.
std::uint64_t fingerprint(const std::string &s)
{
    std::uint64_t h = 14695981039346656037ull;
    for (unsigned char c : s) {
        h ^= c;
        h *= 1099511628211ull;
    }
    return h;
}

// Inputs that reach every kind of item: text over several pieces, bytes below
// and above a blank at the start, runs inside a long piece, and bytes with no
// repeats at all.
std::vector<std::string> pinnedInputs()
{
    std::string edges = "  \t\x01 \x7f\xff  abc";
    edges += std::string(300, ' ') + "\x1f\x21" + tallytest::sampleText(5000, 9);
    std::string runs;
    for (int i = 0; runs.size() < 40000; ++i)
        runs += std::string(size_t(3 + i % 29), char('a' + i % 5)) + "xyz" + std::to_string(i);
    std::string noise;
    std::uint32_t x = 77;
    for (int i = 0; i < 50000; ++i) {
        x = x * 1664525u + 1013904223u;
        noise += static_cast<char>(x >> 24);
    }
    return {tallytest::sampleText(70000, 3), edges, runs, noise};
}

} // namespace

// The stored form must not change by a single byte, however the coders are
// made faster: old tally files and other programs read it.
TEST_F(Container, TheBytesOfFixedInputsNeverChange)
{
    const std::vector<std::string> inputs = pinnedInputs();
    std::vector<std::uint64_t> fast, good;
    for (const std::string &input : inputs) {
        const std::string f = pack(input, TCompressMode::Fast);
        const std::string g = pack(input, TCompressMode::Good);
        fast.push_back(fingerprint(f));
        good.push_back(fingerprint(g));
        EXPECT_EQ(unpack(f), input);
        EXPECT_EQ(unpack(g), input);
    }
    const std::vector<std::uint64_t> expectFast{0x67ec3e8b305bfc32ull, 0xe353131ee9bbfd7aull,
                                                0x22978740d2729af5ull, 0x854706801929623aull};
    const std::vector<std::uint64_t> expectGood{0x0356071e35642bafull, 0x7acc5f03c598bfddull,
                                                0x3b9f4d515839ff1full, 0xc40e38d7d47d93ebull};
    EXPECT_EQ(fast, expectFast);
    EXPECT_EQ(good, expectGood);
}

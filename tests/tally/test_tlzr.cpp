// The LZRW1/KH block coder: the block format by example, every piece length,
// and damaged blocks.
#include "tally/tlzr.h"
#include "tallytest.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

using ballwick::TLZR;
using Bytes = std::vector<std::uint8_t>;

namespace {

Bytes bytes(const std::string &s)
{
    return Bytes(s.begin(), s.end());
}

Bytes compress(TLZR &lzr, const Bytes &piece)
{
    Bytes out(piece.size() + TLZR::kSlack);
    const int len = lzr.CompressBlock(piece.data(), static_cast<int>(piece.size()), out.data());
    out.resize(static_cast<std::size_t>(len));
    return out;
}

// Expands a block held in a buffer of exactly its length; -1 when rejected.
int expand(TLZR &lzr, const Bytes &block, Bytes *piece = nullptr)
{
    Bytes out(TLZR::kBufferSize);
    const int n = lzr.DecompressBlock(block.data(), static_cast<int>(block.size()), out.data());
    if (piece && n >= 0)
        piece->assign(out.begin(), out.begin() + n);
    return n;
}

} // namespace

TEST(LzrwBlock, FormatByExample)
{
    TLZR lzr;
    // One run item of twenty "a".
    EXPECT_EQ(compress(lzr, bytes(std::string(20, 'a'))), (Bytes{0x40, 0x80, 0x00, 0x00, 0x00, 0x04, 0x61}));
    // Three literals and a match of distance 3, length 9.
    EXPECT_EQ(compress(lzr, bytes("abcabcabcabc")), (Bytes{0x40, 0x10, 0x00, 0x61, 0x62, 0x63, 0x00, 0x36}));
    // Too short to gain: stored.
    EXPECT_EQ(compress(lzr, bytes("abc")), (Bytes{0x80, 0x61, 0x62, 0x63}));
    EXPECT_EQ(compress(lzr, Bytes{}), (Bytes{0x80}));
    // Seventeen items: a second control word after the first sixteen. Sixteen
    // literals "abcdefghijklmnop", then the match of 16 at distance 16.
    const Bytes twice = bytes("abcdefghijklmnopabcdefghijklmnop");
    Bytes expected{0x40, 0x00, 0x00};
    expected.insert(expected.end(), twice.begin(), twice.begin() + 16);
    const Bytes tail{0x80, 0x00, 0x01, 0x0D}; // control 1000..., K = 16 * 16 + 13
    expected.insert(expected.end(), tail.begin(), tail.end());
    EXPECT_EQ(compress(lzr, twice), expected);

    // The decoder reads the hand-made forms back.
    Bytes piece;
    EXPECT_EQ(expand(lzr, Bytes{0x40, 0x80, 0x00, 0x00, 0x00, 0x04, 0x61}, &piece), 20);
    EXPECT_EQ(piece, bytes(std::string(20, 'a')));
    EXPECT_EQ(expand(lzr, Bytes{0x40, 0x10, 0x00, 0x61, 0x62, 0x63, 0x00, 0x36}, &piece), 12);
    EXPECT_EQ(piece, bytes("abcabcabcabc"));
    EXPECT_EQ(expand(lzr, Bytes{0x80, 0x61, 0x62, 0x63}, &piece), 3);
    EXPECT_EQ(piece, bytes("abc"));
    EXPECT_EQ(expand(lzr, Bytes{0x80}), 0);
    EXPECT_EQ(expand(lzr, Bytes{}), 0);
}

TEST(LzrwBlock, RunsAndMatchesAtTheirLimits)
{
    TLZR lzr;
    // A run stops at 4095; the rest is a further item.
    Bytes piece(5000, 'z');
    Bytes block = compress(lzr, piece);
    ASSERT_GE(block.size(), 7u);
    EXPECT_EQ(Bytes(block.begin(), block.begin() + 7), (Bytes{0x40, 0xC0, 0x00, 0x00, 0x0F, 0xEF, 'z'}));
    Bytes back;
    EXPECT_EQ(expand(lzr, block, &back), 5000);
    EXPECT_EQ(back, piece);

    // Fifteen equal bytes are no run: a literal, then a match of 14 at distance 1.
    EXPECT_EQ(compress(lzr, bytes(std::string(15, 'q'))), (Bytes{0x40, 0x40, 0x00, 'q', 0x00, 0x1B}));

    // A repeat 4095 bytes back is in reach, 4096 is not.
    for (const int distance : {4095, 4096}) {
        Bytes reach(static_cast<std::size_t>(distance) + 3);
        for (std::size_t i = 0; i < reach.size(); ++i)
            reach[i] = static_cast<std::uint8_t>('A' + (i * 7 + i / 26) % 26);
        reach[0] = reach[distance] = 'x';
        reach[1] = reach[distance + 1] = 'y';
        reach[2] = reach[distance + 2] = 'z';
        TLZR table;
        int pos = -1, len = 0;
        const int n = static_cast<int>(reach.size());
        EXPECT_FALSE(table.FindMatch(reach.data(), n, 0, pos, len));
        EXPECT_EQ(table.FindMatch(reach.data(), n, distance, pos, len), distance == 4095);
        if (distance == 4095) {
            EXPECT_EQ(pos, 0);
            EXPECT_EQ(len, 3);
        }
    }
}

namespace {

// The block rules followed one step at a time, with no shortcuts: the coder's
// quick paths must give these bytes exactly.
Bytes plainBlock(const Bytes &in)
{
    const int n = static_cast<int>(in.size());
    std::vector<int> table(4096, -1);
    Bytes out(in.size() + 64);
    out[0] = 0x40;
    int x = 0, y = 3, z = 1, items = 0;
    unsigned w = 0;
    while (x < n && y <= n) {
        if (items == 16) {
            out[z] = static_cast<std::uint8_t>(w >> 8);
            out[z + 1] = static_cast<std::uint8_t>(w);
            z = y;
            y += 2;
            items = 0;
        }
        int run = 1;
        while (run < 4095 && x + run < n && in[x + run] == in[x])
            ++run;
        int len = 0, pos = 0;
        if (run < 16 && x + 3 <= n) {
            std::uint32_t h = ((((std::uint32_t(in[x]) << 4) ^ in[x + 1]) << 4) ^ in[x + 2]) * 40543u;
            h = (h >> 4) & 0x0FFF;
            pos = table[h];
            table[h] = x;
            if (pos != -1 && x - pos < 4096) {
                while (len < 18 && x + len < n && in[x + len] == in[pos + len])
                    ++len;
            }
        }
        if (run >= 16) {
            out[y] = 0;
            out[y + 1] = static_cast<std::uint8_t>((run - 16) >> 8);
            out[y + 2] = static_cast<std::uint8_t>(run - 16);
            out[y + 3] = in[x];
            y += 4;
            x += run;
            w = w * 2 + 1;
        } else if (len >= 3) {
            const unsigned k = unsigned(x - pos) * 16 + unsigned(len - 3);
            out[y] = static_cast<std::uint8_t>(k >> 8);
            out[y + 1] = static_cast<std::uint8_t>(k);
            y += 2;
            x += len;
            w = w * 2 + 1;
        } else {
            out[y++] = in[x++];
            w = w * 2;
        }
        w &= 0xFFFF;
        ++items;
    }
    w = (w << (16 - items)) & 0xFFFF;
    out[z] = static_cast<std::uint8_t>(w >> 8);
    out[z + 1] = static_cast<std::uint8_t>(w);
    if (y > n) {
        Bytes stored{0x80};
        stored.insert(stored.end(), in.begin(), in.end());
        return stored;
    }
    out.resize(static_cast<std::size_t>(y));
    return out;
}

} // namespace

// Text, runs of every length, random bytes and mixtures, at lengths around
// where the coder changes its way of working (short pieces, the last bytes of
// a piece, an output about to outgrow the input).
TEST(LzrwBlock, SameBytesAsTheRulesStepByStep)
{
    TLZR lzr;
    std::mt19937 rng(5);
    auto check = [&](const Bytes &piece) {
        ASSERT_EQ(compress(lzr, piece), plainBlock(piece)) << "piece of " << piece.size() << " bytes";
    };
    const std::string text = tallytest::sampleText(TLZR::kPieceSize, 7);
    Bytes noise(TLZR::kPieceSize);
    for (auto &c : noise)
        c = static_cast<std::uint8_t>(rng());
    for (int n : {0, 1, 2, 3, 4, 18, 19, 20, 63, 64, 255, 256, 257, 300, 1000, 4095, 4096, 4097, 20000, 32767, 32768}) {
        const auto cut = static_cast<std::size_t>(n);
        check(Bytes(text.begin(), text.begin() + static_cast<long>(cut)));
        check(Bytes(noise.begin(), noise.begin() + static_cast<long>(cut)));
        // mostly noise, so the output nears the input's length before the end
        Bytes mixed(noise.begin(), noise.begin() + static_cast<long>(cut));
        for (std::size_t i = 0; i + 40 < cut; i += 97)
            std::memcpy(&mixed[i], text.data() + i, 40);
        check(mixed);
    }
    // runs of 15 to 40 equal bytes ending at every place near the piece's end
    for (int n = 256; n < 340; ++n) {
        for (int runLen : {15, 16, 17, 40}) {
            Bytes piece(text.begin(), text.begin() + n);
            for (int k = 0; k < runLen && k < n; ++k)
                piece[static_cast<std::size_t>(n - 1 - (n % 23) - k)] = 'z';
            check(piece);
        }
    }
    // pieces of many kinds and lengths
    for (int round = 0; round < 300; ++round) {
        const int n = static_cast<int>(rng() % (round % 3 ? 2000 : 32769));
        Bytes piece(static_cast<std::size_t>(n));
        const unsigned alphabet = 1 + rng() % 8;
        for (int i = 0; i < n; ++i) {
            if (i > 20 && rng() % 4 == 0) {
                const int from = i - 1 - static_cast<int>(rng() % std::min(i, 5000));
                for (int k = static_cast<int>(rng() % 25); k > 0 && i < n; --k, ++i)
                    piece[static_cast<std::size_t>(i)] = piece[static_cast<std::size_t>(from + (i - from) % 30)];
                --i;
            } else {
                piece[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>('a' + rng() % alphabet);
            }
        }
        check(piece);
    }
}

// Every piece length survives. The pieces are the prefixes of one text, in
// shards so the runner can spread them.
class LzrwEveryLength : public ::testing::TestWithParam<int>
{
};

TEST_P(LzrwEveryLength, PieceRoundTrips)
{
    static const std::string text = tallytest::sampleText(TLZR::kPieceSize, 3);
    TLZR lzr;
    Bytes block(TLZR::kBufferSize);
    Bytes back(TLZR::kBufferSize);
    const int shards = 8;
    for (int n = GetParam(); n <= TLZR::kPieceSize; n += shards) {
        const auto *piece = reinterpret_cast<const std::uint8_t *>(text.data());
        const int len = lzr.CompressBlock(piece, n, block.data());
        ASSERT_GE(len, 1);
        ASSERT_LE(len, n + 1);
        const int m = lzr.DecompressBlock(block.data(), len, back.data());
        ASSERT_EQ(m, n) << "piece length " << n;
        ASSERT_EQ(std::memcmp(back.data(), piece, static_cast<std::size_t>(n)), 0) << "piece length " << n;
    }
}

INSTANTIATE_TEST_SUITE_P(Shards, LzrwEveryLength, ::testing::Range(0, 8));

TEST(LzrwBlock, DamagedBlocksAreRejected)
{
    TLZR lzr;
    // Longer than a stored piece.
    Bytes tooLong(TLZR::kMaxBlockLength + 1, 0);
    tooLong[0] = 0x80;
    EXPECT_EQ(expand(lzr, tooLong), -1);
    Bytes storedFull(TLZR::kMaxBlockLength, 'x');
    storedFull[0] = 0x80;
    EXPECT_EQ(expand(lzr, storedFull), TLZR::kPieceSize);

    // A match reaching before the start of the piece: one literal, then distance 2.
    EXPECT_EQ(expand(lzr, Bytes{0x40, 0x40, 0x00, 'a', 0x00, 0x20}), -1);
    EXPECT_EQ(expand(lzr, Bytes{0x40, 0x40, 0x00, 'a', 0x00, 0x10}), 4);

    // Cut inside a control word, a match, a run; a control word with no item.
    EXPECT_EQ(expand(lzr, Bytes{0x40, 0x00}), -1);
    EXPECT_EQ(expand(lzr, Bytes{0x40, 0x40, 0x00, 'a', 0x00}), -1);
    EXPECT_EQ(expand(lzr, Bytes{0x40, 0x80, 0x00, 0x00, 0x00, 0x04}), -1);
    Bytes sixteen{0x40, 0x00, 0x00};
    sixteen.insert(sixteen.end(), 16, 'l');
    EXPECT_EQ(expand(lzr, sixteen), 16);
    sixteen.push_back(0x00);
    EXPECT_EQ(expand(lzr, sixteen), -1);
    sixteen.push_back(0x00);
    EXPECT_EQ(expand(lzr, sixteen), -1);

    // Past 32768 bytes: eight runs of 4096, then a literal or a match.
    Bytes runs{0x40, 0xFF, 0x00};
    for (int i = 0; i < 8; ++i)
        runs.insert(runs.end(), {0x00, 0x0F, 0xF0, 'r'});
    EXPECT_EQ(expand(lzr, runs), TLZR::kPieceSize);
    Bytes plusLiteral = runs;
    plusLiteral.push_back('!');
    EXPECT_EQ(expand(lzr, plusLiteral), -1);
    Bytes plusMatch = runs;
    plusMatch[2] = 0x80;
    plusMatch.insert(plusMatch.end(), {0x00, 0x10});
    EXPECT_EQ(expand(lzr, plusMatch), -1);
    // A run item may say up to 4111 bytes; too much for what is left.
    Bytes bigRun{0x40, 0xC0, 0x00, 0x00, 0x0F, 0xFF, 'a', 0x00, 0x0F, 0xFF, 'b'};
    Bytes piece;
    EXPECT_EQ(expand(lzr, bigRun, &piece), 8222);
}

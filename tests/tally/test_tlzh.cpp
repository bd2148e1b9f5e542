// The LZH engine on its own: the bit stream by example, round trips at the
// window's edges, and damaged streams.
#include "tally/tlzh.h"
#include "tallytest.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>

using ballwick::TLZH;

namespace {

std::string encode(const std::string &in)
{
    TLZH lzh;
    std::string out;
    std::size_t pos = 0;
    const std::int64_t n = lzh.Encode(
        [&](std::uint8_t *buf, std::size_t cap) {
            // Small pieces, so that refills happen inside the look-ahead.
            const std::size_t k = std::min({cap, in.size() - pos, std::size_t(1000)});
            std::memcpy(buf, in.data() + pos, k);
            pos += k;
            return k;
        },
        [&](const std::uint8_t *buf, std::size_t k) { out.append(reinterpret_cast<const char *>(buf), k); });
    EXPECT_EQ(n, static_cast<std::int64_t>(in.size()));
    return out;
}

TLZH::DecodeResult decode(const std::string &in, std::int64_t size, std::string &out)
{
    TLZH lzh;
    out.clear();
    std::size_t pos = 0;
    return lzh.Decode(
        size,
        [&](std::uint8_t *buf, std::size_t cap) {
            const std::size_t k = std::min(cap, in.size() - pos);
            std::memcpy(buf, in.data() + pos, k);
            pos += k;
            return k;
        },
        [&](const std::uint8_t *buf, std::size_t k) { out.append(reinterpret_cast<const char *>(buf), k); });
}

void expectRoundTrip(const std::string &data)
{
    const std::string packed = encode(data);
    std::string back;
    const TLZH::DecodeResult r = decode(packed, static_cast<std::int64_t>(data.size()), back);
    EXPECT_FALSE(r.overshoot);
    EXPECT_FALSE(r.truncated);
    EXPECT_EQ(r.written, static_cast<std::int64_t>(data.size()));
    EXPECT_TRUE(back == data) << "size " << data.size();
}

} // namespace

TEST(Lzh, BitStreamByExample)
{
    // Empty input: one literal, the space at the first coding position, whose
    // initial code is 110101100, padded with zeros.
    EXPECT_EQ(encode(""), std::string("\xD6\x00", 2));
    // One byte "a": its initial code 111101101.
    EXPECT_EQ(encode("a"), std::string("\xF6\x80", 2));
    // Twenty spaces and "x": the spaces match the window's initial content at
    // once, at the nearest position: length 20 (symbol 273, code 10011101),
    // position 0 (000 000000).
    const std::string packed = encode(std::string(20, ' ') + "x");
    ASSERT_GE(packed.size(), 3u);
    EXPECT_EQ(static_cast<unsigned char>(packed[0]), 0x9D);
    EXPECT_EQ(static_cast<unsigned char>(packed[1]), 0x00);
    EXPECT_EQ(static_cast<unsigned char>(packed[2]) & 0x80, 0);
    EXPECT_LE(packed.size(), 4u);

    std::string out;
    EXPECT_EQ(decode(std::string("\xF6\x80", 2), 1, out).written, 1);
    EXPECT_EQ(out, "a");
    EXPECT_EQ(decode(std::string("\xD6\x00", 2), 0, out).written, 0);
    EXPECT_EQ(out, "");
}

TEST(Lzh, RoundTripsAroundTheLookAheadAndWindow)
{
    const std::string text = tallytest::sampleText(70000, 11);
    for (const std::size_t n : {0u, 1u, 2u, 3u, 59u, 60u, 61u, 4095u, 4096u, 4097u, 70000u})
        expectRoundTrip(text.substr(0, n));
    expectRoundTrip(std::string(61, ' '));
    expectRoundTrip(std::string(5000, '\0'));
    expectRoundTrip("   starts with spaces" + text.substr(0, 100));

    // Incompressible bytes, long enough for the frequency limit to rebuild the
    // tree many times.
    std::mt19937 rng(42);
    std::string noise(200000, '\0');
    for (auto &c : noise)
        c = static_cast<char>(rng());
    expectRoundTrip(noise);
    // Very skewed input: long codes for the rare symbols.
    std::string skewed;
    for (int i = 0; i < 300000; ++i)
        skewed += (rng() % 1000 == 0) ? static_cast<char>(rng()) : 'e';
    expectRoundTrip(skewed);
}

TEST(Lzh, DamagedStreamsStopEarly)
{
    const std::string data = tallytest::sampleText(20000, 5);
    const std::string packed = encode(data);
    std::string out;

    // Cut short: the missing bits are not made up.
    TLZH::DecodeResult r = decode(packed.substr(0, packed.size() / 2), static_cast<std::int64_t>(data.size()), out);
    EXPECT_TRUE(r.truncated);
    EXPECT_LT(r.written, static_cast<std::int64_t>(data.size()));
    EXPECT_EQ(out, data.substr(0, out.size()));

    // An empty payload with a large stated size costs next to nothing.
    r = decode("", 2000000000, out);
    EXPECT_TRUE(r.truncated);
    EXPECT_LT(out.size(), 100u);

    // A stated size that ends inside a match: nothing past it is written.
    const std::string spaces = encode(std::string(20, ' ') + "x");
    r = decode(spaces, 5, out);
    EXPECT_TRUE(r.overshoot);
    EXPECT_LE(r.written, 5);
    EXPECT_LE(out.size(), 5u);

    // Trailing bytes after the stream are ignored.
    r = decode(packed + "garbage", static_cast<std::int64_t>(data.size()), out);
    EXPECT_FALSE(r.truncated || r.overshoot);
    EXPECT_EQ(out, data);
}

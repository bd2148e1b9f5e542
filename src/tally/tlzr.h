#pragma once
// LZRW1/KH: a block-wise LZ77 coder with a 4096-entry hash table, 12-bit
// distances, matches of 3 to 18 bytes and run items of 16 to 4095 bytes.

#include <cstdint>
#include <memory>

namespace ballwick {

class TLZR
{
public:
    static constexpr int kPieceSize = 32768;            // uncompressed bytes per block
    static constexpr int kMaxBlockLength = kPieceSize + 1; // stored form: flag + piece
    static constexpr int kSlack = 16;                   // extra room the buffers need
    static constexpr int kBufferSize = kPieceSize + kSlack;
    static constexpr std::uint8_t kCompressedFlag = 0x40;
    static constexpr std::uint8_t kStoredFlag = 0x80;

    // Allocates the hash table; throws ELzrw1KHCompressor("LZRW1KH : no memory
    // for HASH table") when it cannot.
    TLZR();
    ~TLZR();
    TLZR(const TLZR &) = delete;
    TLZR &operator=(const TLZR &) = delete;

    // Compresses a piece of n bytes (0..32768) into out, which must have room
    // for n + 16 bytes. Returns the block length (1..n + 1). Reads nothing
    // beyond in[n - 1].
    int CompressBlock(const std::uint8_t *in, int n, std::uint8_t *out);

    // Expands a block of length bytes into out, which must have room for
    // kBufferSize bytes. Returns the piece length (0..32768), or -1 when the
    // block is damaged: longer than 32769 bytes, cut short inside a control
    // word or an item, a match reaching before the start of the piece, or
    // items expanding past 32768 bytes. Never reads or writes past the buffers.
    int DecompressBlock(const std::uint8_t *in, int length, std::uint8_t *out);

    // The match search at position x of a piece of n bytes: looks up the hash
    // of in[x..x+2], enters x into the table and reports a match of 3 to 18
    // bytes at most 4095 back. Part of CompressBlock; public for testing.
    bool FindMatch(const std::uint8_t *in, int n, int x, int &matchPos, int &matchLen);

private:
    std::unique_ptr<std::int16_t[]> m_hash;
    // Each position's hash, worked out ahead for a whole piece.
    std::unique_ptr<std::uint16_t[]> m_keys;
    // Beside each hash entry, the first bytes at the position it holds.
    std::unique_ptr<std::uint32_t[]> m_heads;
};

} // namespace ballwick

#pragma once
// The file compressor: packs one file (or stream) into a small container
// (a 4-byte signature naming the method, the uncompressed size, the payload)
// and expands it back. Two methods: LZRW1/KH (fast, block-wise) and LZH
// (slower, smaller). Plain C++; the caller supplies the progress display and
// the hook that lets its pending window messages run.

#include "tally/lzrwexcept.h"
#include "tally/tlzh.h"
#include "tally/tlzr.h"

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <memory>
#include <sstream>
#include <string>

namespace ballwick {

enum class TCompressMode { Good, Fast, Auto };

class Tlzrw1
{
public:
    static constexpr std::uint32_t kSignatureLzrw1kh = 0x4C5A5257; // bytes 57 52 5A 4C
    static constexpr std::uint32_t kSignatureLzh = 0x4C5A4821;     // bytes 21 48 5A 4C
    static constexpr int kHeaderSize = 8;

    // Creates both engines; throws ELzrw1KHCompressor when the hash table
    // cannot be allocated.
    Tlzrw1();
    ~Tlzrw1();

    // Properties, settable before each operation.
    std::string InputFile;
    std::string OutputFile;
    TCompressMode CompressMode = TCompressMode::Good; // Fast = LZRW1/KH, Good = LZH
    int Threshold = 40;                               // percent, for Advise
    bool UseStream = false;                           // use the two streams below
    std::istream *InputStream = nullptr;              // read from its current position to its end
    std::ostream *OutputStream = nullptr;
    // Decompress refuses a container that states a larger uncompressed size,
    // with the sizes message, before it expands anything. Negative: no limit.
    std::int64_t SizeLimit = -1;

    // Progress texts, as the component's panel would show them.
    std::function<void(const std::string &)> OnProgress;
    // Called after every block read or written, so the caller's pending window
    // messages can run. It must not start another operation on this component.
    std::function<void()> ProcessMessages;

    // Packs the input with the method CompressMode selects (Auto: Advise's
    // choice). Returns the bytes written, header included.
    std::int64_t Compress();
    // Expands the input; the method comes from its signature. Returns the bytes
    // written. When either fails after creating the output file, the file is
    // closed and deleted before the ELzrw1Exception is passed on; an output
    // file that existed before the operation is never deleted.
    std::int64_t Decompress();
    // Recommends Fast when two sample pieces compress with LZRW1/KH below
    // Threshold percent, else Good. An input below 98304 bytes gets Good and
    // also sets CompressMode to Good.
    TCompressMode Advise();

private:
    class Input;
    class Output;
    std::istream *streamInput();
    void progress(const std::string &text) const;
    void pump() const;
    // Opens the input (the file, or the given stream) and creates the output;
    // throws the opening errors of both directions.
    void openEnds(Input &in, std::istream *stream, Output &out);

    std::int64_t compressLzrw1kh(Input &in, Output &out, std::uint8_t *inBuf, std::uint8_t *outBuf);
    std::int64_t compressLzh(Input &in, Output &out, std::uint8_t *inBuf, std::uint8_t *outBuf);
    std::int64_t decompressLzrw1kh(Input &in, Output &out, std::uint8_t *inBuf, std::uint8_t *outBuf);
    std::int64_t decompressLzh(Input &in, Output &out, std::uint8_t *inBuf, std::uint8_t *outBuf);
    // The LZH coder's reading and writing ends, counting bytes, letting pending
    // messages run and reporting progress as the LZRW1/KH loops do.
    TLZH::ReadFn lzhReader(Input &in);
    TLZH::WriteFn lzhWriter(Output &out);

    std::string msgRead(const char *suffix) const;
    std::string msgWrite() const;

    TLZR m_lzr;
    TLZH m_lzh;
    std::int64_t m_bytesIn = 0;
    std::int64_t m_bytesOut = 0;
    // A non-seekable input stream (a pipe) is read into memory once, so that
    // its size can be known and Advise can sample it.
    std::istream *m_spooledFrom = nullptr;
    std::stringstream m_spool;
};

} // namespace ballwick

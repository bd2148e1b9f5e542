#include "tally/tlzrw1.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <istream>
#include <limits>
#include <new>
#include <ostream>
#include <vector>

namespace ballwick {

namespace {

constexpr int kPiece = TLZR::kPieceSize;
constexpr std::int64_t kAdviseMinimum = 3 * kPiece; // below this, Advise says Good

const char kMsgBuffers[] = "Lzrw1 (de)compression : Failed to get memory for I/O buffers !";
const char kMsgSizesKh[] = "Lzrw1 (decompression LZRW1/KH) : Original and compressed sizes do not match !";
const char kMsgSizesLzh[] = "Lzrw1 (LZH decompression) : Original and compressed sizes do not match !";

void putLe32(std::uint8_t *p, std::uint32_t v)
{
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
    p[2] = static_cast<std::uint8_t>(v >> 16);
    p[3] = static_cast<std::uint8_t>(v >> 24);
}

std::uint32_t getLe32(const std::uint8_t *p)
{
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16)
        | (std::uint32_t(p[3]) << 24);
}

std::int64_t percent(std::int64_t part, std::int64_t whole)
{
    return whole > 0 ? 100 * part / whole : 0;
}

// The two work buffers of an operation.
struct Buffers
{
    std::unique_ptr<std::uint8_t[]> in;
    std::unique_ptr<std::uint8_t[]> out;
    bool ok() const { return in && out; }
    Buffers()
        : in(new (std::nothrow) std::uint8_t[TLZR::kBufferSize])
        , out(new (std::nothrow) std::uint8_t[TLZR::kBufferSize])
    {
    }
};

bool sameFile(const std::string &a, const std::string &b)
{
    struct stat sa, sb;
    if (::stat(a.c_str(), &sa) != 0 || ::stat(b.c_str(), &sb) != 0)
        return false;
    return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

} // namespace

// The input side of an operation: a file or the input stream.
class Tlzrw1::Input
{
public:
    ~Input()
    {
        if (m_file)
            std::fclose(m_file);
    }

    bool openFile(const std::string &name)
    {
        m_file = std::fopen(name.c_str(), "rb");
        return m_file != nullptr;
    }
    bool openStream(std::istream *s)
    {
        if (!s || !*s)
            return false;
        m_stream = s;
        const auto pos = s->tellg();
        m_start = pos == std::streampos(-1) ? 0 : static_cast<std::int64_t>(pos);
        return true;
    }

    // Reads up to n bytes, fewer only at the end of the input; false when the
    // read itself failed.
    bool read(std::uint8_t *buf, std::size_t n, std::size_t &got)
    {
        got = 0;
        if (m_file) {
            got = std::fread(buf, 1, n, m_file);
            return got == n || !std::ferror(m_file);
        }
        m_stream->read(reinterpret_cast<char *>(buf), static_cast<std::streamsize>(n));
        got = static_cast<std::size_t>(m_stream->gcount());
        if (got < n) {
            if (m_stream->bad())
                return false;
            m_stream->clear(m_stream->rdstate() & ~(std::ios::failbit | std::ios::eofbit));
        }
        return true;
    }

    // Moves to offset bytes from where the input started.
    bool seek(std::int64_t offset)
    {
        if (m_file)
            return fseeko(m_file, static_cast<off_t>(offset), SEEK_SET) == 0;
        m_stream->clear();
        m_stream->seekg(static_cast<std::streamoff>(m_start + offset));
        return !m_stream->fail();
    }

private:
    std::FILE *m_file = nullptr;
    std::istream *m_stream = nullptr;
    std::int64_t m_start = 0;
};

// The output side: a file or the output stream. A file that this operation
// created is deleted again unless the operation commits it; one that was there
// before (a file, a device, a symlink's target) is never deleted.
class Tlzrw1::Output
{
public:
    explicit Output(const Tlzrw1 &owner) : m_owner(owner) {}
    ~Output()
    {
        if (m_file) {
            std::fclose(m_file);
            discard();
        }
    }

    bool createFile(const std::string &name)
    {
        m_name = name;
        int fd = -1;
        // Two tries: a file that vanishes between them is created the second time.
        for (int attempt = 0; attempt < 2 && fd < 0; ++attempt) {
            fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (fd >= 0) {
                m_created = true;
                break;
            }
            if (errno != EEXIST)
                return false;
            // Already there: overwritten in place. O_NONBLOCK keeps a FIFO
            // without a reader from blocking the open; the writes block as usual.
            fd = ::open(name.c_str(), O_WRONLY | O_TRUNC | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
            if (fd >= 0) {
                const int flags = ::fcntl(fd, F_GETFL);
                if (flags != -1)
                    ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
            } else if (errno != ENOENT) {
                return false;
            }
        }
        if (fd < 0)
            return false;
        m_file = ::fdopen(fd, "wb");
        if (!m_file) {
            ::close(fd);
            discard();
            return false;
        }
        return true;
    }
    bool openStream(std::ostream *s)
    {
        if (!s || !*s)
            return false;
        m_stream = s;
        return true;
    }

    void write(const std::uint8_t *buf, std::size_t n)
    {
        if (n == 0)
            return;
        bool ok;
        if (m_file) {
            ok = std::fwrite(buf, 1, n, m_file) == n;
        } else {
            m_stream->write(reinterpret_cast<const char *>(buf), static_cast<std::streamsize>(n));
            ok = !m_stream->fail();
        }
        if (!ok)
            throw ELzrw1Exception(m_owner.msgWrite());
    }

    // Finishes the output; a file that cannot be closed cleanly has lost data
    // and is deleted like any other failed output.
    void commit()
    {
        bool ok;
        if (m_file) {
            std::FILE *f = m_file;
            m_file = nullptr;
            ok = std::fclose(f) == 0;
            if (!ok)
                discard();
        } else {
            m_stream->flush();
            ok = !m_stream->fail();
        }
        if (!ok)
            throw ELzrw1Exception(m_owner.msgWrite());
    }

private:
    void discard()
    {
        if (m_created)
            std::remove(m_name.c_str());
        m_created = false;
    }

    const Tlzrw1 &m_owner;
    std::FILE *m_file = nullptr;
    std::ostream *m_stream = nullptr;
    std::string m_name;
    bool m_created = false;
};

Tlzrw1::Tlzrw1() = default;
Tlzrw1::~Tlzrw1() = default;

void Tlzrw1::progress(const std::string &text) const
{
    if (OnProgress)
        OnProgress(text);
}

void Tlzrw1::pump() const
{
    if (ProcessMessages)
        ProcessMessages();
}

std::string Tlzrw1::msgRead(const char *suffix) const
{
    if (UseStream)
        return std::string("Lzrw1 : Error reading from input stream !") + (*suffix ? " " : "") + suffix;
    return "Lzrw1 : Error reading from input file : " + InputFile + (*suffix ? " " : "") + suffix;
}

std::string Tlzrw1::msgWrite() const
{
    if (UseStream)
        return "Lzrw1 : Error writing to output stream !";
    return "Lzrw1 : Error writing to output file : " + OutputFile;
}

std::istream *Tlzrw1::streamInput()
{
    std::istream *s = InputStream;
    if (!s)
        return nullptr;
    if (s == m_spooledFrom)
        return &m_spool;
    if (!*s)
        return s;
    if (s->tellg() != std::streampos(-1))
        return s;
    // Not seekable (a pipe): take the rest of it into memory.
    m_spool.str(std::string());
    m_spool.clear();
    m_spool << s->rdbuf();
    m_spool.clear();
    m_spool.seekg(0);
    m_spooledFrom = s;
    return &m_spool;
}

namespace {

// Size of the input from where it stands to its end; -1 when unknown.
std::int64_t fileSize(const std::string &name)
{
    struct stat st;
    if (::stat(name.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return -1;
    return static_cast<std::int64_t>(st.st_size);
}

std::int64_t streamSize(std::istream *s)
{
    if (!s || !*s)
        return -1;
    const auto here = s->tellg();
    if (here == std::streampos(-1))
        return -1;
    s->seekg(0, std::ios::end);
    const auto end = s->tellg();
    s->seekg(here);
    if (end == std::streampos(-1) || s->fail()) {
        s->clear();
        return -1;
    }
    return static_cast<std::int64_t>(end - here);
}

} // namespace

std::int64_t Tlzrw1::Compress()
{
    TCompressMode method = CompressMode;
    if (method == TCompressMode::Auto)
        method = Advise();

    Buffers buf;
    if (!buf.ok())
        throw ELzrw1Exception(kMsgBuffers);

    // A piped input read into memory serves this operation (and the Advise
    // before it) only; a later stream at the same address is another stream.
    struct SpoolReset
    {
        Tlzrw1 &lz;
        ~SpoolReset() { lz.m_spooledFrom = nullptr; }
    } spoolReset{*this};
    Input in;
    std::istream *stream = UseStream ? streamInput() : nullptr;
    const std::int64_t size = UseStream ? streamSize(stream) : fileSize(InputFile);
    // The header holds the size as a signed 32-bit number.
    if (size < 0 || size > std::numeric_limits<std::int32_t>::max())
        throw ELzrw1Exception(UseStream ? std::string("Lzrw1 compression : Failed to obtain the size of the input stream !")
                                        : "Lzrw1 compression : Failed to obtain the size of : " + InputFile);
    Output out(*this);
    openEnds(in, stream, out);

    std::uint8_t header[kHeaderSize];
    putLe32(header, method == TCompressMode::Fast ? kSignatureLzrw1kh : kSignatureLzh);
    putLe32(header + 4, static_cast<std::uint32_t>(size));
    out.write(header, kHeaderSize);
    m_bytesOut = kHeaderSize;
    m_bytesIn = 0;

    const std::int64_t consumed = method == TCompressMode::Fast
        ? compressLzrw1kh(in, out, buf.in.get(), buf.out.get())
        : compressLzh(in, out, buf.in.get(), buf.out.get());
    // An input that changed size while being read would get a wrong header.
    if (consumed != size)
        throw ELzrw1Exception(msgRead(""));
    out.commit();

    progress((UseStream ? std::string("stream") : InputFile) + " : Lzrw1 : successfully compressed at "
             + std::to_string(percent(m_bytesOut, m_bytesIn)) + "%");
    return m_bytesOut;
}

void Tlzrw1::openEnds(Input &in, std::istream *stream, Output &out)
{
    if (UseStream ? !in.openStream(stream) : !in.openFile(InputFile))
        throw ELzrw1Exception(UseStream ? std::string("Lzrw1 (de)compression : Failed to initialize input stream !")
                                        : "Lzrw1 (de)compression : Failed to open input file : " + InputFile);
    // Creating the output over the input would destroy what is to be read.
    if (UseStream ? !out.openStream(OutputStream)
                  : (sameFile(InputFile, OutputFile) || !out.createFile(OutputFile)))
        throw ELzrw1Exception(UseStream ? std::string("Lzrw1 (de)compression : Failed to initialize output stream !")
                                        : "Lzrw1 (de)compression : Failed to open output file : " + OutputFile);
}

std::int64_t Tlzrw1::compressLzrw1kh(Input &in, Output &out, std::uint8_t *inBuf, std::uint8_t *outBuf)
{
    for (;;) {
        std::size_t n = 0;
        if (!in.read(inBuf, kPiece, n))
            throw ELzrw1Exception(msgRead("(LZRW1/KH)"));
        m_bytesIn += static_cast<std::int64_t>(n);
        pump();
        const int len = m_lzr.CompressBlock(inBuf, static_cast<int>(n), outBuf);
        const std::uint8_t lenBytes[2] = {static_cast<std::uint8_t>(len), static_cast<std::uint8_t>(len >> 8)};
        out.write(lenBytes, 2);
        out.write(outBuf, static_cast<std::size_t>(len));
        m_bytesOut += 2 + len;
        pump();
        progress("(LZRW1/KH) Bytes in : " + std::to_string(m_bytesIn) + " Bytes out : " + std::to_string(m_bytesOut));
        if (n < static_cast<std::size_t>(kPiece))
            break;
    }
    return m_bytesIn;
}

TLZH::ReadFn Tlzrw1::lzhReader(Input &in)
{
    return [this, &in](std::uint8_t *buf, std::size_t cap) {
        std::size_t n = 0;
        if (!in.read(buf, cap, n))
            throw ELzrw1Exception(msgRead("(LZH)"));
        m_bytesIn += static_cast<std::int64_t>(n);
        pump();
        return n;
    };
}

TLZH::WriteFn Tlzrw1::lzhWriter(Output &out)
{
    return [this, &out](const std::uint8_t *buf, std::size_t n) {
        out.write(buf, n);
        m_bytesOut += static_cast<std::int64_t>(n);
        pump();
        progress("(LZH) Bytes in : " + std::to_string(m_bytesIn) + " Bytes out : " + std::to_string(m_bytesOut));
    };
}

std::int64_t Tlzrw1::compressLzh(Input &in, Output &out, std::uint8_t *, std::uint8_t *)
{
    return m_lzh.Encode(lzhReader(in), lzhWriter(out));
}

std::int64_t Tlzrw1::Decompress()
{
    Buffers buf;
    if (!buf.ok())
        throw ELzrw1Exception(kMsgBuffers);

    Input in;
    Output out(*this);
    openEnds(in, InputStream, out);

    std::uint8_t sig[4];
    std::size_t got = 0;
    if (!in.read(sig, 4, got) || got < 4)
        throw ELzrw1Exception(msgRead(""));
    m_bytesIn = 4;
    m_bytesOut = 0;
    const std::uint32_t signature = getLe32(sig);
    if (signature == kSignatureLzrw1kh)
        decompressLzrw1kh(in, out, buf.in.get(), buf.out.get());
    else if (signature == kSignatureLzh)
        decompressLzh(in, out, buf.in.get(), buf.out.get());
    else
        throw ELzrw1Exception(UseStream ? std::string("Lzrw1 decompression : input stream contains no valid header !")
                                        : InputFile + " : Lzrw1 decompression : this file has no valid header !");
    out.commit();

    progress((UseStream ? std::string("stream") : InputFile) + " : Lzrw1 : successfully decompressed at "
             + std::to_string(percent(m_bytesOut, m_bytesIn)) + "%");
    return m_bytesOut;
}

std::int64_t Tlzrw1::decompressLzrw1kh(Input &in, Output &out, std::uint8_t *inBuf, std::uint8_t *outBuf)
{
    std::uint8_t field[4];
    std::size_t got = 0;
    if (!in.read(field, 4, got) || got < 4)
        throw ELzrw1Exception(msgRead(""));
    const std::int64_t size = static_cast<std::int32_t>(getLe32(field));
    m_bytesIn += 4;
    if (SizeLimit >= 0 && size > SizeLimit)
        throw ELzrw1Exception(kMsgSizesKh);

    for (;;) {
        if (!in.read(field, 2, got) || got < 2)
            throw ELzrw1Exception(msgRead(""));
        const int len = field[0] | (field[1] << 8);
        // A block longer than a stored piece cannot come from the coder.
        if (len > TLZR::kMaxBlockLength)
            throw ELzrw1Exception(kMsgSizesKh);
        if (!in.read(inBuf, static_cast<std::size_t>(len), got) || got < static_cast<std::size_t>(len))
            throw ELzrw1Exception(msgRead(""));
        m_bytesIn += len + 2;
        pump();
        const int m = m_lzr.DecompressBlock(inBuf, len, outBuf);
        // A damaged block, or more output than the header announced.
        if (m < 0 || m_bytesOut + m > size)
            throw ELzrw1Exception(kMsgSizesKh);
        out.write(outBuf, static_cast<std::size_t>(m));
        m_bytesOut += m;
        pump();
        progress("(LZRW1/KH) Bytes in : " + std::to_string(m_bytesIn) + " Bytes out : " + std::to_string(m_bytesOut));
        if (m != kPiece)
            break;
    }
    if (m_bytesOut != size)
        throw ELzrw1Exception(kMsgSizesKh);
    return m_bytesOut;
}

std::int64_t Tlzrw1::decompressLzh(Input &in, Output &out, std::uint8_t *, std::uint8_t *)
{
    std::uint8_t field[4];
    std::size_t got = 0;
    if (!in.read(field, 4, got) || got < 4)
        throw ELzrw1Exception(msgRead("(LZH)"));
    const std::int64_t size = static_cast<std::int32_t>(getLe32(field));
    m_bytesIn += 4;
    if (SizeLimit >= 0 && size > SizeLimit)
        throw ELzrw1Exception(kMsgSizesLzh);

    const TLZH::DecodeResult r = m_lzh.Decode(size, lzhReader(in), lzhWriter(out));
    // A stream that runs out of bits is cut short: its tail would be made up.
    if (r.truncated)
        throw ELzrw1Exception(msgRead("(LZH)"));
    if (r.overshoot || m_bytesOut != size)
        throw ELzrw1Exception(kMsgSizesLzh);
    return m_bytesOut;
}

TCompressMode Tlzrw1::Advise()
{
    progress("Guessing the best compression mode for : " + (UseStream ? std::string("stream") : InputFile));
    Buffers buf;
    if (!buf.ok())
        throw ELzrw1Exception("Lzrw1 advise : Error getting I/O buffers");

    Input in;
    std::istream *stream = UseStream ? streamInput() : nullptr;
    const std::int64_t size = UseStream ? streamSize(stream) : fileSize(InputFile);
    if (size < 0)
        throw ELzrw1Exception(UseStream ? std::string("Lzrw1 advise : can not get size of inputstream !")
                                        : "Lzrw1 advise : can not get the size of : " + InputFile);
    if (UseStream ? !in.openStream(stream) : !in.openFile(InputFile))
        throw ELzrw1Exception(UseStream ? std::string("Lzrw1 edvise : can not initialize the input stream!")
                                        : "Lzrw1 advise : can open input file : " + InputFile);

    if (size < kAdviseMinimum) {
        CompressMode = TCompressMode::Good;
        progress("Lzrw1 recommends GOOD compression :  small file !!");
        return TCompressMode::Good;
    }

    const std::string readError = UseStream ? std::string("Lzrw1 advise : input stream read error !")
                                            : "Lzrw1 advise : read error on input file : " + InputFile;
    std::int64_t compressed = 0;
    std::int64_t sampled = 0;
    for (const std::int64_t at : {size / 3, size * 2 / 3}) {
        std::size_t n = 0;
        if (!in.seek(at / kPiece * kPiece) || !in.read(buf.in.get(), kPiece, n))
            throw ELzrw1Exception(readError);
        pump();
        compressed += m_lzr.CompressBlock(buf.in.get(), static_cast<int>(n), buf.out.get());
        sampled += static_cast<std::int64_t>(n);
    }
    // Leave a stream where it was, for the Compress that usually follows.
    in.seek(0);

    const std::int64_t pct = percent(compressed, sampled);
    if (compressed < sampled * Threshold / 100) {
        progress("Lzrw1 recommends FAST compression : " + std::to_string(pct) + "%.");
        return TCompressMode::Fast;
    }
    progress("Lzrw1 recommends GOOD compression : " + std::to_string(pct) + "%.");
    return TCompressMode::Good;
}

} // namespace ballwick

// The HTTP client's reply header parser on untrusted bytes, fed in pieces whose
// sizes the input's first byte chooses: it never takes more bytes than it was
// given, stops within its limits, and reads the same header however the bytes
// are split.
#include "net/httpreply.h"

#include <cstdint>
#include <cstdlib>

using ballwick::http::ReplyHeaderParser;

namespace {

struct Result {
    ReplyHeaderParser::Status status;
    qint64 bodyStart; // where the body begins in the input (a bare reply's too)
    ballwick::http::ReplyHeader header;
};

Result run(const char *data, qint64 size, qint64 step)
{
    ReplyHeaderParser p;
    qint64 at = 0;
    ReplyHeaderParser::Status st = ReplyHeaderParser::Status::NeedMore;
    while (st == ReplyHeaderParser::Status::NeedMore && at < size) {
        const qint64 n = std::min(step, size - at);
        qint64 used = -1;
        st = p.feed(data + at, n, &used);
        if (used < 0 || used > n)
            std::abort();
        if (st == ReplyHeaderParser::Status::NeedMore && used != n)
            std::abort();
        at += used;
        p.takeNewLines();
    }
    if (st == ReplyHeaderParser::Status::Failed) {
        qint64 used = 0;
        if (p.feed(data, size, &used) != ReplyHeaderParser::Status::Failed || p.failureText().isEmpty())
            std::abort();
    }
    const auto &h = p.header();
    if (h.contentLength < -1 || (h.chunked && st == ReplyHeaderParser::Status::Done && h.contentLength != -1))
        std::abort();
    const ballwick::http::HeaderLimits limits;
    if (st != ReplyHeaderParser::Status::Failed && h.lines.size() > limits.maxHeaderLines)
        std::abort();
    if (st == ReplyHeaderParser::Status::Done && !h.bare && at > limits.maxHeaderBytes + 1)
        std::abort();
    return {st, at - (h.bare ? p.bareStart().size() : 0), h};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 1)
        return 0;
    const qint64 step = 1 + data[0] % 64;
    const char *bytes = reinterpret_cast<const char *>(data + 1);
    const qint64 n = qint64(size - 1);
    const Result whole = run(bytes, n, n > 0 ? n : 1);
    const Result pieces = run(bytes, n, step);
    if (whole.status != pieces.status)
        std::abort();
    if (whole.status == ReplyHeaderParser::Status::Done
        && (whole.bodyStart != pieces.bodyStart || whole.header.bare != pieces.header.bare
            || whole.header.statusCode != pieces.header.statusCode || whole.header.lines != pieces.header.lines
            || whole.header.contentLength != pieces.header.contentLength
            || whole.header.location != pieces.header.location))
        std::abort();
    return 0;
}

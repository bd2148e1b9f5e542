// The reply header parser on its own, fed the bytes of a reply in pieces.
#include "net/httpreply.h"

#include <QByteArray>
#include <QStringList>
#include <gtest/gtest.h>

#include <algorithm>

namespace {

// The reply header parser alone: the same result however the bytes are split.
TEST(ReplyHeaderParser, SplitsLinesTheSameHoweverTheBytesArrive)
{
    using ballwick::http::ReplyHeaderParser;
    const QByteArray reply = "\r\nHTTP/1.1 100 Continue\r\nX-A: 1\r\n\r\n"
                             "HTTP/1.1 301 Moved\r\nLocation:  /x \r\nContent-Length: 3\r\n"
                             "Content-Type: Text/HTML\nSet-Cookie: a=b\r\n\r\nabc";
    for (qint64 step : {qint64(1), qint64(3), qint64(7), reply.size()}) {
        SCOPED_TRACE(step);
        ReplyHeaderParser p;
        qint64 at = 0;
        ReplyHeaderParser::Status st = ReplyHeaderParser::Status::NeedMore;
        while (st == ReplyHeaderParser::Status::NeedMore && at < reply.size()) {
            qint64 used = 0;
            const qint64 n = std::min(step, reply.size() - at);
            st = p.feed(reply.constData() + at, n, &used);
            at += used;
        }
        ASSERT_EQ(st, ReplyHeaderParser::Status::Done);
        EXPECT_EQ(reply.mid(at), "abc");
        const auto &h = p.header();
        EXPECT_EQ(h.statusCode, 301);
        EXPECT_EQ(h.reasonPhrase, "Moved");
        EXPECT_EQ(h.serverVersion, "1.1");
        EXPECT_TRUE(h.relocation);
        EXPECT_EQ(h.location, "/x");
        EXPECT_EQ(h.contentLength, 3);
        EXPECT_EQ(h.contentType, "text/html");
        EXPECT_EQ(h.cookies, QStringList{"a=b"});
        EXPECT_EQ(h.lines.size(), 4); // the interim reply's lines are forgotten
        EXPECT_EQ(p.interimReplies(), 1);
    }
}

TEST(ReplyHeaderParser, ContentLengthMustBeOnePlainNumber)
{
    using ballwick::http::ReplyHeaderParser;
    qint64 v = -5;
    EXPECT_TRUE(ReplyHeaderParser::parseContentLength(" 0012 ", &v));
    EXPECT_EQ(v, 12);
    for (const char *bad : {"", "abc", "-1", "+5", "1 2", "0x10", "1e3", "12abc", "1234567890123456789"})
        EXPECT_FALSE(ReplyHeaderParser::parseContentLength(bad, &v)) << bad;

    auto parse = [](const QByteArray &header) {
        ReplyHeaderParser p;
        qint64 used = 0;
        const auto st = p.feed(header.constData(), header.size(), &used);
        return std::make_pair(st, p.failure());
    };
    using ballwick::http::Failure;
    EXPECT_EQ(parse("HTTP/1.0 200 OK\r\nContent-Length: 5\r\ncontent-length: 5\r\n\r\n").first,
              ReplyHeaderParser::Status::Done);
    EXPECT_EQ(parse("HTTP/1.0 200 OK\r\nContent-Length: 5\r\ncontent-length: 6\r\n\r\n").second,
              Failure::BadContentLength);
    EXPECT_EQ(parse("HTTP/1.0 200 OK\r\nContent-Length: 5, 5\r\n\r\n").second, Failure::BadContentLength);
    // A chunked body tells its own length.
    ReplyHeaderParser p;
    qint64 used = 0;
    const QByteArray chunked = "HTTP/1.1 200 OK\r\nContent-Length: 5\r\nTransfer-Encoding: chunked\r\n\r\n";
    ASSERT_EQ(p.feed(chunked.constData(), chunked.size(), &used), ReplyHeaderParser::Status::Done);
    EXPECT_EQ(p.header().contentLength, -1);
}

TEST(ReplyHeaderParser, LimitsStopHostileHeadersEarly)
{
    using ballwick::http::Failure;
    using ballwick::http::ReplyHeaderParser;
    auto failureOf = [](const QByteArray &bytes, qint64 *usedOut = nullptr) {
        ReplyHeaderParser p;
        qint64 used = 0;
        p.feed(bytes.constData(), bytes.size(), &used);
        if (usedOut)
            *usedOut = used;
        return p.failure();
    };
    qint64 used = 0;
    EXPECT_EQ(failureOf("HTTP/1.0 200 OK\r\n" + QByteArray("A: b\r\n").repeated(100000), &used),
              Failure::HeaderTooLarge);
    EXPECT_LT(used, 2000); // stopped after a hundred lines, not at the end
    EXPECT_EQ(failureOf("HTTP/1.0 200 OK\r\n" + QByteArray("X-Pad: " + QByteArray(4000, 'p') + "\r\n").repeated(40)),
              Failure::HeaderTooLarge);
    EXPECT_EQ(failureOf(QByteArray("HTTP/1.1 100 Continue\r\n\r\n").repeated(100)), Failure::TooManyInterim);
    EXPECT_EQ(failureOf("HTTP/1.0 200 OK\r\nX: " + QByteArray(9000, 'a')), Failure::LineTooLong);
    // A 1.0 server's "100" is the final reply.
    EXPECT_EQ(failureOf(QByteArray("HTTP/1.0 100 Continue\r\n\r\n").repeated(100)), Failure::None);
}

// A body larger than the client's limit fails before it is written, whether its
// length was announced or not.

} // namespace

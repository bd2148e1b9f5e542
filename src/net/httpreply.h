#pragma once
#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// The header of an HTTP reply, read incrementally from the bytes of a connection.
// Pure: no sockets, no events; THttpCli feeds it and the fuzzer does too.
namespace ballwick::http {

// Bounds on one reply's header, so that a hostile server cannot grow the process
// or keep the reader busy forever.
struct HeaderLimits {
    static constexpr qint64 DefaultMaxLine = 8192;          // one line with its LF
    static constexpr qint64 DefaultMaxHeaderBytes = 64 * 1024; // all header bytes of one reply
    static constexpr int DefaultMaxHeaderLines = 100;        // header lines of one reply
    static constexpr int DefaultMaxInterimReplies = 8;       // "100 Continue" and the like

    qint64 maxLine = DefaultMaxLine;
    qint64 maxHeaderBytes = DefaultMaxHeaderBytes;
    int maxHeaderLines = DefaultMaxHeaderLines;
    int maxInterimReplies = DefaultMaxInterimReplies;
};

// What the header said.
struct ReplyHeader {
    QString serverVersion;     // "1.0" or "1.1"; empty without a status line
    int statusCode = 0;
    QString reasonPhrase;
    qint64 contentLength = -1; // -1: none announced (or the body is chunked)
    bool chunked = false;
    bool relocation = false;
    QString location;
    QString contentType;       // lower case
    QString acceptRanges;
    QString rangeBegin, rangeEnd;
    QStringList lines;         // every header line after the status line
    QStringList authOffers;    // values of www-authenticate lines
    QStringList cookies;       // values of set-cookie lines
    bool bare = false;         // no header at all: "<HTML>" came first
};

enum class Failure {
    None,
    LineTooLong,
    HeaderTooLarge,   // more bytes or lines than the limits allow
    TooManyInterim,
    BadContentLength, // not one plain decimal number, or two different ones
};

class ReplyHeaderParser
{
public:
    enum class Status {
        NeedMore, // the header goes on
        Done,     // the empty line came; the bytes after it are body
        Failed,   // see failure()/failureText()
    };

    explicit ReplyHeaderParser(HeaderLimits limits = {}) : m_limits(limits) {}

    // Forgets everything: a new reply follows.
    void reset();

    // Reads header bytes. *used is the count of data's bytes taken into the header;
    // after Done the rest of data is body. For a bare reply (header().bare) the body
    // begins with bareStart() and goes on with the rest of data.
    Status feed(const char *data, qint64 n, qint64 *used);

    const ReplyHeader &header() const { return m_header; }
    QByteArray bareStart() const { return m_line; }
    Failure failure() const { return m_failure; }
    QString failureText() const { return m_failureText; }
    // The lines completed since the last call, status line included, in order.
    QList<QByteArray> takeNewLines();
    int interimReplies() const { return m_interim; }

    // One Content-Length value: one to eighteen decimal digits, blanks around it
    // allowed. False for anything else ("abc", "-1", "+5", "1 2", "0x10", empty).
    static bool parseContentLength(const QByteArray &value, qint64 *out);

private:
    Status line(const QByteArray &text);
    Status fail(Failure f, const QString &text);

    HeaderLimits m_limits;
    ReplyHeader m_header;
    QByteArray m_line;
    bool m_first = true;
    bool m_done = false;
    qint64 m_bytes = 0;
    int m_lineCount = 0;
    int m_interim = 0;
    Failure m_failure = Failure::None;
    QString m_failureText;
    QList<QByteArray> m_newLines;
};

} // namespace ballwick::http

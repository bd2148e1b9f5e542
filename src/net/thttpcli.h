#pragma once
#include <QByteArray>
#include <QDateTime>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QDeadlineTimer>
#include <stdexcept>

#include "net/httpreply.h"

class QIODevice;
class QTimer;
class TWSocket;

// The client's failures: a message text and a number. For a reply with a status of
// 400 or more (connection failures count as 404) the number is that status;
// otherwise one of the httperr values below.
class EHttpException : public std::runtime_error
{
public:
    EHttpException(const QString &message, int number);
    QString Message;
    int ErrorCode;
};

enum : int {
    httperrNoError = 0,
    httperrBusy = 1,
    httperrNoData = 2,
    httperrVersion = 3,
    httperrLineTooLong = 4,
    httperrTooManyRelocations = 5,
    httperrCutShort = 6,
    httperrBadAddress = 7,
    httperrStreamWrite = 8,
    httperrProtocol = 9,
    httperrTimeout = 10,
    httperrTooLarge = 11,
};

// HTTP/1.0 or 1.1 client over one TWSocket connection, driven by the socket's
// notifications on the owner's thread. A request: connect (or reuse an open 1.1
// connection), send the request lines, read the header, write the body into the
// receive stream, follow relocations (at most MaxRelocations), complete.
class THttpCli : public QObject
{
    Q_OBJECT
public:
    enum class Method { Get, Post, Put, Head };
    static constexpr int MaxRelocations = 20;
    static constexpr int RcvBufSize = 8192; // the longest header line, with its LF
    // No byte from the server for this long ends a request (connecting included).
    static constexpr int DefaultStallTimeoutMs = 30 * 1000;
    // A whole request, relocations included, never takes longer than this.
    static constexpr int DefaultDeadlineMs = 10 * 60 * 1000;

    explicit THttpCli(QObject *parent = nullptr);
    ~THttpCli() override;

    // Settings of the request.
    QString URL;
    QString Proxy;
    QString ProxyPort = QStringLiteral("80");
    QString LocalAddr = QStringLiteral("0.0.0.0");
    QString Agent = QStringLiteral("Mozilla/3.0 (compatible)");
    QString Accept = QStringLiteral("image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, */*");
    bool NoCache = false;
    QString ContentTypePost = QStringLiteral("application/x-www-form-urlencoded");
    bool MultiThreaded = false;
    QString SocksServer; // empty: no SOCKS server
    QString SocksPort = QStringLiteral("1080");
    QString SocksLevel = QStringLiteral("5");
    QString SocksUsername, SocksPassword; // SOCKS authentication; none when empty
    QString Sender, Reference, Connection, AcceptLanguage;
    QString Username, Password, ProxyUsername, ProxyPassword;
    QDateTime ModifiedSince; // invalid: not sent
    QString Cookie;
    QString ContentRangeBegin, ContentRangeEnd; // cleared after each request is sent

    // Limits of a request, taken when it starts. MaxBodySize -1: no limit; a body
    // announced or grown beyond it fails the request before it is written further.
    int StallTimeoutMs = DefaultStallTimeoutMs;
    int DeadlineMs = DefaultDeadlineMs;
    qint64 MaxBodySize = -1;
    ballwick::http::HeaderLimits HeaderLimits;

    QString RequestVer() const { return m_requestVer; }
    // Only "1.0" and "1.1"; anything else raises "Insupported HTTP version" and the
    // old value stays.
    void setRequestVer(const QString &ver);

    // The stream that receives the reply's body (not owned; none: the body is dropped)
    // and the stream sent as the body of a POST or PUT.
    QIODevice *RcvdStream = nullptr;
    QIODevice *SendStream = nullptr;

    // TLS settings for https:// addresses (tests add their own authority here).
    TWSocket *CtrlSocket() const { return m_socket; }

    // Results of the last request.
    int StatusCode() const { return m_statusCode; }
    QString ReasonPhrase() const { return m_reasonPhrase; }
    QString ServerVersion() const { return m_serverVersion; }
    qint64 ContentLength() const { return m_contentLength; }
    qint64 RcvdCount() const { return m_rcvdCount; }
    QString ContentType() const { return m_contentType; }
    QString Location() const { return m_location; }
    QStringList RcvdHeader() const { return m_rcvdHeader; }
    QStringList AuthOffers() const { return m_authOffers; }
    QString AcceptRanges() const { return m_acceptRanges; }
    QString ReplyRangeBegin() const { return m_replyRangeBegin; }
    QString ReplyRangeEnd() const { return m_replyRangeEnd; }
    int RelocationCount() const { return m_relocations; }
    // Why the last request failed apart from its status (httperrNoError when it did not).
    int ErrorNumber() const { return m_errorNumber; }
    QString ErrorText() const { return m_errorText; }
    bool busy() const { return m_state != State::Ready; }

    // Synchronous requests: return when the request is complete. They raise
    // EHttpException when it failed or its final status is 400 or more. Meanwhile the
    // thread's events are processed (MultiThreaded: only the socket's own), and a quit
    // of the application aborts the request.
    void Get() { doSync(Method::Get); }
    void Post() { doSync(Method::Post); }
    void Put() { doSync(Method::Put); }
    void Head() { doSync(Method::Head); }
    // Asynchronous requests: return at once; OnRequestDone follows.
    void GetASync() { start(Method::Get); }
    void PostASync() { start(Method::Post); }
    void PutASync() { start(Method::Put); }
    void HeadASync() { start(Method::Head); }

    // Ends a running request: status 404, "Connection aborted on request".
    void Abort();
    // Closes a connection kept open for later requests.
    void CloseConnection();

signals:
    void OnSessionConnected();
    void OnHeaderData(const QString &line);
    void OnCookie(const QString &value);
    void OnLocationChange(const QString &newUrl);
    void OnDocBegin();
    void OnDocEnd();
    void OnRequestDone(int error);

private:
    enum class State { Ready, Connecting, WaitingHeader, WaitingBody, Draining };
    struct Target {
        QString proto, host, path, user, password;
        quint16 port = 80;
    };

    void start(Method m);
    void doSync(Method m);
    void throwOutcome();
    void clearResults();
    bool splitUrl(const QString &url, Target &t, QString &why) const;
    void connectOrReuse();
    void sendRequest();
    QByteArray buildRequest() const;
    void onConnected();
    void onData();
    void onClosed();
    void onFailed(int number, const QString &text);
    bool processHeaderBytes();
    void headerEnd();
    void bodyBytes(const char *data, qint64 n);
    void chunkedBytes(const char *data, qint64 n);
    bool writeBody(const char *data, qint64 n);
    void documentComplete();
    void relocate();
    void fail(int number, const QString &text);
    void failConnection(int number, const QString &text);
    void complete();
    bool keepAlive() const;
    void noteActivity();
    void armWatch();
    void checkTimeouts();
    void adoptHeader();

    TWSocket *m_socket;
    QString m_requestVer = QStringLiteral("1.0");
    State m_state = State::Ready;
    Method m_method = Method::Get;
    Target m_target;
    QString m_connProxyKey; // proxy/socks settings of the open connection
    quint64 m_serial = 0; // changes whenever a request starts or completes
    bool m_reused = false;
    bool m_retried = false;
    qint64 m_rcvdSinceSend = 0;
    ballwick::http::ReplyHeaderParser m_parser;
    QTimer *m_watch;
    QDeadlineTimer m_stallAt, m_deadlineAt;
    int m_stallMs = DefaultStallTimeoutMs;
    int m_deadlineMs = DefaultDeadlineMs;
    qint64 m_maxBody = -1;
    bool m_relocationPending = false;
    bool m_docOpen = false;
    // A body in chunks (HTTP/1.1): where the decoder stands.
    enum class Chunk { Size, Data, DataEnd, Trailer };
    bool m_chunked = false;
    Chunk m_chunkState = Chunk::Size;
    qint64 m_chunkLeft = 0;
    QByteArray m_chunkLine;
    qint64 m_drainLeft = 0;
    QByteArray m_readBuf;

    int m_statusCode = 0;
    QString m_reasonPhrase;
    QString m_serverVersion;
    qint64 m_contentLength = -1;
    qint64 m_rcvdCount = 0;
    QString m_contentType;
    QString m_location;
    QStringList m_rcvdHeader;
    QStringList m_authOffers;
    QString m_acceptRanges, m_replyRangeBegin, m_replyRangeEnd;
    int m_relocations = 0;
    int m_errorNumber = httperrNoError;
    QString m_errorText;
};

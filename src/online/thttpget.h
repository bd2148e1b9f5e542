#pragma once
#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QThread>
#include <atomic>
#include <functional>

class THTTPGetThread;

// Progress after each chunk of a body: Sender is the worker thread object,
// TotalSize the reply's Content-Length (0 when unknown), Readed the body bytes so far.
using TOnProgressEvent = std::function<void(QObject *Sender, qint64 TotalSize, qint64 Readed)>;
// A fetch succeeded: Result is the whole body, raw bytes.
using TOnDoneStringEvent = std::function<void(QObject *Sender, const QByteArray &Result)>;
// Kept for completeness of the interface; no fetch writes to a file.
using TOnDoneFileEvent = std::function<void(QObject *Sender, const QString &FileName, qint64 FileSize)>;
using TNotifyEvent = std::function<void(QObject *Sender)>;

// Fetches one address over HTTP (or HTTPS) on a worker thread of its own and hands
// the body to the UI thread. The HTTP status is never looked at: whatever body
// arrives is the result; a fetch succeeds when at least one body byte arrived and
// it was not cancelled. One fetch at a time; StartFetch while one runs is ignored.
class THTTPGet : public QObject
{
    Q_OBJECT
public:
    // Runs libcurl's global set-up, once, on the UI thread (the first
    // StartFetch does this too). False when it failed: every fetch then fails
    // as it would without a network.
    static bool globalInit();

    // A fetch that cannot connect within 30 s, then gets no byte for 30 s, or has
    // not ended after 2 minutes (a server dripping its bytes) ends as a failure.
    static constexpr int DefaultConnectTimeoutMs = 30 * 1000;
    static constexpr int DefaultStallTimeoutMs = 30 * 1000;
    static constexpr int DefaultDeadlineMs = 2 * 60 * 1000;
    // A body larger than this ends the fetch as a failure instead of eating memory.
    static constexpr qint64 maxBodyBytes = 64 * 1024 * 1024;
    // Bounds on the header of one reply, and on the replies of one fetch (interim
    // replies and relocations together).
    static constexpr qint64 MaxHeaderBytes = 64 * 1024;
    static constexpr int MaxHeaderLines = 100;
    static constexpr int MaxReplies = 16;

    explicit THTTPGet(QObject *parent = nullptr);
    ~THTTPGet() override; // cancels a running fetch and detaches its worker

    // Settings, copied by the worker when a fetch starts.
    QString AcceptTypes = QStringLiteral("*/*");
    QString Agent = QStringLiteral("Ballwick HTTPGet"); // empty: no User-Agent
    bool BinaryData = false; // true: a reply without Content-Length fails unread
    QString URL;             // "http://host[:port]/path"; "https://" too; no scheme means http
    bool UseCache = false;   // false: ask every cache on the way for a fresh copy
    QString FileName;        // unused: every fetch delivers a string
    QString UserName;
    QString Password;
    QString PostQuery; // non-empty: a form POST carrying it
    QString Referer;
    bool WaitThread = false; // after starting, run the pending UI events once
    // The time limits above, copied by the worker too; tests shorten them.
    int ConnectTimeoutMs = DefaultConnectTimeoutMs;
    int StallTimeoutMs = DefaultStallTimeoutMs;
    int DeadlineMs = DefaultDeadlineMs;

    TOnProgressEvent OnProgress;
    TOnDoneFileEvent OnDoneFile;
    TOnDoneStringEvent OnDoneString;
    TNotifyEvent OnError;

    void StartFetch();
    void CancelFetch();
    bool running() const { return m_worker != nullptr; }
    bool Succeeded() const { return m_succeeded; }

    // Host and path of an address the way a fetch splits it: a leading "http://"
    // (any letter case) dropped, the host up to the first "/", the path from it.
    static void SplitURL(const QString &url, QString &host, QString &path);

private:
    void FetchDone();

    QPointer<THTTPGetThread> m_worker;
    bool m_succeeded = false;
};

// One fetch, from a snapshot of the component's settings. Owned by the component
// while it runs; deleted on the UI thread once it has finished.
class THTTPGetThread : public QThread
{
    Q_OBJECT
public:
    explicit THTTPGetThread(const THTTPGet &settings);

    // Stop request, from the UI thread; the transfer aborts at its next callback.
    void requestStop() { m_stop.store(true); }
    bool stopRequested() const { return m_stop.load(); }

    // Read on the UI thread only after the thread has finished.
    bool Succeeded = false;
    QByteArray StringResult;
    qint64 TotalSize = 0;
    qint64 Readed = 0;

    // Set on the UI thread when the owning component goes away: no event reaches it.
    bool detached = false;

protected:
    void run() override;

private:
    friend struct FetchCallbacks;
    void ReportProgress();

    QString m_acceptTypes, m_agent, m_url, m_fileName, m_userName, m_password, m_postQuery, m_referer;
    bool m_binaryData, m_useCache;
    int m_connectMs, m_stallMs, m_deadlineMs;
    TOnProgressEvent m_onProgress;
    std::atomic<bool> m_stop{false};
};

#include "online/thttpget.h"

#include <QCoreApplication>
#include <QUrl>
#include <curl/curl.h>
#include <chrono>
#include <memory>

bool THTTPGet::globalInit()
{
    // Once, on the UI thread, before the first worker starts.
    static const bool ready = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    return ready;
}

// ---------------------------------------------------------------- component

THTTPGet::THTTPGet(QObject *parent) : QObject(parent)
{
}

THTTPGet::~THTTPGet()
{
    THTTPGetThread *worker = m_worker.data();
    if (!worker)
        return;
    CancelFetch();
    // The worker ends on its own at its next look at the stop request; nothing
    // of it may reach this component any more, and it deletes itself.
    worker->detached = true;
    disconnect(worker, nullptr, this, nullptr);
    connect(worker, &QThread::finished, worker, &QObject::deleteLater);
    if (worker->isFinished())
        worker->deleteLater();
}

void THTTPGet::SplitURL(const QString &url, QString &host, QString &path)
{
    QString rest = url;
    if (rest.startsWith(QLatin1String("http://"), Qt::CaseInsensitive))
        rest.remove(0, 7);
    const qsizetype slash = rest.indexOf(QLatin1Char('/'));
    if (slash < 0) {
        host = rest;
        path = QStringLiteral("/");
    } else {
        host = rest.left(slash);
        path = rest.mid(slash);
    }
}

void THTTPGet::StartFetch()
{
    if (m_worker)
        return;
    globalInit();
    auto *worker = new THTTPGetThread(*this);
    m_worker = worker;
    // In place before the worker runs, however fast it fails.
    connect(worker, &QThread::finished, this, &THTTPGet::FetchDone, Qt::QueuedConnection);
    worker->start();
    if (WaitThread)
        QCoreApplication::processEvents();
}

void THTTPGet::CancelFetch()
{
    if (m_worker)
        m_worker->requestStop();
}

void THTTPGet::FetchDone()
{
    THTTPGetThread *worker = m_worker.data();
    if (!worker || sender() != worker)
        return;
    worker->wait();
    m_succeeded = worker->Succeeded && !worker->stopRequested();

    // The worker stays recorded while the event runs, so a StartFetch from inside
    // the handler is ignored like any other StartFetch during a fetch.
    QPointer<THTTPGet> self(this);
    if (m_succeeded) {
        if (OnDoneString)
            OnDoneString(this, worker->StringResult);
    } else if (OnError) {
        OnError(this);
    }
    worker->deleteLater();
    if (self)
        m_worker = nullptr;
}

// ---------------------------------------------------------------- worker

THTTPGetThread::THTTPGetThread(const THTTPGet &s)
    : m_acceptTypes(s.AcceptTypes), m_agent(s.Agent), m_url(s.URL), m_fileName(s.FileName),
      m_userName(s.UserName), m_password(s.Password), m_postQuery(s.PostQuery), m_referer(s.Referer),
      m_binaryData(s.BinaryData), m_useCache(s.UseCache), m_connectMs(s.ConnectTimeoutMs),
      m_stallMs(s.StallTimeoutMs), m_deadlineMs(s.DeadlineMs), m_onProgress(s.OnProgress)
{
}

void THTTPGetThread::ReportProgress()
{
    // Runs on the UI thread while this worker waits for it.
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (!detached && m_onProgress)
                m_onProgress(this, TotalSize, Readed);
        },
        Qt::BlockingQueuedConnection);
}

// State of one transfer, shared by libcurl's callbacks on the worker thread.
struct FetchCallbacks
{
    THTTPGetThread *t;
    bool haveLength = false;
    bool badLength = false;
    qint64 length = 0;
    bool refused = false; // ended by us: no Content-Length with BinaryData, bad length, too big
    qint64 headerBytes = 0; // of the reply being read
    int headerLines = 0;
    int replies = 0;
    bool stalled = false; // no byte for the stall time-out
    std::chrono::steady_clock::time_point lastByte = std::chrono::steady_clock::now();

    static bool parseLength(const QByteArray &text, qint64 &out)
    {
        const QByteArray v = text.trimmed();
        if (v.isEmpty() || v.size() > 18)
            return false;
        for (char c : v)
            if (c < '0' || c > '9')
                return false;
        out = v.toLongLong();
        return true;
    }

    static size_t header(char *data, size_t size, size_t n, void *user)
    {
        auto *cb = static_cast<FetchCallbacks *>(user);
        cb->lastByte = std::chrono::steady_clock::now();
        const QByteArray line(data, qsizetype(size * n));
        if (line.startsWith("HTTP/")) {
            // A new reply (after a redirect or an interim reply): start afresh.
            cb->haveLength = cb->badLength = false;
            cb->length = 0;
            cb->headerBytes = 0;
            cb->headerLines = 0;
            if (++cb->replies > THTTPGet::MaxReplies) {
                cb->refused = true;
                return 0;
            }
        } else if (line.toLower().startsWith("content-length:")) {
            qint64 value = 0;
            if (parseLength(line.mid(15), value) && !(cb->haveLength && value != cb->length)) {
                cb->haveLength = true;
                cb->length = value;
            } else {
                cb->badLength = true; // not one plain number, or two different ones
            }
        }
        cb->headerBytes += line.size();
        if (++cb->headerLines > THTTPGet::MaxHeaderLines || cb->headerBytes > THTTPGet::MaxHeaderBytes) {
            cb->refused = true;
            return 0;
        }
        return size * n;
    }

    static size_t write(char *data, size_t size, size_t n, void *user)
    {
        auto *cb = static_cast<FetchCallbacks *>(user);
        THTTPGetThread *t = cb->t;
        const size_t bytes = size * n;
        cb->lastByte = std::chrono::steady_clock::now();
        if (t->stopRequested())
            return 0;
        if (cb->badLength || (t->m_binaryData && !cb->haveLength)) {
            cb->refused = true;
            return 0;
        }
        if (t->Readed + qint64(bytes) > THTTPGet::maxBodyBytes) {
            cb->refused = true;
            return 0;
        }
        t->TotalSize = cb->haveLength ? cb->length : 0;
        t->StringResult.append(data, qsizetype(bytes));
        t->Readed += qint64(bytes);
        if (t->m_onProgress)
            t->ReportProgress();
        return bytes;
    }

    static int progress(void *user, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
    {
        auto *cb = static_cast<FetchCallbacks *>(user);
        if (cb->t->stopRequested())
            return 1;
        if (std::chrono::steady_clock::now() - cb->lastByte > std::chrono::milliseconds(cb->t->m_stallMs)) {
            cb->stalled = true;
            return 1;
        }
        return 0;
    }
};

namespace {

// The address libcurl is given: http:// (any letter case) or https://, or no
// scheme at all, which means http. Characters that may not stand in a request
// line (a blank, say) are percent-encoded; existing escapes are kept.
QByteArray curlAddress(const QString &url)
{
    QString u = url.trimmed();
    if (u.startsWith(QLatin1String("http://"), Qt::CaseInsensitive))
        u = QStringLiteral("http://") + u.mid(7);
    else if (u.startsWith(QLatin1String("https://"), Qt::CaseInsensitive))
        u = QStringLiteral("https://") + u.mid(8);
    else if (u.contains(QLatin1String("://")))
        return QByteArray();
    else
        u = QStringLiteral("http://") + u;
    const QUrl parsed(u, QUrl::TolerantMode);
    if (!parsed.isValid() || parsed.host().isEmpty())
        return QByteArray();
    return parsed.toEncoded();
}

} // namespace

void THTTPGetThread::run()
{
    Succeeded = false;
    try {
        const QByteArray address = curlAddress(m_url);
        if (address.isEmpty() || stopRequested())
            return;

        CURL *curl = curl_easy_init();
        if (!curl)
            return;
        FetchCallbacks cb{this};
        curl_slist *headers = nullptr;
        const QByteArray agent = m_agent.toUtf8();
        const QByteArray referer = m_referer.toUtf8();
        const QByteArray user = m_userName.toUtf8();
        const QByteArray password = m_password.toUtf8();
        const QByteArray body = m_postQuery.toUtf8();
        const QByteArray accept = "Accept: " + m_acceptTypes.toUtf8();

        curl_easy_setopt(curl, CURLOPT_URL, address.constData());
        curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
        curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
        curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
        curl_easy_setopt(curl, CURLOPT_MAXREDIRS, 5L);
        curl_easy_setopt(curl, CURLOPT_HTTP_VERSION, long(CURL_HTTP_VERSION_1_0));
        curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
        curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, long(m_connectMs));
        // The whole fetch: each byte of a dripping server resets the stall time,
        // never this one.
        curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, long(m_deadlineMs));
        curl_easy_setopt(curl, CURLOPT_BUFFERSIZE, 1025L);
        if (!agent.isEmpty())
            curl_easy_setopt(curl, CURLOPT_USERAGENT, agent.constData());
        if (!referer.isEmpty())
            curl_easy_setopt(curl, CURLOPT_REFERER, referer.constData());
        if (!user.isEmpty()) {
            curl_easy_setopt(curl, CURLOPT_USERNAME, user.constData());
            curl_easy_setopt(curl, CURLOPT_PASSWORD, password.constData());
            curl_easy_setopt(curl, CURLOPT_HTTPAUTH, long(CURLAUTH_BASIC));
        }
        headers = curl_slist_append(headers, m_acceptTypes.isEmpty() ? "Accept:" : accept.constData());
        if (!m_useCache) {
            headers = curl_slist_append(headers, "Pragma: no-cache");
            headers = curl_slist_append(headers, "Cache-Control: no-cache");
        }
        if (!body.isEmpty()) {
            headers = curl_slist_append(headers, "Content-Type: application/x-www-form-urlencoded");
            curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE, long(body.size()));
            curl_easy_setopt(curl, CURLOPT_POSTFIELDS, body.constData());
        }
        curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
        curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, &FetchCallbacks::header);
        curl_easy_setopt(curl, CURLOPT_HEADERDATA, &cb);
        curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &FetchCallbacks::write);
        curl_easy_setopt(curl, CURLOPT_WRITEDATA, &cb);
        curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, &FetchCallbacks::progress);
        curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &cb);
        curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);

        const CURLcode rc = curl_easy_perform(curl);
        curl_easy_cleanup(curl);
        curl_slist_free_all(headers);

        // The body counts as the result whatever the status line said; a reply
        // that broke off midway still delivers what arrived. A stall or a refused
        // reply does not.
        const bool timedOut = rc == CURLE_OPERATION_TIMEDOUT || cb.stalled;
        Succeeded = Readed > 0 && !cb.refused && !cb.badLength && !timedOut && !stopRequested();
        if (!Succeeded) {
            StringResult.clear();
            if (cb.refused)
                Readed = 0;
        }
    } catch (...) {
        Succeeded = false;
    }
}

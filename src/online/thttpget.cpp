#include "online/thttpget.h"

#include <QCoreApplication>
#include <QFile>
#include <QUrl>
#include <curl/curl.h>
#include <dlfcn.h>
#include <chrono>
#include <memory>

// The handful of libcurl functions a fetch uses, resolved from the library at
// run time: the program does not link libcurl, so its many dependencies (TLS,
// Kerberos, LDAP, SSH...) are only loaded when the first fetch starts.
struct CurlApi
{
    decltype(&::curl_global_init) global_init = nullptr;
    decltype(&::curl_easy_init) easy_init = nullptr;
    decltype(&::curl_easy_setopt) easy_setopt = nullptr;
    decltype(&::curl_easy_perform) easy_perform = nullptr;
    decltype(&::curl_easy_cleanup) easy_cleanup = nullptr;
    decltype(&::curl_slist_append) slist_append = nullptr;
    decltype(&::curl_slist_free_all) slist_free_all = nullptr;
};

namespace {

struct CurlLoader
{
    QStringList names{QStringLiteral("libcurl.so.4"), QStringLiteral("libcurl-gnutls.so.4")};
    bool attempted = false;
    const CurlApi *api = nullptr; // set once loaded and set up
};

CurlLoader &curlLoader()
{
    static CurlLoader loader;
    return loader;
}

template <typename F>
bool resolve(void *handle, const char *name, F &out)
{
    out = reinterpret_cast<F>(dlsym(handle, name));
    return out != nullptr;
}

// Opens the first library of the list that has every function and runs its
// global set-up; null when none does. A library once opened stays loaded.
const CurlApi *loadCurl(const QStringList &names)
{
    for (const QString &name : names) {
        // Lazy binding: only the functions a fetch calls get resolved, which
        // saves a sixth of the load.
        void *handle = dlopen(QFile::encodeName(name).constData(), RTLD_LAZY | RTLD_LOCAL);
        if (!handle)
            continue;
        auto api = std::make_unique<CurlApi>();
        const bool complete = resolve(handle, "curl_global_init", api->global_init) &&
                              resolve(handle, "curl_easy_init", api->easy_init) &&
                              resolve(handle, "curl_easy_setopt", api->easy_setopt) &&
                              resolve(handle, "curl_easy_perform", api->easy_perform) &&
                              resolve(handle, "curl_easy_cleanup", api->easy_cleanup) &&
                              resolve(handle, "curl_slist_append", api->slist_append) &&
                              resolve(handle, "curl_slist_free_all", api->slist_free_all);
        if (!complete || api->global_init(CURL_GLOBAL_DEFAULT) != CURLE_OK) {
            dlclose(handle);
            continue;
        }
        return api.release(); // lives as long as the program, like the library
    }
    return nullptr;
}

} // namespace

bool THTTPGet::globalInit()
{
    // Only ever called on the UI thread, before the worker that needs it starts.
    CurlLoader &loader = curlLoader();
    if (!loader.attempted) {
        loader.attempted = true;
        loader.api = loadCurl(loader.names);
    }
    return loader.api != nullptr;
}

void THTTPGet::setLibraryNames(const QStringList &names)
{
    CurlLoader &loader = curlLoader();
    loader.names = names;
    loader.attempted = false;
    loader.api = nullptr;
}

namespace {
std::atomic<long> connectTimeout{30};
std::atomic<long> stallTimeout{60};
} // namespace

void THTTPGet::setTimeouts(long connectSeconds, long stallSeconds)
{
    connectTimeout = connectSeconds;
    stallTimeout = stallSeconds;
}

long THTTPGet::connectTimeoutSeconds()
{
    return connectTimeout;
}

long THTTPGet::stallTimeoutSeconds()
{
    return stallTimeout;
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
    : m_curl(curlLoader().api), m_acceptTypes(s.AcceptTypes), m_agent(s.Agent), m_url(s.URL), m_fileName(s.FileName),
      m_userName(s.UserName), m_password(s.Password), m_postQuery(s.PostQuery), m_referer(s.Referer),
      m_binaryData(s.BinaryData), m_useCache(s.UseCache), m_onProgress(s.OnProgress)
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
        } else if (line.toLower().startsWith("content-length:")) {
            qint64 value = 0;
            if (parseLength(line.mid(15), value)) {
                cb->haveLength = true;
                cb->length = value;
            } else {
                cb->badLength = true;
            }
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
        if (std::chrono::steady_clock::now() - cb->lastByte > std::chrono::seconds(THTTPGet::stallTimeoutSeconds())) {
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
        if (!m_curl || address.isEmpty() || stopRequested())
            return;

        const CurlApi &api = *m_curl;
        CURL *curl = api.easy_init();
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

        api.easy_setopt(curl, CURLOPT_URL, address.constData());
        api.easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
        api.easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
        api.easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
        api.easy_setopt(curl, CURLOPT_MAXREDIRS, 5L);
        api.easy_setopt(curl, CURLOPT_HTTP_VERSION, long(CURL_HTTP_VERSION_1_0));
        api.easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
        api.easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, THTTPGet::connectTimeoutSeconds());
        api.easy_setopt(curl, CURLOPT_BUFFERSIZE, 1025L);
        if (!agent.isEmpty())
            api.easy_setopt(curl, CURLOPT_USERAGENT, agent.constData());
        if (!referer.isEmpty())
            api.easy_setopt(curl, CURLOPT_REFERER, referer.constData());
        if (!user.isEmpty()) {
            api.easy_setopt(curl, CURLOPT_USERNAME, user.constData());
            api.easy_setopt(curl, CURLOPT_PASSWORD, password.constData());
            api.easy_setopt(curl, CURLOPT_HTTPAUTH, long(CURLAUTH_BASIC));
        }
        headers = api.slist_append(headers, m_acceptTypes.isEmpty() ? "Accept:" : accept.constData());
        if (!m_useCache) {
            headers = api.slist_append(headers, "Pragma: no-cache");
            headers = api.slist_append(headers, "Cache-Control: no-cache");
        }
        if (!body.isEmpty()) {
            headers = api.slist_append(headers, "Content-Type: application/x-www-form-urlencoded");
            api.easy_setopt(curl, CURLOPT_POSTFIELDSIZE, long(body.size()));
            api.easy_setopt(curl, CURLOPT_POSTFIELDS, body.constData());
        }
        api.easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
        api.easy_setopt(curl, CURLOPT_HEADERFUNCTION, &FetchCallbacks::header);
        api.easy_setopt(curl, CURLOPT_HEADERDATA, &cb);
        api.easy_setopt(curl, CURLOPT_WRITEFUNCTION, &FetchCallbacks::write);
        api.easy_setopt(curl, CURLOPT_WRITEDATA, &cb);
        api.easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, &FetchCallbacks::progress);
        api.easy_setopt(curl, CURLOPT_XFERINFODATA, &cb);
        api.easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);

        const CURLcode rc = api.easy_perform(curl);
        api.easy_cleanup(curl);
        api.slist_free_all(headers);

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

#include "scoreserver.h"
#include "scorepage.h"

#include <microhttpd.h>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <sstream>

namespace {

constexpr const char *scorePath = "/cgi-bin/ballwick.cgi";
constexpr const char *listPath = "/counter/ballwick.shtml";
constexpr const char *versionPath = "/ballwick/ballwickversion.txt";
constexpr const char *installerPath = "/ballwick/moxsetup.exe";
constexpr const char *htmlType = "text/html; charset=utf-8";
constexpr const char *textType = "text/plain; charset=utf-8";

// A post counts as the player's own on the list page for this long.
constexpr std::time_t markWindowSeconds = 10 * 60;

// A request target for the log: printable ASCII only, bounded.
std::string printable(const std::string &s)
{
    std::string out;
    for (char ch : s.substr(0, 300)) {
        const auto c = static_cast<unsigned char>(ch);
        out += (c >= 0x20 && c < 0x7F) ? ch : '?';
    }
    if (s.size() > 300)
        out += "...";
    return out;
}

std::string numericAddress(const sockaddr *sa)
{
    if (!sa)
        return "-";
    char host[NI_MAXHOST] = "";
    const socklen_t len = sa->sa_family == AF_INET6 ? sizeof(sockaddr_in6) : sizeof(sockaddr_in);
    if (getnameinfo(sa, len, host, sizeof host, nullptr, 0, NI_NUMERICHOST) != 0)
        return "-";
    return host;
}

// A query argument as the library decoded it; nullptr when the key is absent.
const std::string *argument(MHD_Connection *connection, const char *key, std::string &holder)
{
    const char *value = nullptr;
    std::size_t size = 0;
    if (MHD_lookup_connection_value_n(connection, MHD_GET_ARGUMENT_KIND, key, std::strlen(key), &value, &size)
        != MHD_YES)
        return nullptr;
    holder = value ? std::string(value, size) : std::string();
    return &holder;
}

// The first midnight of the server's local day.
std::time_t startOfToday(std::time_t now)
{
    std::tm tm{};
    localtime_r(&now, &tm);
    tm.tm_hour = tm.tm_min = tm.tm_sec = 0;
    tm.tm_isdst = -1;
    return std::mktime(&tm);
}

} // namespace

// The library's callbacks, handing each event to its server.
struct ServerCallbacks
{
    static void connection(void *cls, MHD_Connection *connection, void **socketContext,
                           enum MHD_ConnectionNotificationCode code)
    {
        auto *server = static_cast<ScoreServer *>(cls);
        if (code == MHD_CONNECTION_NOTIFY_STARTED) {
            auto *client = new ScoreServer::Connection;
            const MHD_ConnectionInfo *info = MHD_get_connection_info(connection, MHD_CONNECTION_INFO_CLIENT_ADDRESS);
            client->address = numericAddress(info ? info->client_addr : nullptr);
            *socketContext = client;
            return;
        }
        auto *client = static_cast<ScoreServer::Connection *>(*socketContext);
        // A request whose line arrived but that was never answered: the client went
        // silent or away, or the library refused the request itself.
        if (client && !client->answered)
            server->logLine(*client, "-", "-", 0);
        delete client;
        *socketContext = nullptr;
    }

    // Called once per request with the target exactly as sent, before it is parsed.
    static void *target(void *, const char *uri, MHD_Connection *connection)
    {
        const MHD_ConnectionInfo *info = MHD_get_connection_info(connection, MHD_CONNECTION_INFO_SOCKET_CONTEXT);
        auto *client = info ? static_cast<ScoreServer::Connection *>(info->socket_context) : nullptr;
        if (client) {
            client->target = uri ? uri : "";
            client->answered = false;
            client->started = false;
        }
        return client;
    }

    static enum MHD_Result request(void *cls, MHD_Connection *connection, const char *url, const char *method,
                                   const char *, const char *, std::size_t *uploadSize, void **requestContext)
    {
        auto *server = static_cast<ScoreServer *>(cls);
        auto *client = static_cast<ScoreServer::Connection *>(*requestContext);
        if (!client)
            return MHD_NO;
        if (client->answered) {
            // The rest of a body the request should not have had.
            *uploadSize = 0;
            return MHD_YES;
        }
        // The first call comes with the headers. Every address is a plain GET: a
        // request announcing a body is refused at once (and its connection closed)
        // rather than read. Otherwise the answer follows on the next call, which
        // lets the connection be kept alive.
        if (!client->started) {
            client->started = true;
            if (!server->bodyless(connection))
                return server->reply(connection, *client, method ? method : "", MHD_HTTP_CONTENT_TOO_LARGE,
                                     "Error 413\n", textType)
                    ? MHD_YES
                    : MHD_NO;
            return MHD_YES;
        }
        return server->answer(connection, *client, url ? url : "", method ? method : "") ? MHD_YES : MHD_NO;
    }
};

ScoreServer::ScoreServer(Options options, std::ostream &log) : m_opt(std::move(options)), m_log(log) {}

ScoreServer::~ScoreServer()
{
    shutdown();
}

bool ScoreServer::start()
{
    if (!m_store.open(m_opt.db)) {
        m_error = "cannot open the score database " + m_opt.db + ": " + m_store.error();
        return false;
    }

    // The listening socket is made here: SO_REUSEADDR only (a restart can bind at
    // once; a second server on the same port fails instead of sharing it), and
    // the system's longest accept queue for many players posting at once.
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_PASSIVE | AI_NUMERICSERV;
    addrinfo *found = nullptr;
    const std::string service = std::to_string(m_opt.port);
    const std::string where = m_opt.host + ":" + service;
    if (getaddrinfo(m_opt.host.c_str(), service.c_str(), &hints, &found) != 0 || !found) {
        m_error = "cannot listen on " + where + ": unknown address";
        return false;
    }
    int fd = -1;
    int family = AF_INET;
    for (addrinfo *a = found; a && fd < 0; a = a->ai_next) {
        fd = ::socket(a->ai_family, a->ai_socktype | SOCK_CLOEXEC, a->ai_protocol);
        if (fd < 0)
            continue;
        int one = 1;
        ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
        if (::bind(fd, a->ai_addr, a->ai_addrlen) != 0 || ::listen(fd, SOMAXCONN) != 0) {
            ::close(fd);
            fd = -1;
            continue;
        }
        family = a->ai_family;
    }
    freeaddrinfo(found);
    if (fd < 0) {
        m_error = "cannot listen on " + where + ": " + std::strerror(errno);
        return false;
    }
    sockaddr_storage bound{};
    socklen_t boundLen = sizeof bound;
    ::getsockname(fd, reinterpret_cast<sockaddr *>(&bound), &boundLen);
    m_port = ntohs(family == AF_INET6 ? reinterpret_cast<sockaddr_in6 *>(&bound)->sin6_port
                                      : reinterpret_cast<sockaddr_in *>(&bound)->sin_port);

    unsigned flags = MHD_USE_EPOLL_INTERNAL_THREAD;
    if (family == AF_INET6)
        flags |= MHD_USE_IPv6;
    m_daemon = MHD_start_daemon(
        flags, 0, nullptr, nullptr, &ServerCallbacks::request, this,
        MHD_OPTION_LISTEN_SOCKET, MHD_socket(fd),
        MHD_OPTION_THREAD_POOL_SIZE, std::max(1u, m_opt.threads),
        MHD_OPTION_CONNECTION_TIMEOUT, m_opt.timeoutSeconds,
        MHD_OPTION_CONNECTION_LIMIT, m_opt.maxConnections,
        MHD_OPTION_PER_IP_CONNECTION_LIMIT, m_opt.connectionsPerAddress,
        MHD_OPTION_CONNECTION_MEMORY_LIMIT, std::size_t(32 * 1024),
        MHD_OPTION_NOTIFY_CONNECTION, &ServerCallbacks::connection, this,
        MHD_OPTION_URI_LOG_CALLBACK, &ServerCallbacks::target, this,
        MHD_OPTION_END);
    if (!m_daemon) {
        ::close(fd);
        m_error = "cannot start serving on " + where;
        return false;
    }
    return true;
}

void ScoreServer::run()
{
    {
        std::unique_lock lock(m_stopMutex);
        m_stopped.wait(lock, [this] { return m_stopRequested; });
    }
    shutdown();
}

void ScoreServer::stop()
{
    std::lock_guard lock(m_stopMutex);
    m_stopRequested = true;
    m_stopped.notify_all();
}

void ScoreServer::shutdown()
{
    if (m_daemon) {
        MHD_stop_daemon(m_daemon); // closes the listening socket too
        m_daemon = nullptr;
    }
}

void ScoreServer::logLine(const Connection &client, const std::string &method, const std::string &status,
                          std::uint64_t bytes)
{
    std::ostringstream line;
    line << ScoreStore::timestamp(std::time(nullptr)) << ' ' << client.address << ' ' << method << ' '
         << printable(client.target) << ' ' << status << ' ' << bytes << '\n';
    std::lock_guard lock(m_logMutex);
    m_log << line.str() << std::flush;
}

int ScoreServer::reply(MHD_Connection *connection, Connection &client, const std::string &method, unsigned status,
                       std::string body, const char *type)
{
    MHD_Response *response =
        MHD_create_response_from_buffer(body.size(), body.data(), MHD_RESPMEM_MUST_COPY);
    if (!response)
        return false;
    if (type)
        MHD_add_response_header(response, MHD_HTTP_HEADER_CONTENT_TYPE, type);
    MHD_add_response_header(response, MHD_HTTP_HEADER_CACHE_CONTROL, "no-store");
    if (status == MHD_HTTP_TOO_MANY_REQUESTS)
        MHD_add_response_header(response, MHD_HTTP_HEADER_RETRY_AFTER, "60");
    if (status == MHD_HTTP_METHOD_NOT_ALLOWED)
        MHD_add_response_header(response, MHD_HTTP_HEADER_ALLOW, "GET, HEAD");
    const bool queued = MHD_queue_response(connection, status, response) == MHD_YES;
    MHD_destroy_response(response);
    client.answered = true;
    logLine(client, method, std::to_string(status), body.size());
    return queued;
}

int ScoreServer::answer(MHD_Connection *connection, Connection &client, const std::string &path,
                        const std::string &method)
{
    if (method != MHD_HTTP_METHOD_GET && method != MHD_HTTP_METHOD_HEAD)
        return reply(connection, client, method, MHD_HTTP_METHOD_NOT_ALLOWED, "Error 405\n", textType);
    if (path == scorePath)
        return postScore(connection, client, method);
    if (path == listPath)
        return listPage(connection, client, method);
    if (path == versionPath)
        return serveFile(connection, client, method, m_opt.versionFile, "text/plain");
    if (path == installerPath)
        return serveFile(connection, client, method, m_opt.installer, "application/octet-stream");
    if (path == "/")
        return reply(connection, client, method, MHD_HTTP_OK, scorepage::renderHome(), htmlType);
    if (path == "/multiplayer/" || path == "/multiplayer")
        return reply(connection, client, method, MHD_HTTP_OK, scorepage::renderMultiplayer(), htmlType);
    return reply(connection, client, method, MHD_HTTP_NOT_FOUND, "Error 404\n", "text/plain");
}

bool ScoreServer::bodyless(MHD_Connection *connection)
{
    if (MHD_lookup_connection_value(connection, MHD_HEADER_KIND, MHD_HTTP_HEADER_TRANSFER_ENCODING))
        return false;
    const char *length = MHD_lookup_connection_value(connection, MHD_HEADER_KIND, MHD_HTTP_HEADER_CONTENT_LENGTH);
    return !length || std::strcmp(length, "0") == 0;
}

bool ScoreServer::allowPost(const std::string &address)
{
    if (m_opt.postsPerMinute == 0)
        return true;
    const auto now = std::chrono::steady_clock::now();
    const auto windowStart = now - std::chrono::minutes(1);
    std::lock_guard lock(m_rateMutex);
    // Now and then addresses that have not posted for a minute are forgotten.
    if (++m_postsSincePrune >= 1024) {
        m_postsSincePrune = 0;
        for (auto it = m_posts.begin(); it != m_posts.end();)
            it = it->second.empty() || it->second.back() < windowStart ? m_posts.erase(it) : std::next(it);
    }
    auto &times = m_posts[address];
    while (!times.empty() && times.front() < windowStart)
        times.pop_front();
    if (times.size() >= m_opt.postsPerMinute)
        return false;
    times.push_back(now);
    return true;
}

int ScoreServer::postScore(MHD_Connection *connection, Connection &client, const std::string &method)
{
    std::string n, d, s;
    scorepage::Post post;
    if (auto why = scorepage::validate(argument(connection, "name", n), argument(connection, "date", d),
                                       argument(connection, "score", s), post))
        return reply(connection, client, method, MHD_HTTP_BAD_REQUEST, "Score not posted: " + *why + "\n", textType);
    if (!allowPost(client.address))
        return reply(connection, client, method, MHD_HTTP_TOO_MANY_REQUESTS,
                     "Score not posted: too many scores from your address; try again in a minute.\n", textType);
    if (!m_store.add(post.name, post.date, post.score, client.address))
        return reply(connection, client, method, MHD_HTTP_INTERNAL_SERVER_ERROR,
                     "Score not posted: the score list cannot be written just now.\n", textType);
    return reply(connection, client, method, MHD_HTTP_OK, "Score posted.\n", textType);
}

int ScoreServer::listPage(MHD_Connection *connection, Connection &client, const std::string &method)
{
    const std::time_t now = std::time(nullptr);
    scorepage::ListPage page;
    page.boards = {
        {"Today", "today", m_store.top(scorepage::boardLength, startOfToday(now)), 0},
        {"The Last 7 Days", "in the last 7 days", m_store.top(scorepage::boardLength, now - 7 * 24 * 3600), 0},
        {"All Time", "so far", m_store.top(scorepage::boardLength), 0},
    };
    page.mark = m_store.newestFrom(client.address, now - markWindowSeconds);
    if (page.mark) {
        page.boards[0].markRank = m_store.rankOf(*page.mark, startOfToday(now));
        page.boards[1].markRank = m_store.rankOf(*page.mark, now - 7 * 24 * 3600);
        page.boards[2].markRank = m_store.rankOf(*page.mark, 0);
    }
    return reply(connection, client, method, MHD_HTTP_OK, scorepage::renderList(page), htmlType);
}

int ScoreServer::serveFile(MHD_Connection *connection, Connection &client, const std::string &method,
                           const std::string &file, const char *type)
{
    const int fd = file.empty() ? -1 : ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat st{};
    if (fd < 0 || ::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        if (fd >= 0)
            ::close(fd);
        // No body at all: the game takes any text it receives for the version file
        // as the current version, so an error page would offer an update that
        // cannot be downloaded. An empty reply counts as a failed check.
        return reply(connection, client, method, MHD_HTTP_NOT_FOUND, {}, nullptr);
    }
    MHD_Response *response = MHD_create_response_from_fd64(std::uint64_t(st.st_size), fd); // takes the descriptor
    if (!response) {
        ::close(fd);
        return false;
    }
    MHD_add_response_header(response, MHD_HTTP_HEADER_CONTENT_TYPE, type);
    MHD_add_response_header(response, MHD_HTTP_HEADER_CACHE_CONTROL, "no-store");
    const bool queued = MHD_queue_response(connection, MHD_HTTP_OK, response) == MHD_YES;
    MHD_destroy_response(response);
    client.answered = true;
    logLine(client, method, "200", std::uint64_t(st.st_size));
    return queued;
}

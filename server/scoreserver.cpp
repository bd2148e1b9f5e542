#include "scoreserver.h"
#include "scorepage.h"

#include <httplib.h>

#include <sys/socket.h>

#include <chrono>
#include <ctime>
#include <fstream>
#include <iterator>
#include <sstream>

namespace {

constexpr const char *scorePath = "/cgi-bin/ballwick.cgi";
constexpr const char *listPath = "/counter/ballwick.shtml";
constexpr const char *versionPath = "/ballwick/ballwickversion.txt";
constexpr const char *installerPath = "/ballwick/moxsetup.exe";

std::string utcNow()
{
    const std::time_t t = std::time(nullptr);
    std::tm tm{};
    gmtime_r(&t, &tm);
    char buf[32];
    std::strftime(buf, sizeof buf, "%Y-%m-%dT%H:%M:%SZ", &tm);
    return buf;
}

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

bool readFile(const std::string &path, std::string &out)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

const std::string *param(const httplib::Request &req, const char *key, std::string &holder)
{
    if (!req.has_param(key))
        return nullptr;
    holder = req.get_param_value(key);
    return &holder;
}

} // namespace

ScoreServer::ScoreServer(Options options, std::ostream &log)
    : m_opt(std::move(options)), m_log(log), m_http(std::make_unique<httplib::Server>())
{
}

ScoreServer::~ScoreServer() = default;

bool ScoreServer::start()
{
    if (!m_store.open(m_opt.db)) {
        m_error = "cannot open the score database " + m_opt.db + ": " + m_store.error();
        return false;
    }
    setupRoutes();
    // Only SO_REUSEADDR (a restart can bind at once; a second server on the
    // same port fails instead of sharing it), and no Nagle delay on replies.
    int listenFd = -1;
    m_http->set_socket_options([&listenFd](socket_t fd) {
        int one = 1;
        ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
        listenFd = fd;
    });
    m_http->set_tcp_nodelay(true);
    if (m_opt.port == 0) {
        m_port = m_http->bind_to_any_port(m_opt.host);
    } else if (m_http->bind_to_port(m_opt.host, m_opt.port)) {
        m_port = m_opt.port;
    } else {
        m_port = -1;
    }
    if (m_port <= 0) {
        m_error = "cannot listen on " + m_opt.host + ":" + std::to_string(m_opt.port);
        return false;
    }
    // The library listens with a backlog of 5; many players posting at once need
    // a longer queue, so the listening socket is given the system's maximum.
    if (listenFd >= 0)
        ::listen(listenFd, SOMAXCONN);
    // Accepted sockets must not inherit the hook above.
    m_http->set_socket_options([](socket_t) {});
    return true;
}

void ScoreServer::run()
{
    m_http->listen_after_bind();
}

void ScoreServer::stop()
{
    m_http->stop();
}

std::string ScoreServer::listPage()
{
    std::lock_guard lock(m_pageMutex);
    if (m_pageStale) {
        m_page = scorepage::renderList(m_store.top(scorepage::listLength));
        m_pageStale = false;
    }
    return m_page;
}

void ScoreServer::setupRoutes()
{
    httplib::Server &http = *m_http;
    // Each open connection holds a worker while it is kept alive.
    http.new_task_queue = [] { return new httplib::ThreadPool(32); };
    http.set_keep_alive_max_count(1000);
    http.set_read_timeout(10);
    http.set_write_timeout(10);
    http.set_payload_max_length(64 * 1024);

    http.Get(scorePath, [this](const httplib::Request &req, httplib::Response &res) {
        std::string n, d, s;
        scorepage::Post post;
        if (auto why = scorepage::validate(param(req, "name", n), param(req, "date", d), param(req, "score", s), post)) {
            res.status = 400;
            res.set_content("Score not posted: " + *why + "\n", "text/plain; charset=utf-8");
            return;
        }
        if (!m_store.add(post.name, post.date, post.score)) {
            res.status = 500;
            res.set_content("Score not posted: the score list cannot be written just now.\n",
                            "text/plain; charset=utf-8");
            return;
        }
        {
            std::lock_guard lock(m_pageMutex);
            m_pageStale = true;
        }
        res.set_header("Cache-Control", "no-store");
        res.set_content("Score posted.\n", "text/plain; charset=utf-8");
    });

    http.Get(listPath, [this](const httplib::Request &, httplib::Response &res) {
        res.set_header("Cache-Control", "no-store");
        res.set_content(listPage(), "text/html; charset=utf-8");
    });

    auto serveFile = [](const std::string &file, const char *type) {
        return [file, type](const httplib::Request &, httplib::Response &res) {
            std::string body;
            if (file.empty() || !readFile(file, body)) {
                // No body at all: the game takes any text it receives for the version
                // file as the current version, so an error page would offer an update
                // that cannot be downloaded. An empty reply counts as a failed check.
                res.status = 404;
                return;
            }
            res.set_header("Cache-Control", "no-store");
            res.set_content(std::move(body), type);
        };
    };
    http.Get(versionPath, serveFile(m_opt.versionFile, "text/plain"));
    http.Get(installerPath, serveFile(m_opt.installer, "application/octet-stream"));

    http.set_error_handler([](const httplib::Request &req, httplib::Response &res) {
        if (res.body.empty() && req.path != versionPath && req.path != installerPath)
            res.set_content("Error " + std::to_string(res.status) + "\n", "text/plain");
    });

    http.set_logger([this](const httplib::Request &req, const httplib::Response &res) {
        std::ostringstream line;
        line << utcNow() << ' ' << req.remote_addr << ' ' << req.method << ' ' << printable(req.target) << ' '
             << res.status << ' ' << res.body.size() << '\n';
        std::lock_guard lock(m_logMutex);
        m_log << line.str() << std::flush;
    });
}

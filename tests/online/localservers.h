#pragma once
// Servers on 127.0.0.1 for the online tests, each on a free port of its own:
// an HTTP server (cpp-httplib) and a raw one that writes replies byte by byte.
#include <httplib.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <thread>

namespace testing_online {

// Runs the UI thread's events until pred() holds or ms pass.
inline bool waitFor(const std::function<bool()> &pred, int ms = 5000)
{
    QElapsedTimer t;
    t.start();
    while (!pred()) {
        if (t.elapsed() > ms)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(2);
    }
    return true;
}

// Runs the UI thread's events for ms.
inline void pump(int ms)
{
    waitFor([] { return false; }, ms);
}

class HttpFixture
{
public:
    httplib::Server server;

    // port 0: any free one.
    void start(int port = 0)
    {
        m_port = port ? (server.bind_to_port("127.0.0.1", port) ? port : -1) : server.bind_to_any_port("127.0.0.1");
        m_thread = std::thread([this] { server.listen_after_bind(); });
        // stop() only reaches a server that is already running.
        while (!server.is_running())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    // Closes the port: the address refuses connections from now on.
    void stop()
    {
        server.stop();
        if (m_thread.joinable())
            m_thread.join();
    }
    ~HttpFixture() { stop(); }
    int port() const { return m_port; }
    QString base() const { return QStringLiteral("http://127.0.0.1:%1/").arg(m_port); }
    QString url(const char *path) const { return base() + QString::fromLatin1(path).mid(1); }

private:
    int m_port = 0;
    std::thread m_thread;
};

// Accepts connections one after another; for each, reads the request head and
// hands the socket to the handler, then closes it.
class RawServer
{
public:
    using Handler = std::function<void(int fd, const std::string &request, RawServer &server)>;

    explicit RawServer(Handler handler) : m_handler(std::move(handler))
    {
        m_listen = ::socket(AF_INET, SOCK_STREAM, 0);
        int one = 1;
        ::setsockopt(m_listen, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(m_listen, reinterpret_cast<sockaddr *>(&a), sizeof a);
        ::listen(m_listen, 8);
        socklen_t len = sizeof a;
        ::getsockname(m_listen, reinterpret_cast<sockaddr *>(&a), &len);
        m_port = ntohs(a.sin_port);
        m_thread = std::thread([this] { loop(); });
    }
    ~RawServer()
    {
        m_stop = true;
        m_thread.join();
        ::close(m_listen);
    }
    bool stopping() const { return m_stop; }
    int connections() const { return m_connections; }
    QString url(const char *path = "/") const { return QStringLiteral("http://127.0.0.1:%1%2").arg(m_port).arg(path); }

    // False once the peer has gone.
    static bool send(int fd, const std::string &bytes)
    {
        return ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL) == ssize_t(bytes.size());
    }
    // Sleeps in small steps, ending early when the server stops.
    void sleep(int ms)
    {
        for (int i = 0; i < ms / 10 && !m_stop; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }

private:
    void loop()
    {
        while (!m_stop) {
            pollfd p{m_listen, POLLIN, 0};
            if (::poll(&p, 1, 20) <= 0)
                continue;
            const int fd = ::accept(m_listen, nullptr, nullptr);
            if (fd < 0)
                continue;
            ++m_connections;
            std::string request;
            char buf[1024];
            while (request.find("\r\n\r\n") == std::string::npos && !m_stop) {
                pollfd q{fd, POLLIN, 0};
                if (::poll(&q, 1, 20) <= 0)
                    continue;
                const ssize_t n = ::recv(fd, buf, sizeof buf, 0);
                if (n <= 0)
                    break;
                request.append(buf, size_t(n));
                if (static_cast<unsigned char>(request[0]) < 0x20)
                    break; // not HTTP text (a TLS hello, say): hand it over as it is
            }
            if (!m_stop)
                m_handler(fd, request, *this);
            ::close(fd);
        }
    }

    Handler m_handler;
    int m_listen = -1;
    int m_port = 0;
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_connections{0};
    std::thread m_thread;
};

} // namespace testing_online

#pragma once
// Plain TCP clients to the server on 127.0.0.1 from any loopback source address
// (all of 127.0.0.0/8 reaches the loopback device), so one test can play many
// players, or many hostile clients, each with an address of its own.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>

namespace loopclient {

// A connection to 127.0.0.1:port from `source`; -1 on failure.
inline int connectFrom(const std::string &source, int port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return -1;
    sockaddr_in from{};
    from.sin_family = AF_INET;
    ::inet_pton(AF_INET, source.c_str(), &from.sin_addr);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(std::uint16_t(port));
    ::inet_pton(AF_INET, "127.0.0.1", &to.sin_addr);
    if (::bind(fd, reinterpret_cast<sockaddr *>(&from), sizeof from) != 0
        || ::connect(fd, reinterpret_cast<sockaddr *>(&to), sizeof to) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

inline bool sendAll(int fd, const std::string &data)
{
    std::size_t done = 0;
    while (done < data.size()) {
        const ssize_t n = ::send(fd, data.data() + done, data.size() - done, MSG_NOSIGNAL);
        if (n <= 0)
            return false;
        done += std::size_t(n);
    }
    return true;
}

// Reads until the peer closes or `ms` milliseconds pass. `closed` tells which.
inline std::string readFor(int fd, int ms, bool *closed = nullptr)
{
    std::string out;
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    if (closed)
        *closed = false;
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            return out;
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, int(left.count())) <= 0)
            continue;
        char buf[16384];
        const ssize_t n = ::recv(fd, buf, sizeof buf, 0);
        if (n <= 0) {
            if (closed)
                *closed = true;
            return out;
        }
        out.append(buf, std::size_t(n));
    }
}

struct Reply
{
    int status = 0; // 0: no reply
    std::string body;
};

// One GET of `target` from `source` on a connection of its own.
inline Reply get(const std::string &source, int port, const std::string &target, int ms = 5000)
{
    Reply reply;
    const int fd = connectFrom(source, port);
    if (fd < 0)
        return reply;
    if (sendAll(fd, "GET " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n")) {
        const std::string raw = readFor(fd, ms);
        const auto headEnd = raw.find("\r\n\r\n");
        if (raw.compare(0, 9, "HTTP/1.1 ") == 0 && headEnd != std::string::npos) {
            reply.status = std::atoi(raw.c_str() + 9);
            reply.body = raw.substr(headEnd + 4);
        }
    }
    ::close(fd);
    return reply;
}

} // namespace loopclient

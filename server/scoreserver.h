#pragma once
#include "scorestore.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <ostream>
#include <string>
#include <unordered_map>

struct MHD_Daemon;
struct MHD_Connection;

// The game's addresses on the score server: the score post, the list page, the
// version file and the installer, with the maker's home and multiplayer pages.
// Event-driven (libmicrohttpd): an idle or slowly writing client holds a socket,
// never a worker, and is cut off after `timeoutSeconds` without a byte.
class ScoreServer
{
public:
    struct Options
    {
        std::string host = "127.0.0.1";
        int port = 8780; // 0: any free port
        std::string db = "scores.db";
        std::string versionFile; // empty: 404
        std::string installer;   // empty: 404
        unsigned postsPerMinute = 10;       // per client address; 0: no limit
        unsigned connectionsPerAddress = 16; // open at once from one address
        unsigned maxConnections = 2000;
        unsigned timeoutSeconds = 5; // longest silence while a request is read or a connection idles
        unsigned threads = 4;
    };

    explicit ScoreServer(Options options, std::ostream &log);
    ~ScoreServer();
    ScoreServer(const ScoreServer &) = delete;
    ScoreServer &operator=(const ScoreServer &) = delete;

    // Opens the database, binds the port and starts serving; false with a reason
    // in error().
    bool start();
    const std::string &error() const { return m_error; }
    int port() const { return m_port; }
    // Waits until stop() (from any thread), then closes every connection.
    void run();
    void stop();

    // Per connection: the client's address and the request line's target.
    struct Connection
    {
        std::string address;
        std::string target;
        bool started = false; // the request's headers were seen
        bool answered = true;
    };

private:
    friend struct ServerCallbacks;

    int answer(MHD_Connection *connection, Connection &client, const std::string &path, const std::string &method);
    int reply(MHD_Connection *connection, Connection &client, const std::string &method, unsigned status,
              std::string body, const char *type);
    int postScore(MHD_Connection *connection, Connection &client, const std::string &method);
    int listPage(MHD_Connection *connection, Connection &client, const std::string &method);
    int serveFile(MHD_Connection *connection, Connection &client, const std::string &method, const std::string &file,
                  const char *type);
    bool bodyless(MHD_Connection *connection);
    bool allowPost(const std::string &address);
    void logLine(const Connection &client, const std::string &method, const std::string &status, std::uint64_t bytes);
    void shutdown();

    Options m_opt;
    std::ostream &m_log;
    std::mutex m_logMutex;
    MHD_Daemon *m_daemon = nullptr;
    ScoreStore m_store;
    std::string m_error;
    int m_port = 0;

    std::mutex m_stopMutex;
    std::condition_variable m_stopped;
    bool m_stopRequested = false;

    // Times of each address's accepted posts within the last minute.
    std::mutex m_rateMutex;
    std::unordered_map<std::string, std::deque<std::chrono::steady_clock::time_point>> m_posts;
    unsigned m_postsSincePrune = 0;
};

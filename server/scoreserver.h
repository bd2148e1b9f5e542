#pragma once
#include "scorestore.h"

#include <memory>
#include <mutex>
#include <ostream>
#include <string>

namespace httplib {
class Server;
}

// The game's four addresses on the score server: the score post, the list page,
// the version file and the installer.
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
    };

    explicit ScoreServer(Options options, std::ostream &log);
    ~ScoreServer();

    // Opens the database and binds the port; false with a reason in error().
    bool start();
    const std::string &error() const { return m_error; }
    int port() const { return m_port; }
    // Serves until stop() (from any thread).
    void run();
    void stop();

private:
    void setupRoutes();
    std::string listPage();

    Options m_opt;
    std::ostream &m_log;
    std::mutex m_logMutex;
    std::unique_ptr<httplib::Server> m_http;
    ScoreStore m_store;
    std::string m_error;
    int m_port = 0;

    std::mutex m_pageMutex;
    std::string m_page; // rendered list, rebuilt after a post
    bool m_pageStale = true;
};

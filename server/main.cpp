// ballwick-server: the reference score server for the game's online high-score
// list, version check and installer download.
#include "scoreserver.h"

#include <ballwick_config.h>

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <pthread.h>
#include <sys/resource.h>
#include <string>
#include <thread>

namespace {

void usage(std::ostream &out)
{
    out << "usage: ballwick-server [--port N] [--host ADDR] [--db FILE] [--version-file FILE] [--installer FILE]\n"
           "                       [--posts-per-minute N]\n"
           "       ballwick-server --help | --version\n"
           "  --port N            port to listen on (default 8780; 0 picks a free one)\n"
           "  --host ADDR         address to listen on (default 127.0.0.1)\n"
           "  --db FILE           SQLite file with the scores (default scores.db)\n"
           "  --version-file FILE served as /ballwick/ballwickversion.txt (404 when not given)\n"
           "  --installer FILE    served as /ballwick/moxsetup.exe (404 when not given)\n"
           "  --posts-per-minute N  scores taken from one address per minute (default 10; 0: no limit)\n";
}

} // namespace

int main(int argc, char **argv)
{
    ScoreServer::Options opt;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "-h" || a == "--help") {
            usage(std::cout);
            return 0;
        }
        if (a == "--version") {
            std::cout << "ballwick-server " BALLWICK_VERSION_FULL "\n";
            return 0;
        }
        if (i + 1 >= argc) {
            std::cerr << "ballwick-server: " << a << " needs a value\n";
            usage(std::cerr);
            return 2;
        }
        const std::string v = argv[++i];
        if (a == "--port") {
            char *end = nullptr;
            const long p = std::strtol(v.c_str(), &end, 10);
            if (v.empty() || *end || p < 0 || p > 65535) {
                std::cerr << "ballwick-server: bad port " << v << "\n";
                return 2;
            }
            opt.port = int(p);
        } else if (a == "--posts-per-minute") {
            char *end = nullptr;
            const long n = std::strtol(v.c_str(), &end, 10);
            if (v.empty() || *end || n < 0 || n > 1000000) {
                std::cerr << "ballwick-server: bad post limit " << v << "\n";
                return 2;
            }
            opt.postsPerMinute = unsigned(n);
        } else if (a == "--host") {
            opt.host = v;
        } else if (a == "--db") {
            opt.db = v;
        } else if (a == "--version-file") {
            opt.versionFile = v;
        } else if (a == "--installer") {
            opt.installer = v;
        } else {
            std::cerr << "ballwick-server: unknown option " << a << "\n";
            usage(std::cerr);
            return 2;
        }
    }

    // SIGINT and SIGTERM end the server cleanly: they are taken by a thread of
    // their own, so every other thread starts with them blocked.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    // Each connection is a descriptor: allow as many as the system lets us.
    rlimit files{};
    if (getrlimit(RLIMIT_NOFILE, &files) == 0 && files.rlim_cur < files.rlim_max) {
        files.rlim_cur = files.rlim_max;
        setrlimit(RLIMIT_NOFILE, &files);
    }

    ScoreServer server(opt, std::cout);
    if (!server.start()) {
        std::cerr << "ballwick-server: " << server.error() << "\n";
        return 1;
    }
    std::cout << "ballwick-server listening on http://" << opt.host << ':' << server.port() << "/ (db " << opt.db
              << ")" << std::endl;

    std::thread signalWaiter([&] {
        int sig = 0;
        sigwait(&stopSignals, &sig);
        server.stop();
    });
    signalWaiter.detach();
    server.run();
    std::cout << "ballwick-server stopped" << std::endl;
    return 0;
}

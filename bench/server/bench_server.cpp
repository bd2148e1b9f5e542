// Load on the score server over loopback: many players posting at once, the list
// page served from a full database, and a player's list request while hostile
// clients hold hundreds of idle and slowly written connections.
//
//   bench_server                 Google Benchmark run (all of the above)
//   bench_server --seed DB N     fills DB with N scores (used by wrk_list.sh)
#include "loopclient.h"
#include "scoreserver.h"
#include "scorestore.h"

#include <benchmark/benchmark.h>
#include <httplib.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;

namespace {

// A server of our own on a free loopback port, with a fresh database.
struct LiveServer
{
    fs::path dir;
    std::ostringstream log;
    std::unique_ptr<ScoreServer> server;
    std::thread thread;

    LiveServer()
    {
        dir = fs::temp_directory_path() / ("ballwick-bench-" + std::to_string(::getpid()) + "-"
                                           + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
        fs::create_directories(dir);
        ScoreServer::Options opt;
        opt.port = 0;
        opt.db = (dir / "scores.db").string();
        server = std::make_unique<ScoreServer>(opt, log);
        if (!server->start())
            throw std::runtime_error(server->error());
        thread = std::thread([this] { server->run(); });
        for (int i = 0; i < 500; ++i) {
            httplib::Client probe("127.0.0.1", server->port());
            if (probe.Get("/nothing"))
                break;
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    }
    ~LiveServer()
    {
        server->stop();
        thread.join();
        server.reset();
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
    std::string db() const { return (dir / "scores.db").string(); }
};

bool seed(const std::string &db, int n)
{
    ScoreStore store;
    if (!store.open(db))
        return false;
    for (int i = 0; i < n; ++i)
        if (!store.add("Player " + std::to_string(i), "12/6/26", (i * 7919) % 1251))
            return false;
    return true;
}

// 2000 posts from 50 clients at once, one connection per post as the game does,
// each address posting no more than the server takes from it in a minute;
// afterwards the table must hold exactly 2000 rows, one for each post.
void BM_Posts2000From50Clients(benchmark::State &state)
{
    constexpr int clients = 50, perClient = 40;
    for (auto _ : state) {
        LiveServer live;
        std::atomic<int> ok{0}, failed{0};
        const auto start = std::chrono::steady_clock::now();
        std::vector<std::thread> threads;
        for (int c = 0; c < clients; ++c) {
            threads.emplace_back([&, c] {
                for (int i = 0; i < perClient; ++i) {
                    const std::string source = "127.1." + std::to_string(c) + "." + std::to_string(1 + i / 10);
                    const std::string target = "/cgi-bin/ballwick.cgi?name=c" + std::to_string(c) + "p"
                        + std::to_string(i) + "&date=12/6/26&score=" + std::to_string((c * perClient + i) % 1251);
                    const auto res = loopclient::get(source, live.server->port(), target, 10000);
                    if (res.status == 200) {
                        ++ok;
                    } else {
                        ++failed;
                        std::fprintf(stderr, "post failed: %d\n", res.status);
                    }
                }
            });
        }
        for (auto &t : threads)
            t.join();
        state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        ScoreStore check;
        check.open(live.db());
        const auto rows = check.count();
        const auto names = check.top(clients * perClient + 1).size();
        state.counters["rows"] = double(rows);
        state.counters["failed_posts"] = double(failed.load());
        if (rows != clients * perClient || ok != clients * perClient || names != std::size_t(clients * perClient)) {
            state.SkipWithError("rows lost or doubled");
            break;
        }
    }
    state.SetItemsProcessed(state.iterations() * clients * perClient);
}
BENCHMARK(BM_Posts2000From50Clients)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);

// The list page with 10 000 stored scores, over kept-alive connections.
void BM_ListPage10000Scores(benchmark::State &state)
{
    // One seeded server for every run and thread; it lives until the program ends.
    static LiveServer *live = [] {
        auto *l = new LiveServer;
        seed(l->db(), 10000);
        return l;
    }();
    httplib::Client client("127.0.0.1", live->server->port());
    client.set_keep_alive(true);
    client.set_tcp_nodelay(true);
    std::size_t bytes = 0;
    for (auto _ : state) {
        auto res = client.Get("/counter/ballwick.shtml");
        if (!res || res->status != 200) {
            state.SkipWithError("list page failed");
            break;
        }
        bytes += res->body.size();
    }
    state.SetItemsProcessed(state.iterations());
    state.SetBytesProcessed(std::int64_t(bytes));
}
BENCHMARK(BM_ListPage10000Scores)->Threads(4)->UseRealTime()->MinTime(3.0);

// A player's list request, once every 100 ms for 15 s, while 500 idle
// connections (50 addresses) and 32 slow ones (4 addresses, one header line every
// 5 s) are held open; each one the server cuts off is opened again at once.
// Reports the player's reply times and how often the server cut the others off.
void BM_ListWhile500IdleAnd32SlowConnections(benchmark::State &state)
{
    using clock = std::chrono::steady_clock;
    constexpr int idleCount = 500, slowCount = 32;
    constexpr auto duration = std::chrono::seconds(15);
    for (auto _ : state) {
        LiveServer live;
        seed(live.db(), 1000);
        const int port = live.server->port();
        struct Held
        {
            std::string source;
            bool slow = false;
            int fd = -1;
            clock::time_point lastLine;
        };
        std::vector<Held> held;
        for (int i = 0; i < idleCount; ++i)
            held.push_back({"127.0.6." + std::to_string(1 + i / 10), false});
        for (int i = 0; i < slowCount; ++i)
            held.push_back({"127.0.7." + std::to_string(1 + i / 8), true});
        std::atomic<bool> stop{false};
        std::atomic<long> idleCut{0}, slowCut{0}, openFailed{0};
        auto open = [&](Held &h) {
            h.fd = loopclient::connectFrom(h.source, port);
            if (h.fd < 0) {
                ++openFailed;
                return;
            }
            h.lastLine = clock::now();
            if (h.slow)
                loopclient::sendAll(h.fd, "GET /counter/ballwick.shtml HTTP/1.1\r\n");
        };
        for (auto &h : held)
            open(h);
        std::thread attackers([&] {
            std::vector<pollfd> fds(held.size());
            while (!stop) {
                for (std::size_t i = 0; i < held.size(); ++i)
                    fds[i] = {held[i].fd, POLLIN, 0};
                ::poll(fds.data(), fds.size(), 100);
                const auto now = clock::now();
                for (std::size_t i = 0; i < held.size(); ++i) {
                    Held &h = held[i];
                    if (h.fd < 0 || (fds[i].revents & (POLLIN | POLLHUP | POLLERR))) {
                        if (h.fd >= 0) {
                            ::close(h.fd);
                            ++(h.slow ? slowCut : idleCut);
                        }
                        open(h);
                    } else if (h.slow && now - h.lastLine >= std::chrono::seconds(5)) {
                        loopclient::sendAll(h.fd, "X-Slow: 1\r\n");
                        h.lastLine = now;
                    }
                }
            }
        });
        std::vector<double> ms;
        int failed = 0;
        const auto start = clock::now();
        while (clock::now() - start < duration) {
            const auto t0 = clock::now();
            const auto res = loopclient::get("127.0.0.1", port, "/counter/ballwick.shtml", 5000);
            ms.push_back(std::chrono::duration<double, std::milli>(clock::now() - t0).count());
            if (res.status != 200)
                ++failed;
            std::this_thread::sleep_until(t0 + std::chrono::milliseconds(100));
        }
        stop = true;
        attackers.join();
        for (auto &h : held)
            if (h.fd >= 0)
                ::close(h.fd);
        std::sort(ms.begin(), ms.end());
        const auto at = [&](double q) { return ms[std::min(ms.size() - 1, std::size_t(q * double(ms.size())))]; };
        state.SetIterationTime(std::chrono::duration<double>(clock::now() - start).count());
        state.counters["requests"] = double(ms.size());
        state.counters["failed"] = failed;
        state.counters["p50_ms"] = at(0.50);
        state.counters["p99_ms"] = at(0.99);
        state.counters["max_ms"] = ms.back();
        state.counters["over_1s"] = double(std::count_if(ms.begin(), ms.end(), [](double v) { return v > 1000; }));
        state.counters["idle_cut"] = double(idleCut.load());
        state.counters["slow_cut"] = double(slowCut.load());
        state.counters["open_failed"] = double(openFailed.load());
        if (failed > 0 || ms.back() > 1000)
            state.SkipWithError("a player's request waited more than 1 s or failed");
    }
}
BENCHMARK(BM_ListWhile500IdleAnd32SlowConnections)->Unit(benchmark::kSecond)->UseManualTime()->Iterations(1);

} // namespace

int main(int argc, char **argv)
{
    if (argc == 4 && std::string(argv[1]) == "--seed") {
        if (!seed(argv[2], std::atoi(argv[3]))) {
            std::fprintf(stderr, "bench_server: cannot seed %s\n", argv[2]);
            return 1;
        }
        return 0;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

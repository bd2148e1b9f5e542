// Load on the score server over loopback: many players posting at once, and the
// list page served from a full database.
//
//   bench_server                 Google Benchmark run (posts and list page)
//   bench_server --seed DB N     fills DB with N scores (used by wrk_list.sh)
#include "scoreserver.h"
#include "scorestore.h"

#include <benchmark/benchmark.h>
#include <httplib.h>

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

// 2000 posts from 50 clients at once, one connection per post as the game does;
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
                    httplib::Client client("127.0.0.1", live.server->port());
                    client.set_keep_alive(false);
                    const std::string target = "/cgi-bin/ballwick.cgi?name=c" + std::to_string(c) + "p"
                        + std::to_string(i) + "&date=12/6/26&score=" + std::to_string((c * perClient + i) % 1251);
                    auto res = client.Get(target.c_str());
                    if (res && res->status == 200) {
                        ++ok;
                    } else {
                        ++failed;
                        std::fprintf(stderr, "post failed: %s\n",
                                     res ? std::to_string(res->status).c_str() : httplib::to_string(res.error()).c_str());
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
        state.counters["rows"] = double(rows);
        state.counters["failed_posts"] = double(failed.load());
        if (rows != clients * perClient || ok != clients * perClient) {
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

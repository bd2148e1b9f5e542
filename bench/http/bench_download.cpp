// A 200 MB download from a server on 127.0.0.1 into a file: THttpCli's synchronous
// GET against the curl command-line tool, in the same run. The server is a child
// process, so each side's process CPU time is its own: this process's for the
// client, the curl child's for curl. Targets: throughput at least 0.8x curl's,
// CPU time at most 1.5x curl's.
//
//   bench_http_download [--size-mb=N] [google benchmark flags]
#include "net/thttpcli.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <arpa/inet.h>
#include <benchmark/benchmark.h>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <string>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>
#include <vector>

namespace {

qint64 g_size = 200LL * 1024 * 1024;
quint16 g_port = 0;
pid_t g_server = -1;
QString g_dir;

struct Figures {
    double seconds = 0, cpu = 0;
    int runs = 0;
};
Figures g_client, g_curl;

double now()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec + ts.tv_nsec / 1e9;
}

double cpuOf(const rusage &ru)
{
    return ru.ru_utime.tv_sec + ru.ru_stime.tv_sec + (ru.ru_utime.tv_usec + ru.ru_stime.tv_usec) / 1e6;
}

double selfCpu()
{
    rusage ru{};
    getrusage(RUSAGE_SELF, &ru);
    return cpuOf(ru);
}

// The server: answers every request with g_size bytes after an HTTP/1.0 header.
void serve(int lfd)
{
    std::vector<char> block(1 << 20, 'b');
    for (;;) {
        const int c = ::accept(lfd, nullptr, nullptr);
        if (c < 0)
            continue;
        char buf[4096];
        std::string req;
        while (req.find("\r\n\r\n") == std::string::npos) {
            const ssize_t n = ::recv(c, buf, sizeof buf, 0);
            if (n <= 0)
                break;
            req.append(buf, size_t(n));
        }
        const std::string head =
            "HTTP/1.0 200 OK\r\nContent-Type: application/octet-stream\r\nContent-Length: " + std::to_string(g_size)
            + "\r\n\r\n";
        bool ok = ::send(c, head.data(), head.size(), MSG_NOSIGNAL) == ssize_t(head.size());
        for (qint64 left = g_size; ok && left > 0;) {
            const ssize_t n = ::send(c, block.data(), size_t(std::min<qint64>(left, qint64(block.size()))), MSG_NOSIGNAL);
            ok = n > 0;
            left -= n;
        }
        ::close(c);
    }
}

void startServer()
{
    const int lfd = ::socket(AF_INET, SOCK_STREAM, 0);
    const int one = 1;
    setsockopt(lfd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::bind(lfd, reinterpret_cast<sockaddr *>(&a), sizeof a) != 0 || ::listen(lfd, 4) != 0) {
        perror("server");
        std::exit(1);
    }
    socklen_t len = sizeof a;
    getsockname(lfd, reinterpret_cast<sockaddr *>(&a), &len);
    g_port = ntohs(a.sin_port);
    g_server = fork();
    if (g_server == 0) {
        serve(lfd);
        _exit(0);
    }
    ::close(lfd);
}

QString url()
{
    return QStringLiteral("http://127.0.0.1:%1/ballwick/moxsetup.exe").arg(g_port);
}

void BM_THttpCliGet(benchmark::State &state)
{
    const QString target = g_dir + "/thttpcli.bin";
    THttpCli cli;
    cli.URL = url();
    for (auto _ : state) {
        QFile out(target);
        if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            state.SkipWithError("cannot create the target file");
            return;
        }
        cli.RcvdStream = &out;
        const double c0 = selfCpu(), t0 = now();
        try {
            cli.Get();
        } catch (const EHttpException &e) {
            state.SkipWithError(e.what());
            return;
        }
        out.close();
        const double t = now() - t0, c = selfCpu() - c0;
        cli.RcvdStream = nullptr;
        if (cli.RcvdCount() != g_size || QFile(target).size() != g_size) {
            state.SkipWithError("incomplete download");
            return;
        }
        state.SetIterationTime(t);
        g_client.seconds += t;
        g_client.cpu += c;
        ++g_client.runs;
    }
    state.SetBytesProcessed(state.iterations() * g_size);
    state.counters["cpu_s_per_run"] = g_client.cpu / std::max(1, g_client.runs);
}

void BM_CurlGet(benchmark::State &state)
{
    const std::string target = (g_dir + "/curl.bin").toStdString();
    const std::string address = url().toStdString();
    for (auto _ : state) {
        const double t0 = now();
        const pid_t pid = fork();
        if (pid == 0) {
            execlp("curl", "curl", "-s", "-S", "-f", "-o", target.c_str(), address.c_str(), static_cast<char *>(nullptr));
            _exit(127);
        }
        int status = 0;
        rusage ru{};
        wait4(pid, &status, 0, &ru);
        const double t = now() - t0;
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || QFile(QString::fromStdString(target)).size() != g_size) {
            state.SkipWithError("curl failed (is it installed?)");
            return;
        }
        state.SetIterationTime(t);
        g_curl.seconds += t;
        g_curl.cpu += cpuOf(ru);
        ++g_curl.runs;
    }
    state.SetBytesProcessed(state.iterations() * g_size);
    state.counters["cpu_s_per_run"] = g_curl.cpu / std::max(1, g_curl.runs);
}

BENCHMARK(BM_THttpCliGet)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CurlGet)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    std::vector<char *> rest;
    for (int i = 0; i < argc; ++i) {
        if (std::strncmp(argv[i], "--size-mb=", 10) == 0)
            g_size = std::atoll(argv[i] + 10) * 1024 * 1024;
        else
            rest.push_back(argv[i]);
    }
    int n = int(rest.size());
    startServer();
    QCoreApplication app(n, rest.data());
    QTemporaryDir dir;
    g_dir = dir.path();

    benchmark::Initialize(&n, rest.data());
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    kill(g_server, SIGTERM);
    waitpid(g_server, nullptr, 0);

    if (g_client.runs == 0 || g_curl.runs == 0)
        return 1;
    const double mb = double(g_size) / (1024 * 1024);
    const double clientRate = mb * g_client.runs / g_client.seconds, curlRate = mb * g_curl.runs / g_curl.seconds;
    const double clientCpu = g_client.cpu / g_client.runs, curlCpu = g_curl.cpu / g_curl.runs;
    const double rateRatio = clientRate / curlRate, cpuRatio = clientCpu / curlCpu;
    std::printf("\n%.0f MB download, %d runs each\n", mb, g_client.runs);
    std::printf("THttpCli  %8.1f MB/s  %.3f s CPU per run\n", clientRate, clientCpu);
    std::printf("curl      %8.1f MB/s  %.3f s CPU per run\n", curlRate, curlCpu);
    std::printf("throughput ratio %.2f (target >= 0.80): %s\n", rateRatio, rateRatio >= 0.8 ? "met" : "MISSED");
    std::printf("CPU time ratio   %.2f (target <= 1.50): %s\n", cpuRatio, cpuRatio <= 1.5 ? "met" : "MISSED");
    return 0;
}

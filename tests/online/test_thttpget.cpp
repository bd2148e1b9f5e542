// The background fetch against real servers on 127.0.0.1.
#include <gtest/gtest.h>

#include "localservers.h"
#include "online/thttpget.h"

#include <QElapsedTimer>
#include <QStringList>
#include <QUrl>
#include <memory>
#include <mutex>

using namespace testing_online;

namespace {

// What one fetch reported.
struct Outcome
{
    int done = 0;
    int errors = 0;
    QByteArray result;
    QObject *sender = nullptr;
    bool finished() const { return done + errors > 0; }
};

void watch(THTTPGet &get, Outcome &o)
{
    get.OnDoneString = [&o](QObject *s, const QByteArray &r) {
        ++o.done;
        o.result = r;
        o.sender = s;
    };
    get.OnError = [&o](QObject *s) {
        ++o.errors;
        o.sender = s;
    };
}

struct Seen
{
    std::mutex m;
    int requests = 0;
    std::string method, version, target, agent, accept, pragma, cacheControl, referer, auth, contentType, body;
};

class FetchTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        http.server.Get("/page", [this](const httplib::Request &req, httplib::Response &res) {
            record(req);
            res.set_content("<html>hello</html>", "text/html");
        });
        http.server.Post("/page", [this](const httplib::Request &req, httplib::Response &res) {
            record(req);
            res.set_content("posted", "text/plain");
        });
        http.server.Get("/missing", [](const httplib::Request &, httplib::Response &res) {
            res.status = 404;
            res.set_content("<html><body>Not here</body></html>", "text/html");
        });
        http.server.Get("/empty", [](const httplib::Request &, httplib::Response &res) { res.status = 200; });
        http.server.Get("/slow", [](const httplib::Request &, httplib::Response &res) {
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            res.set_content("slow one", "text/plain");
        });
        http.start();
    }

    void record(const httplib::Request &req)
    {
        std::lock_guard lock(seen.m);
        ++seen.requests;
        seen.method = req.method;
        seen.version = req.version;
        seen.target = req.target;
        seen.agent = req.get_header_value("User-Agent");
        seen.accept = req.get_header_value("Accept");
        seen.pragma = req.get_header_value("Pragma");
        seen.cacheControl = req.get_header_value("Cache-Control");
        seen.referer = req.get_header_value("Referer");
        seen.auth = req.get_header_value("Authorization");
        seen.contentType = req.get_header_value("Content-Type");
        seen.body = req.body;
    }

    HttpFixture http;
    Seen seen;
};

TEST_F(FetchTest, SendsAnHttp10GetWithTheComponentsHeaders)
{
    THTTPGet get;
    Outcome o;
    watch(get, o);
    EXPECT_EQ(get.Agent, "Ballwick HTTPGet");
    EXPECT_EQ(get.AcceptTypes, "*/*");
    get.URL = http.url("/page");
    get.Referer = "http://ref.example/";
    get.UserName = "ann";
    get.Password = "secret";
    get.StartFetch();
    ASSERT_TRUE(waitFor([&] { return o.finished(); }));
    EXPECT_EQ(o.done, 1);
    EXPECT_EQ(o.result, "<html>hello</html>");
    EXPECT_EQ(o.sender, &get);
    EXPECT_TRUE(get.Succeeded());
    EXPECT_EQ(seen.method, "GET");
    EXPECT_EQ(seen.version, "HTTP/1.0");
    EXPECT_EQ(seen.agent, "Ballwick HTTPGet");
    EXPECT_EQ(seen.accept, "*/*");
    EXPECT_EQ(seen.pragma, "no-cache");
    EXPECT_EQ(seen.cacheControl, "no-cache");
    EXPECT_EQ(seen.referer, "http://ref.example/");
    EXPECT_EQ(seen.auth, "Basic YW5uOnNlY3JldA==");
}

TEST_F(FetchTest, PostsTheFormBodyAndLetsTheCacheAnswerWhenAsked)
{
    THTTPGet get;
    Outcome o;
    watch(get, o);
    get.URL = http.url("/page");
    get.PostQuery = "a=1&b=two";
    get.UseCache = true;
    get.Agent.clear();
    get.AcceptTypes = "text/html";
    get.StartFetch();
    ASSERT_TRUE(waitFor([&] { return o.finished(); }));
    EXPECT_EQ(o.result, "posted");
    EXPECT_EQ(seen.method, "POST");
    EXPECT_EQ(seen.contentType, "application/x-www-form-urlencoded");
    EXPECT_EQ(seen.body, "a=1&b=two");
    EXPECT_EQ(seen.pragma, "");
    EXPECT_EQ(seen.cacheControl, "");
    EXPECT_EQ(seen.agent, "");
    EXPECT_EQ(seen.accept, "text/html");
}

TEST_F(FetchTest, TheStatusIsNeverLookedAtOnlyTheBody)
{
    THTTPGet get;
    Outcome o;
    watch(get, o);
    get.URL = http.url("/missing");
    get.StartFetch();
    ASSERT_TRUE(waitFor([&] { return o.finished(); }));
    EXPECT_EQ(o.done, 1);
    EXPECT_EQ(o.result, "<html><body>Not here</body></html>");

    Outcome empty;
    watch(get, empty);
    get.URL = http.url("/empty");
    get.StartFetch();
    ASSERT_TRUE(waitFor([&] { return empty.finished(); }));
    EXPECT_EQ(empty.done, 0);
    EXPECT_EQ(empty.errors, 1);
    EXPECT_EQ(empty.sender, &get);
    EXPECT_FALSE(get.Succeeded());
}

TEST_F(FetchTest, EveryFetchGoesToTheServerAndCapitalSchemesWork)
{
    THTTPGet get;
    Outcome o;
    watch(get, o);
    get.URL = http.url("/page").replace("http://", "HTTP://");
    for (int i = 0; i < 2; ++i) {
        o = {};
        get.StartFetch();
        ASSERT_TRUE(waitFor([&] { return o.finished(); }));
        EXPECT_EQ(o.done, 1);
    }
    EXPECT_EQ(seen.requests, 2);
}

TEST_F(FetchTest, StartFetchWhileRunningIsIgnoredAlsoFromTheDoneHandler)
{
    THTTPGet get;
    Outcome o;
    int restarts = 0;
    get.OnDoneString = [&](QObject *, const QByteArray &r) {
        ++o.done;
        o.result = r;
        // Still counts as running: this second start is ignored.
        get.URL = http.url("/page");
        get.StartFetch();
        ++restarts;
    };
    get.URL = http.url("/slow");
    get.StartFetch();
    EXPECT_TRUE(get.running());
    get.URL = http.url("/page"); // the running fetch keeps its own copy
    get.StartFetch();
    ASSERT_TRUE(waitFor([&] { return o.done > 0; }));
    pump(300);
    EXPECT_EQ(o.done, 1);
    EXPECT_EQ(o.result, "slow one");
    EXPECT_EQ(restarts, 1);
    EXPECT_EQ(seen.requests, 0);
    EXPECT_FALSE(get.running());
}

TEST(FetchFailures, UnreachableServersAndForeignSchemesFailQuietly)
{
    // A port that nothing listens on: bind one, then close it.
    int port = 0;
    {
        RawServer probe([](int, const std::string &, RawServer &) {});
        port = QUrl(probe.url()).port();
    }
    for (const QString &url : {QStringLiteral("http://127.0.0.1:%1/x").arg(port), QStringLiteral("ftp://127.0.0.1/x"),
                               QStringLiteral("file:///etc/hostname"), QString()}) {
        THTTPGet get;
        Outcome o;
        watch(get, o);
        get.URL = url;
        get.StartFetch();
        ASSERT_TRUE(waitFor([&] { return o.finished(); })) << url.toStdString();
        EXPECT_EQ(o.errors, 1) << url.toStdString();
        EXPECT_EQ(o.done, 0);
    }
}

// Replies written by hand: no Content-Length, a broken one, a trickling body.
TEST(RawReplies, WithoutContentLengthTheBodyIsReadUntilCloseUnlessBinary)
{
    RawServer raw([](int fd, const std::string &, RawServer &s) {
        RawServer::send(fd, "HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\n\r\n");
        for (int i = 0; i < 3; ++i) {
            RawServer::send(fd, std::string(700, char('a' + i)));
            s.sleep(50);
        }
    });
    THTTPGet get;
    Outcome o;
    watch(get, o);
    std::vector<std::pair<qint64, qint64>> progress;
    QObject *progressSender = nullptr;
    get.OnProgress = [&](QObject *s, qint64 total, qint64 readed) {
        progressSender = s;
        progress.emplace_back(total, readed);
    };
    get.URL = raw.url("/stream");
    get.StartFetch();
    ASSERT_TRUE(waitFor([&] { return o.finished(); }));
    ASSERT_EQ(o.done, 1);
    EXPECT_EQ(o.result, QByteArray(700, 'a') + QByteArray(700, 'b') + QByteArray(700, 'c'));
    ASSERT_FALSE(progress.empty());
    EXPECT_EQ(progress.back(), std::make_pair(qint64(0), qint64(2100)));
    for (size_t i = 1; i < progress.size(); ++i) {
        EXPECT_EQ(progress[i].first, 0);
        EXPECT_GT(progress[i].second, progress[i - 1].second);
        EXPECT_LE(progress[i].second - progress[i - 1].second, 1025);
    }
    EXPECT_NE(progressSender, nullptr);
    EXPECT_NE(progressSender, &get); // the worker reports, not the component

    Outcome binary;
    watch(get, binary);
    get.BinaryData = true;
    get.StartFetch();
    ASSERT_TRUE(waitFor([&] { return binary.finished(); }));
    EXPECT_EQ(binary.errors, 1);
}

TEST(RawReplies, ContentLengthIsReportedAndAnUnreadableOneFails)
{
    std::atomic<int> which{0};
    RawServer raw([&](int fd, const std::string &, RawServer &) {
        if (which == 0)
            RawServer::send(fd, "HTTP/1.0 200 OK\r\nContent-Length: 5\r\n\r\nhello");
        else
            RawServer::send(fd, "HTTP/1.0 200 OK\r\nContent-Length: five\r\n\r\nhello");
    });
    THTTPGet get;
    Outcome o;
    watch(get, o);
    qint64 total = -1;
    get.OnProgress = [&](QObject *, qint64 t, qint64) { total = t; };
    get.BinaryData = true;
    get.URL = raw.url("/");
    get.StartFetch();
    ASSERT_TRUE(waitFor([&] { return o.finished(); }));
    EXPECT_EQ(o.result, "hello");
    EXPECT_EQ(total, 5);

    which = 1;
    Outcome bad;
    watch(get, bad);
    get.StartFetch();
    ASSERT_TRUE(waitFor([&] { return bad.finished(); }));
    EXPECT_EQ(bad.done, 0);
    EXPECT_EQ(bad.errors, 1);
}

TEST(RawReplies, CancelStopsASlowBodyPromptly)
{
    RawServer raw([](int fd, const std::string &, RawServer &s) {
        RawServer::send(fd, "HTTP/1.0 200 OK\r\n\r\nfirst part;");
        for (int i = 0; i < 200 && !s.stopping(); ++i) {
            s.sleep(100);
            RawServer::send(fd, "x");
        }
    });
    THTTPGet get;
    Outcome o;
    watch(get, o);
    qint64 readed = 0;
    get.OnProgress = [&](QObject *, qint64, qint64 r) { readed = r; };
    get.URL = raw.url("/");
    get.StartFetch();
    ASSERT_TRUE(waitFor([&] { return readed > 0; }));
    QElapsedTimer t;
    t.start();
    get.CancelFetch();
    ASSERT_TRUE(waitFor([&] { return o.finished(); }, 5000));
    EXPECT_LT(t.elapsed(), 2000);
    EXPECT_EQ(o.done, 0);
    EXPECT_EQ(o.errors, 1);
    EXPECT_FALSE(get.running());
}

TEST(RawReplies, AStalledReplyEndsAsAFailure)
{
    RawServer raw([](int fd, const std::string &, RawServer &s) {
        RawServer::send(fd, "HTTP/1.0 200 OK\r\n\r\nsome bytes, then nothing");
        s.sleep(8000);
    });
    THTTPGet get;
    get.StallTimeoutMs = 500;
    Outcome o;
    watch(get, o);
    get.URL = raw.url("/");
    get.StartFetch();
    ASSERT_TRUE(waitFor([&] { return o.finished(); }, 6000));
    EXPECT_EQ(o.errors, 1);
    EXPECT_EQ(o.done, 0);
}

// A byte every 50 ms keeps the stall time from running out; the deadline of the
// whole fetch ends it all the same.
TEST(RawReplies, ADrippingServerIsCutOffByTheDeadline)
{
    RawServer raw([](int fd, const std::string &, RawServer &s) {
        RawServer::send(fd, "HTTP/1.0 200 OK\r\n\r\n");
        for (int i = 0; i < 400 && !s.stopping(); ++i) {
            RawServer::send(fd, "x");
            s.sleep(50);
        }
    });
    THTTPGet get;
    get.StallTimeoutMs = 500;
    get.DeadlineMs = 1500;
    Outcome o;
    watch(get, o);
    get.URL = raw.url("/");
    get.StartFetch();
    ASSERT_TRUE(waitFor([&] { return o.finished(); }, 8000));
    EXPECT_EQ(o.errors, 1);
    EXPECT_EQ(o.done, 0);
}

// Endless interim replies, a header that never ends, two different lengths: each
// fails at once however much the server would go on sending.
TEST(RawReplies, HostileHeadersFail)
{
    std::atomic<int> which{0};
    RawServer raw([&](int fd, const std::string &, RawServer &s) {
        switch (which.load()) {
        case 0:
            for (int i = 0; i < 100000 && !s.stopping(); ++i)
                if (!RawServer::send(fd, "HTTP/1.1 100 Continue\r\n\r\n"))
                    return;
            break;
        case 1:
            RawServer::send(fd, "HTTP/1.0 200 OK\r\n");
            for (int i = 0; i < 1000000 && !s.stopping(); ++i)
                if (!RawServer::send(fd, "X-Pad: 1\r\n"))
                    return;
            break;
        default:
            RawServer::send(fd, "HTTP/1.0 200 OK\r\nContent-Length: 5\r\nContent-Length: 6\r\n\r\nhello!");
        }
    });
    for (int c = 0; c < 3; ++c) {
        SCOPED_TRACE(c);
        which = c;
        THTTPGet get;
        get.StallTimeoutMs = 5000;
        Outcome o;
        watch(get, o);
        get.URL = raw.url("/");
        get.StartFetch();
        ASSERT_TRUE(waitFor([&] { return o.finished(); }, 10000));
        EXPECT_EQ(o.errors, 1);
        EXPECT_EQ(o.done, 0);
    }
}

TEST(RawReplies, DestroyingTheComponentMidFetchDetachesTheWorker)
{
    RawServer raw([](int fd, const std::string &, RawServer &s) {
        RawServer::send(fd, "HTTP/1.0 200 OK\r\n\r\nstart");
        for (int i = 0; i < 50 && !s.stopping(); ++i) {
            s.sleep(50);
            RawServer::send(fd, "y");
        }
    });
    int events = 0;
    bool progressed = false;
    {
        auto get = std::make_unique<THTTPGet>();
        get->OnProgress = [&](QObject *, qint64, qint64) { progressed = true; };
        get->OnDoneString = [&](QObject *, const QByteArray &) { ++events; };
        get->OnError = [&](QObject *) { ++events; };
        get->URL = raw.url("/");
        get->StartFetch();
        ASSERT_TRUE(waitFor([&] { return progressed; }));
    }
    progressed = false;
    pump(1500);
    EXPECT_EQ(events, 0);
    EXPECT_FALSE(progressed);
}

TEST(RawReplies, HttpsAddressesSpeakTlsAndANonTlsPeerFails)
{
    std::atomic<int> firstByte{-1};
    RawServer peer([&](int fd, const std::string &request, RawServer &) {
        if (!request.empty())
            firstByte = static_cast<unsigned char>(request[0]);
        RawServer::send(fd, "HTTP/1.0 200 OK\r\n\r\nplain text where TLS was expected");
    });
    THTTPGet get;
    Outcome o;
    watch(get, o);
    get.URL = peer.url("/").replace("http://", "https://");
    get.StartFetch();
    ASSERT_TRUE(waitFor([&] { return o.finished(); }, 8000));
    EXPECT_EQ(o.errors, 1);
    EXPECT_EQ(firstByte, 0x16); // a TLS handshake record
}

TEST(SplitURL, HostAndPathWithTheSchemeInAnyCase)
{
    QString host, path;
    THTTPGet::SplitURL("HTTP://www.example.com:8780/cgi-bin/x.cgi?a=1", host, path);
    EXPECT_EQ(host, "www.example.com:8780");
    EXPECT_EQ(path, "/cgi-bin/x.cgi?a=1");
    THTTPGet::SplitURL("example.com", host, path);
    EXPECT_EQ(host, "example.com");
    EXPECT_EQ(path, "/");
}

} // namespace

// The highscore server under load: 20 clients on loopback, each with its own
// connection per entry as the game makes them, send 2,000 valid entries; the
// same run against SQLite and against PostgreSQL. Reports submissions per
// second and counts what the database holds afterwards ("lost" must be 0).
#include <benchmark/benchmark.h>

#include <QEventLoop>
#include <QGuiApplication>
#include <QHostAddress>
#include <QTemporaryDir>
#include <QThread>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <future>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "PostgresInstance.h"
#include "highscore/WebPostForm.h"
#include "highscore/uTHighscore.h"
#include "server/uCountries.h"
#include "server/uHighscoreServer.h"
#include "server/uHighscoreStore.h"

using namespace tessum;
using namespace tessum::server;

namespace {

constexpr int Clients = 20;
constexpr int Entries = 2000;

void EnsureGuiApp() {
    if (QCoreApplication::instance()) return;
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static int argc = 1;
    static char name[] = "tessum_bench";
    static char* argv[] = {name, nullptr};
    new QGuiApplication(argc, argv);
}

// The server with its store in a thread of its own, as in the real program
// where it has the process to itself.
class TServerThread {
public:
    explicit TServerThread(QString Url) {
        std::promise<std::uint16_t> ready;
        auto port = ready.get_future();
        thread_ = QThread::create([this, Url, &ready] {
            THighscoreStore store;
            QString error;
            if (!store.Open(Url, error)) {
                ready.set_value(0);
                return;
            }
            TServerOptions o;
            o.SubmissionsPerMinute = 0;
            o.Log = [](const QString&) {};
            THighscoreServer server(store, GameCountries(), o);
            QEventLoop loop;
            loop_ = &loop;
            ready.set_value(server.Listen(QHostAddress::LocalHost, 0));
            loop.exec();
            count_ = store.Count(1);
        });
        thread_->start();
        port_ = port.get();
    }
    ~TServerThread() {
        if (loop_) QMetaObject::invokeMethod(loop_, &QEventLoop::quit, Qt::QueuedConnection);
        thread_->wait();
        delete thread_;
    }
    std::uint16_t Port() const { return port_; }
    // Entries of variant 1 in the database, read when the server stopped.
    int StopAndCount() {
        QMetaObject::invokeMethod(loop_, &QEventLoop::quit, Qt::QueuedConnection);
        thread_->wait();
        loop_ = nullptr;
        return count_;
    }

private:
    QThread* thread_ = nullptr;
    std::atomic<QEventLoop*> loop_{nullptr};
    std::uint16_t port_ = 0;
    int count_ = -1;
};

// One POST on its own connection; the HTTP status, 0 when none came.
int PostOnce(std::uint16_t Port, const std::string& Body) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0) return 0;
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(Port);
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int status = 0;
    if (::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0) {
        const std::string req = "POST /software/highscore.add.php4 HTTP/1.1\r\nHost: 127.0.0.1\r\n"
                                "Content-Type: application/x-www-form-urlencoded\r\nConnection: close\r\n"
                                "Content-Length: " + std::to_string(Body.size()) + "\r\n\r\n" + Body;
        if (::send(fd, req.data(), req.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(req.size())) {
            std::string answer;
            char buf[1024];
            ssize_t n;
            while ((n = ::recv(fd, buf, sizeof buf, 0)) > 0) {
                answer.append(buf, static_cast<std::size_t>(n));
                if (answer.find("\r\n\r\n") != std::string::npos) break;
            }
            if (answer.size() > 12 && answer.rfind("HTTP/1.1 ", 0) == 0) status = std::atoi(answer.c_str() + 9);
        }
    }
    ::close(fd);
    return status;
}

// 2,000 different entries as the game would send them.
std::vector<std::string> Forms(int Round) {
    SetDecimalSeparator('.');
    std::vector<std::string> forms;
    THighscore t;
    t.Index = "1";
    TWebPostItems items;
    for (int i = 0; i < Entries; ++i) {
        t.Clear();
        t.AddScore("Spieler " + std::to_string(Round) + "-" + std::to_string(i), 60 + i, 20 + i % 20, 16, 20 + i % 50,
                   false, "p" + std::to_string(i) + "@example.org", "deutschland");
        t.BuildForm(t.Items(0), items);
        forms.push_back(BuildPostBody(items));
    }
    ResetDecimalSeparator();
    return forms;
}

void Load(benchmark::State& State, const QString& Url, int& round) {
    for (auto _ : State) {
        State.PauseTiming();
        TServerThread server(Url);
        const std::vector<std::string> forms = Forms(++round);
        std::atomic<int> next{0}, ok{0};
        State.ResumeTiming();
        const auto start = std::chrono::steady_clock::now();
        std::vector<std::thread> clients;
        for (int c = 0; c < Clients; ++c)
            clients.emplace_back([&] {
                for (int i; (i = next.fetch_add(1)) < Entries;)
                    if (PostOnce(server.Port(), forms[static_cast<std::size_t>(i)]) == 200) ++ok;
            });
        for (std::thread& t : clients) t.join();
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        State.PauseTiming();
        const int stored = server.StopAndCount();
        State.counters["submissions_per_s"] = Entries / seconds;
        State.counters["answered_200"] = ok.load();
        // Each round adds its own 2,000; whatever is missing was lost.
        State.counters["lost"] = round * Entries - stored;
        State.ResumeTiming();
    }
}

void BM_ServerSqlite(benchmark::State& State) {
    EnsureGuiApp();
    static QTemporaryDir dir;
    static int rounds = 0;
    Load(State, QStringLiteral("sqlite:") + dir.path() + QStringLiteral("/bench.sqlite"), rounds);
}

void BM_ServerPostgres(benchmark::State& State) {
    EnsureGuiApp();
    if (!test::TPostgresInstance::Available()) {
        State.SkipWithError("PostgreSQL is not installed");
        return;
    }
    static test::TPostgresInstance pg;
    static const bool started = [] {
        QString error;
        // Durable like SQLite's: every commit reaches the disk.
        return pg.Start(error, true);
    }();
    if (!started) {
        State.SkipWithError("PostgreSQL did not start");
        return;
    }
    static int rounds = 0;
    Load(State, pg.Url(), rounds);
}

}  // namespace

BENCHMARK(BM_ServerSqlite)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ServerPostgres)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);

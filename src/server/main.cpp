// tessum-highscore-server: keeps the worldwide highscore of TESSUM.
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QHostAddress>
#include <QSocketNotifier>
#include <csignal>
#include <cstdio>
#include <sys/socket.h>
#include <unistd.h>

#include "server/uCountries.h"
#include "server/uHighscoreServer.h"
#include "server/uHighscoreStore.h"

using namespace tessum::server;

namespace {

int g_signalPipe[2] = {-1, -1};

// Only async-signal-safe work here: the loop learns of the signal through
// the pipe and ends between two requests, so no entry is half written.
void OnSignal(int) {
    const char c = 1;
    [[maybe_unused]] const ssize_t n = ::write(g_signalPipe[0], &c, 1);
}

bool ParseListen(const QString& Text, QHostAddress& Address, quint16& Port) {
    const int colon = Text.lastIndexOf(u':');
    if (colon <= 0) return false;
    QString host = Text.left(colon);
    if (host.startsWith(u'[') && host.endsWith(u']')) host = host.mid(1, host.size() - 2);
    bool ok = false;
    const uint port = Text.mid(colon + 1).toUInt(&ok);
    if (!ok || port > 65535 || !Address.setAddress(host)) return false;
    Port = static_cast<quint16>(port);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tessum-highscore-server"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Keeps the worldwide highscore of TESSUM: takes the entries the game sends to\n"
        "POST /software/highscore.add.php4 and shows the list at\n"
        "GET /software/tessum_highscore.php4?variant=N and GET /api/highscore?variant=N."));
    parser.addHelpOption();
    const QCommandLineOption listen(QStringLiteral("listen"),
                                    QStringLiteral("Address and port to listen on (default 127.0.0.1:8080)."),
                                    QStringLiteral("ADDRESS:PORT"), QStringLiteral("127.0.0.1:8080"));
    const QCommandLineOption database(
        QStringLiteral("database"),
        QStringLiteral("sqlite:PATH (default sqlite:highscore.sqlite) or postgresql://user@host:port/database."),
        QStringLiteral("URL"), QStringLiteral("sqlite:highscore.sqlite"));
    const QCommandLineOption limit(QStringLiteral("rate-limit"),
                                   QStringLiteral("Submissions per minute from one address (default 60, 0: none)."),
                                   QStringLiteral("N"), QStringLiteral("60"));
    parser.addOptions({listen, database, limit});
    parser.process(app);

    QHostAddress address;
    quint16 port = 0;
    if (!ParseListen(parser.value(listen), address, port)) {
        std::fprintf(stderr, "tessum-highscore-server: --listen wants ADDRESS:PORT, not %s\n",
                     qPrintable(parser.value(listen)));
        return 2;
    }
    bool ok = false;
    const int perMinute = parser.value(limit).toInt(&ok);
    if (!ok || perMinute < 0) {
        std::fprintf(stderr, "tessum-highscore-server: --rate-limit wants a count of 0 or more\n");
        return 2;
    }
    if (GameCountries().empty()) {
        std::fprintf(stderr, "tessum-highscore-server: the country list is missing from the program\n");
        return 1;
    }

    THighscoreStore store;
    QString error;
    if (!store.Open(parser.value(database), error)) {
        std::fprintf(stderr, "tessum-highscore-server: %s\n", qPrintable(error));
        return 1;
    }
    TServerOptions options;
    options.SubmissionsPerMinute = perMinute;
    THighscoreServer server(store, GameCountries(), options);
    const quint16 bound = server.Listen(address, port);
    if (bound == 0) {
        std::fprintf(stderr, "tessum-highscore-server: cannot listen on %s\n", qPrintable(parser.value(listen)));
        return 1;
    }

    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, g_signalPipe) != 0) {
        std::perror("tessum-highscore-server: socketpair");
        return 1;
    }
    QSocketNotifier notifier(g_signalPipe[1], QSocketNotifier::Read);
    QObject::connect(&notifier, &QSocketNotifier::activated, &app, [&] {
        char c;
        [[maybe_unused]] const ssize_t n = ::read(g_signalPipe[1], &c, 1);
        std::fprintf(stderr, "tessum-highscore-server: stopping\n");
        app.quit();
    });
    struct sigaction sa {};
    sa.sa_handler = OnSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &sa, nullptr);
    sigaction(SIGINT, &sa, nullptr);

    std::fprintf(stderr, "tessum-highscore-server: listening on %s:%u, database %s\n",
                 qPrintable(address.toString()), bound, store.IsPostgres() ? "PostgreSQL" : "SQLite");
    const int rc = app.exec();
    store.Close();
    std::fprintf(stderr, "tessum-highscore-server: stopped, %d stored, %d refused\n", server.Stored(),
                 server.Refused());
    return rc;
}

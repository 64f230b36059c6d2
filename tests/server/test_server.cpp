// The highscore server against the game's own submission path and against
// hostile requests, on SQLite and on a PostgreSQL server of the test's own.
#include "server/uCountries.h"
#include "server/uHighscoreServer.h"
#include "server/uHighscoreStore.h"

#include "PostgresInstance.h"
#include "highscore/WebPost.h"
#include "highscore/uTHighscore.h"

#include <QEventLoop>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTimer>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <csignal>

using namespace tessum;
using namespace tessum::server;

namespace {

struct TReply {
    int Status = 0;
    QByteArray Body;
};

class ServerTest : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override {
        SetDecimalSeparator('.');
        ASSERT_TRUE(Dir_.isValid());
        QString url = QStringLiteral("sqlite:") + Dir_.path() + QStringLiteral("/highscore.sqlite");
        if (std::string(GetParam()) == "postgresql") {
            if (!test::TPostgresInstance::Available())
                GTEST_SKIP() << "PostgreSQL is not installed (scripts/setup installs it)";
            QString error;
            ASSERT_TRUE(Pg_.Start(error)) << error.toStdString();
            url = Pg_.Url();
        }
        QString error;
        ASSERT_TRUE(Store_.Open(url, error)) << error.toStdString();
        TServerOptions o;
        o.Clock = [this] { return Clock_; };
        o.Log = [this](const QString& Line) { Log_.push_back(Line); };
        Server_ = std::make_unique<THighscoreServer>(Store_, GameCountries(), o);
        Port_ = Server_->Listen(QHostAddress::LocalHost, 0);
        ASSERT_NE(Port_, 0);
    }
    void TearDown() override { ResetDecimalSeparator(); }

    // Three tables as the game keeps them, with umlauts and entries that the
    // game itself does not send (no name or no e-mail).
    void FillTables() {
        Tables_[0].AddScore("J\xFCrgen Gro\xDF", 3725, 30, 18, 21, true, "juergen@example.org", "deutschland");
        Tables_[0].AddScore("Zo\xEB Stra\xDF" "e", 4000, 25, 23, 30, false, "zoe@example.ch", "schweiz");
        Tables_[0].AddScore("Anonym", 100, 40, 8, 20, false, "", "deutschland");
        Tables_[0].AddScore("\xC4nne", 95, 36, 12, 19, false, "aenne@example.at", "oesterreich");
        Tables_[1].AddScore("\xD8yvind", 59, 40, 8, 12, false, "oy@example.no", "norwegen");
        Tables_[1].AddScore("", 60, 40, 8, 12, false, "nobody@example.org", "europa");
        Tables_[2].AddScore("Fran\xE7oise", 600, 24, 24, 44, false, "f@example.fr", "frankreich");
        Tables_[2].AddScore("Fran\xE7ois", 500, 24, 24, 40, false, "f2@example.fr", "frankreich");
        for (int v = 0; v < 3; ++v) {
            Tables_[v].Index = std::to_string(v + 1);
            Tables_[v].Server = "127.0.0.1";
            Tables_[v].Port = Port_;
        }
    }

    // What the game shows of a table, as the server's JSON spells it.
    static std::vector<std::vector<std::string>> Shown(const THighscore& Table) {
        std::vector<std::vector<std::string>> rows;
        for (int i = 0; i < Table.Count(); ++i) {
            if (Table.GetValueText("name", i).empty() || Table.GetValueText("email", i).empty()) continue;
            rows.push_back({AnsiToUtf8(Table.GetValueText("name", i)), Table.GetValueText("punkte", i),
                            Table.GetValueText("punktegegner", i), Table.GetValueText("runden", i),
                            Table.GetValueText("zeit", i)});
        }
        return rows;
    }

    std::vector<std::vector<std::string>> Listed(int Variant) {
        const TReply r = Get(QStringLiteral("/api/highscore?variant=%1").arg(Variant));
        EXPECT_EQ(r.Status, 200);
        std::vector<std::vector<std::string>> rows;
        int rank = 0;
        for (const QJsonValue& v : QJsonDocument::fromJson(r.Body).array()) {
            const QJsonObject o = v.toObject();
            EXPECT_EQ(o.value("rank").toInt(), ++rank);
            EXPECT_FALSE(o.contains("email"));
            rows.push_back({o.value("name").toString().toStdString(), o.value("punkte").toString().toStdString(),
                            std::to_string(o.value("punktegegner").toInt()), std::to_string(o.value("runden").toInt()),
                            o.value("zeit").toString().toStdString()});
        }
        return rows;
    }

    int Stored() { return Store_.Count(1) + Store_.Count(2) + Store_.Count(3); }

    TReply Request(const QString& Path, const QByteArray* Body) {
        QNetworkRequest req(QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(Port_).arg(Path)));
        req.setHeader(QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("application/x-www-form-urlencoded"));
        QNetworkReply* reply = Body ? Nam_.post(req, *Body) : Nam_.get(req);
        QEventLoop loop;
        QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
        QTimer::singleShot(10000, &loop, &QEventLoop::quit);
        loop.exec();
        TReply r;
        r.Status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        r.Body = reply->readAll();
        reply->deleteLater();
        return r;
    }
    TReply Post(const QByteArray& Body) { return Request(QString::fromLatin1(AddPath), &Body); }
    TReply Get(const QString& Path) { return Request(Path, nullptr); }

    // The body the game would send for Entry of Table.
    static QByteArray FormOf(const THighscore& Table, int Entry = 0) {
        TWebPostItems items;
        Table.BuildForm(Table.Items(Entry), items);
        return QByteArray::fromStdString(BuildPostBody(items));
    }
    // One entry as the game would send it, with the given fields.
    static QByteArray Form(const std::string& Name, std::int32_t Zeit, std::int32_t Punkte, std::int32_t Gegner,
                           std::int32_t Runden, const std::string& Land = "deutschland", const std::string& Index = "1",
                           const std::string& Mail = "a@example.org") {
        THighscore t;
        t.Index = Index;
        t.AddScore(Name, Zeit, Punkte, Gegner, Runden, false, Mail, Land);
        return FormOf(t);
    }

    QTemporaryDir Dir_;
    test::TPostgresInstance Pg_;
    THighscoreStore Store_;
    std::unique_ptr<THighscoreServer> Server_;
    std::uint16_t Port_ = 0;
    std::int64_t Clock_ = 1000;
    std::vector<QString> Log_;
    QNetworkAccessManager Nam_;
    THighscore Tables_[3];
};

TEST_P(ServerTest, GameSubmissionIsStoredOnceAndListedInTheGamesOrder) {
    FillTables();
    TWebPost post;
    std::vector<std::string> errors;
    post.OnError = [&](TWebPost&, const std::string& Text, int) { errors.push_back(Text); };
    for (const THighscore& t : Tables_) ASSERT_EQ(t.SendToNet(post), 0);
    EXPECT_TRUE(errors.empty());
    EXPECT_EQ(Server_->Stored(), 6);
    for (int v = 1; v <= 3; ++v) EXPECT_EQ(Listed(v), Shown(Tables_[v - 1])) << "variant " << v;
    EXPECT_EQ(Listed(1)[0][0], "\u00c4nne");

    // The game sends the whole table every time; nothing is stored twice.
    for (const THighscore& t : Tables_) ASSERT_EQ(t.SendToNet(post), 0);
    EXPECT_EQ(Server_->Stored(), 6);
    EXPECT_EQ(Stored(), 6);
    EXPECT_EQ(Listed(1), Shown(Tables_[0]));

    // The page shows the same rows in the same order, without any e-mail.
    const QString page = QString::fromUtf8(Get(QStringLiteral("/software/tessum_highscore.php4?variant=1")).Body);
    const qsizetype first = page.indexOf(QStringLiteral("\u00c4nne"));
    const qsizetype second = page.indexOf(QStringLiteral("J\u00fcrgen Gro\u00df"));
    const qsizetype third = page.indexOf(QStringLiteral("Zo\u00eb Stra\u00dfe"));
    EXPECT_TRUE(first > 0 && first < second && second < third) << first << " " << second << " " << third;
    EXPECT_TRUE(page.contains(QStringLiteral("Germany")));
    EXPECT_FALSE(page.contains(u'@'));
    EXPECT_FALSE(QString::fromUtf8(Get(QStringLiteral("/api/highscore?variant=1")).Body).contains(u'@'));
    // Every request left one line in the log.
    EXPECT_GE(Log_.size(), 14u);
    EXPECT_TRUE(Log_.front().contains(QStringLiteral("POST /software/highscore.add.php4 200")))
        << Log_.front().toStdString();
}

TEST_P(ServerTest, HostileAndBrokenFormsAreRefusedAndStoreNothing) {
    const QByteArray good = Form("Eva", 300, 30, 18, 20);
    QByteArray wrongCheck = good;
    const qsizetype at = wrongCheck.indexOf("&check=") + 7;
    wrongCheck.replace(at, wrongCheck.size() - at, QByteArray::number(wrongCheck.mid(at).toInt() % 60000 + 1));
    QByteArray missing = good;
    missing.replace("&ki=0", "");
    QByteArray noCheck = good.left(good.indexOf("&check="));
    QByteArray doubled = good + "&ki=0";
    QByteArray unknown = good + "&admin=1";
    QByteArray badEscape = good;
    badEscape.replace("name=Eva", "name=Eva%G1");

    const std::vector<std::pair<const char*, QByteArray>> cases = {
        {"empty body", QByteArray()},
        {"wrong check", wrongCheck},
        {"no check", noCheck},
        {"missing field", missing},
        {"field twice", doubled},
        {"unknown field", unknown},
        {"broken escape", badEscape},
        {"5 KiB body", Form(std::string(5 * 1024, 'a'), 300, 30, 18, 20)},
        {"name over 64 bytes", Form(std::string(65, 'a'), 300, 30, 18, 20)},
        {"name of umlauts over 64 bytes", Form(std::string(33, '\xFC'), 300, 30, 18, 20)},
        {"mail over 64 bytes", Form("Eva", 300, 30, 18, 20, "deutschland", "1", std::string(60, 'm') + "@x.de")},
        {"blank name", Form("   ", 300, 30, 18, 20)},
        {"control character", Form("Eva\x01", 300, 30, 18, 20)},
        {"unknown country", Form("Eva", 300, 30, 18, 20, "atlantis")},
        {"variant 4", Form("Eva", 300, 30, 18, 20, "deutschland", "4")},
        {"variant 0", Form("Eva", 300, 30, 18, 20, "deutschland", "0")},
        {"moves over 10000", Form("Eva", 300, 30, 18, 10001)},
        {"time over 99:59:59", Form("Eva", 100 * 3600, 30, 18, 20)},
        {"opponent over all stones", Form("Eva", 300, 0, 97, 20)},
        {"negative opponent", Form("Eva", 300, 30, -1, 20)},
        {"negative moves", Form("Eva", 300, 30, 18, -5)},
        {"negative time", Form("Eva", -1, 30, 18, 20)},
        {"negative points", Form("Eva", 300, -18, 36, 20)},
    };
    for (const auto& [what, body] : cases) {
        const TReply r = Post(body);
        EXPECT_GE(r.Status, 400) << what;
        EXPECT_LT(r.Status, 500) << what;
        EXPECT_TRUE(r.Body.startsWith("refused: ")) << what << ": " << r.Body.toStdString();
        EXPECT_EQ(r.Body.count('\n'), 1) << what;
    }
    EXPECT_EQ(Post(cases[7].second).Status, 413);
    EXPECT_EQ(Post(wrongCheck).Status, 403);
    EXPECT_EQ(Stored(), 0);
    EXPECT_EQ(Server_->Refused(), static_cast<int>(cases.size()) + 2);
    // The same entry, untouched, is taken: the refusals were about the changes.
    EXPECT_EQ(Post(good).Status, 200);
    EXPECT_EQ(Stored(), 1);
}

TEST_P(ServerTest, MarkupAndSqlInNamesAreStoredAsTextAndEscapedOnOutput) {
    const std::string script = "<script>alert(1)</script>";
    const std::string sql = "Robert'); DROP TABLE entries;--";
    const std::string arg = "%1 \"&amp; %5";
    for (const std::string& name : {script, sql, arg}) ASSERT_EQ(Post(Form(name, 300, 30, 18, 20)).Status, 200);
    ASSERT_EQ(Stored(), 3);
    std::vector<std::string> names;
    for (const auto& row : Listed(1)) names.push_back(row[0]);
    EXPECT_THAT(names, ::testing::UnorderedElementsAre(script, sql, arg));
    const QByteArray page = Get(QStringLiteral("/software/tessum_highscore.php4")).Body;
    EXPECT_FALSE(page.contains("<script>"));
    EXPECT_TRUE(page.contains("&lt;script&gt;alert(1)&lt;/script&gt;"));
    EXPECT_TRUE(page.contains("Robert&#39;); DROP TABLE entries;--"));
    EXPECT_TRUE(page.contains("%1 &quot;&amp;amp; %5"));
}

TEST_P(ServerTest, ListPagesHoldAHundredRowsEach) {
    for (int i = 0; i < 150; ++i) {
        TNetEntry e;
        e.Variant = 2;
        e.Name = "P" + std::to_string(i);
        e.EMail = "p@example.org";
        e.Punkte = 9000 - i * 10;
        e.PunkteGegner = 5;
        e.Runden = 20;
        e.Zeit = 100;
        ASSERT_EQ(Store_.Add(e, "2026-01-02 03:04:05"), THighscoreStore::TAdd::Stored);
    }
    const QByteArray one = Get(QStringLiteral("/software/tessum_highscore.php4?variant=2")).Body;
    const QByteArray two = Get(QStringLiteral("/software/tessum_highscore.php4?variant=2&page=2")).Body;
    EXPECT_TRUE(one.contains(">P99<"));
    EXPECT_FALSE(one.contains(">P100<"));
    EXPECT_TRUE(two.contains(">P100<") && two.contains(">P149<"));
    EXPECT_FALSE(two.contains(">P99<"));
    EXPECT_TRUE(two.contains(">101</td>"));
    EXPECT_TRUE(one.contains("2026-01-02"));
    EXPECT_EQ(QJsonDocument::fromJson(Get(QStringLiteral("/api/highscore?variant=2")).Body).array().size(), 150);
    // An unknown variant shows the first one rather than failing.
    EXPECT_EQ(Get(QStringLiteral("/api/highscore?variant=9")).Status, 200);
}

TEST_P(ServerTest, OneClientGetsSixtySubmissionsAMinute) {
    const QByteArray body = Form("Eva", 300, 30, 18, 20);
    for (int i = 0; i < 60; ++i) ASSERT_EQ(Post(body).Status, 200) << i;
    const TReply refused = Post(body);
    EXPECT_EQ(refused.Status, 429);
    Clock_ += 59 * 1000;
    EXPECT_EQ(Post(body).Status, 429);
    Clock_ += 1000;
    EXPECT_EQ(Post(body).Status, 200);
    EXPECT_EQ(Stored(), 1);
}

TEST_P(ServerTest, AServerThatRefusesMakesTheGamesSubmissionFail) {
    THighscore t;
    t.Index = "1";
    t.AddScore("Eva", 300, 30, 18, 20, false, "eva@example.org", "atlantis");
    t.Server = "127.0.0.1";
    t.Port = Port_;
    TWebPost post;
    post.OnError = [](TWebPost&, const std::string&, int) {};
    EXPECT_EQ(t.SendToNet(post), -1);
    EXPECT_EQ(post.LastStatus(), 400);
    EXPECT_EQ(Stored(), 0);
}

INSTANTIATE_TEST_SUITE_P(Databases, ServerTest, ::testing::Values("sqlite", "postgresql"),
                         [](const auto& Info) { return std::string(Info.param); });

TEST(ServerStore, ReopeningKeepsTheEntriesAndANewerSchemaIsLeftAlone) {
    QTemporaryDir dir;
    const QString url = QStringLiteral("sqlite:") + dir.path() + QStringLiteral("/hs.sqlite");
    TNetEntry e;
    e.Variant = 3;
    e.Name = "Eva";
    e.EMail = "e@example.org";
    QString error;
    {
        THighscoreStore s;
        ASSERT_TRUE(s.Open(url, error)) << error.toStdString();
        EXPECT_EQ(s.Add(e, "2026-01-01 00:00:00"), THighscoreStore::TAdd::Stored);
        EXPECT_EQ(s.Add(e, "2026-01-01 00:00:01"), THighscoreStore::TAdd::Duplicate);
    }
    {
        THighscoreStore s;
        ASSERT_TRUE(s.Open(url, error)) << error.toStdString();
        EXPECT_EQ(s.Count(3), 1);
    }
    {
        QSqlDatabase raw = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("raw"));
        raw.setDatabaseName(url.mid(7));
        ASSERT_TRUE(raw.open());
        QSqlQuery q(raw);
        ASSERT_TRUE(q.exec(QStringLiteral("UPDATE tessum_schema SET version = 7")));
        raw.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("raw"));
    THighscoreStore s;
    EXPECT_FALSE(s.Open(url, error));
    EXPECT_TRUE(error.contains(QStringLiteral("schema 7"))) << error.toStdString();
    EXPECT_FALSE(s.Open(QStringLiteral("mysql://x/y"), error));
}

TEST(ServerProgram, EndsCleanlyOnSigtermWithItsEntriesKept) {
    QTemporaryDir dir;
    QProcess p;
    p.setReadChannel(QProcess::StandardError);
    p.setWorkingDirectory(dir.path());
    p.start(QStringLiteral(TESSUM_SERVER_BINARY), {QStringLiteral("--listen"), QStringLiteral("127.0.0.1:0")});
    ASSERT_TRUE(p.waitForStarted());
    QByteArray err;
    while (!err.contains("listening on") && p.waitForReadyRead(10000)) err += p.readAllStandardError();
    const qsizetype at = err.indexOf("127.0.0.1:") + 10;
    const int port = err.mid(at, err.indexOf(',', at) - at).toInt();
    ASSERT_GT(port, 0) << err.toStdString();

    SetDecimalSeparator('.');
    THighscore t;
    t.Index = "2";
    t.AddScore("Eva", 300, 30, 18, 20, false, "eva@example.org", "deutschland");
    t.Server = "127.0.0.1";
    t.Port = static_cast<std::uint16_t>(port);
    TWebPost post;
    EXPECT_EQ(t.SendToNet(post), 0);
    ResetDecimalSeparator();

    ::kill(static_cast<pid_t>(p.processId()), SIGTERM);
    ASSERT_TRUE(p.waitForFinished(10000));
    err += p.readAllStandardError();
    EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(p.exitCode(), 0);
    EXPECT_TRUE(err.contains("POST /software/highscore.add.php4 200")) << err.toStdString();
    EXPECT_TRUE(err.contains("stopped, 1 stored, 0 refused")) << err.toStdString();

    // The default database is in the working folder and holds the entry.
    THighscoreStore s;
    QString error;
    ASSERT_TRUE(s.Open(QStringLiteral("sqlite:") + dir.path() + QStringLiteral("/highscore.sqlite"), error));
    EXPECT_EQ(s.Count(2), 1);
}

TEST(ServerProgram, HelpNamesItsOptions) {
    QProcess p;
    p.start(QStringLiteral(TESSUM_SERVER_BINARY), {QStringLiteral("--help")});
    ASSERT_TRUE(p.waitForFinished(10000));
    const QByteArray out = p.readAllStandardOutput();
    EXPECT_EQ(p.exitCode(), 0);
    for (const char* o : {"--listen", "--database", "--rate-limit"}) EXPECT_TRUE(out.contains(o)) << o;
}

}  // namespace

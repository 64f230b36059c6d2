// TWebPost and the highscore submission against HTTP servers run by the test
// itself on the loopback address.
#include "highscore/WebPost.h"
#include "highscore/uTHighscore.h"

#include "LoopbackServer.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QTimer>
#include <QTcpServer>
#include <QTemporaryDir>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace tessum;

namespace {

struct TErrorLog {
    std::vector<std::string> Texts;
    std::vector<int> Codes;
    void Bind(TWebPost& Post) {
        Post.OnError = [this](TWebPost&, const std::string& Text, int Code) {
            Texts.push_back(Text);
            Codes.push_back(Code);
        };
    }
};

class WebPostTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetDecimalSeparator(',');
        ASSERT_TRUE(Dir_.isValid());
    }
    void TearDown() override { ResetDecimalSeparator(); }

    std::string File(int Variant) const { return HighscoreFileName(Dir_.path().toStdString(), Variant); }

    // A stored table with umlauts, one entry without e-mail, one without name.
    void WriteTable(int Variant) {
        THighscore hs;
        hs.AddScore("J\xF6rg M\xFCller", 3725, 30, 18, 21, true, "joerg@example.org", "DE");
        hs.AddScore("Anonym", 100, 40, 8, 20, false, "", "DE");
        hs.AddScore("", 200, 35, 13, 20, false, "x@example.org", "AT");
        hs.AddScore("Zo\xEB Stra\xDF" "e", 4000, 25, 23, 30, false, "zoe@example.ch", "CH");
        hs.SaveToFile(File(Variant));
    }

    // The table as the submission sees it, pointed at the test's server.
    void Load(THighscore& hs, int Variant, std::uint16_t Port) {
        hs.Clear();
        hs.Index = std::to_string(Variant);
        hs.LoadFromFile(File(Variant));
        hs.Server = "127.0.0.1";
        hs.Port = Port;
    }

    QTemporaryDir Dir_;
};

TEST_F(WebPostTest, EachEntryWithNameAndMailArrivesAsItsOwnExactRequest) {
    WriteTable(1);
    const std::string stored = ReadFile(File(1));
    TLoopbackServer server;
    THighscore hs;
    Load(hs, 1, server.Port());
    TWebPost post;
    TErrorLog errors;
    errors.Bind(post);

    EXPECT_EQ(hs.SendToNet(post), 0);
    EXPECT_TRUE(errors.Texts.empty());
    ASSERT_EQ(server.Bodies().size(), 2u);
    EXPECT_EQ(server.Connections(), 2);
    EXPECT_EQ(post.ResponseText(), "OK");

    const std::string check1 = CheckValue("J&ouml;rg M&uuml;ller62,501821-101:02:05DEjoerg@example.orgtessum1",
                                          inetconfig::CheckModulus, inetconfig::CheckSeed);
    EXPECT_EQ(server.Bodies()[0].toStdString(),
              "name=J%26ouml%3Brg%20M%26uuml%3Bller&punkte=62%2C50&punktegegner=18&runden=21&ki=%2D1"
              "&zeit=01%3A02%3A05&land=DE&email=joerg%40example%2Eorg&hs_name=tessum&hs_index=1&check=" +
                  check1);
    const std::string check2 = CheckValue("Zo&euml; Stra&szlig;e52,082330001:06:40CHzoe@example.chtessum1",
                                          inetconfig::CheckModulus, inetconfig::CheckSeed);
    EXPECT_EQ(server.Bodies()[1].toStdString(),
              "name=Zo%26euml%3B%20Stra%26szlig%3Be&punkte=52%2C08&punktegegner=23&runden=30&ki=0"
              "&zeit=01%3A06%3A40&land=CH&email=zoe%40example%2Ech&hs_name=tessum&hs_index=1&check=" +
                  check2);

    // The request line and the form's one header are exactly those the
    // server has always received; the rest is transport.
    const std::string head0 = server.Heads()[0].toStdString();
    EXPECT_EQ(head0.rfind("POST /software/highscore.add.php4 HTTP/1.1\r\n", 0), 0u) << head0;
    EXPECT_THAT(head0, ::testing::HasSubstr("\r\nContent-Type: application/x-www-form-urlencoded\r\n"));
    EXPECT_THAT(head0, ::testing::HasSubstr("\r\nUser-Agent: TWebPost\r\n"));
    EXPECT_THAT(head0, ::testing::HasSubstr("\r\nHost: 127.0.0.1:" + std::to_string(server.Port()) + "\r\n"));
    EXPECT_THAT(head0, ::testing::HasSubstr("\r\nContent-Length: " +
                                            std::to_string(server.Bodies()[0].size()) + "\r\n"));
    EXPECT_EQ(server.Heads()[0].count("Content-Type"), 1);
    EXPECT_EQ(ReadFile(File(1)), stored);
}

TEST_F(WebPostTest, AnErrorStatusIsAFailedSendButAChunkedAnswerIsSent) {
    TWebPost post;
    TErrorLog errors;
    errors.Bind(post);
    post.Server = "127.0.0.1";
    post.Action = "/software/highscore.add.php4";
    post.Items.Add("a", "1");
    // A refused entry must not be reported as sent: 4xx and 5xx fail, with
    // the server's own first line for the player.
    for (const char* answer :
         {"HTTP/1.0 500 Internal Server Error\r\nContent-Type: text/html\r\n\r\n<h1>broken</h1>",
          "HTTP/1.1 400 Bad Request\r\nContent-Length: 29\r\n\r\nrefused: wrong check value\nx\n",
          "HTTP/1.1 429 Too Many Requests\r\nContent-Length: 0\r\n\r\n"}) {
        TLoopbackServer server(TLoopbackServer::TMode::Answer, answer);
        post.Port = server.Port();
        EXPECT_FALSE(post.Execute()) << answer;
        EXPECT_EQ(post.LastErrorCode(), wpeRefused);
    }
    ASSERT_EQ(errors.Texts.size(), 3u);
    EXPECT_THAT(errors.Texts[0], ::testing::HasSubstr("500"));
    EXPECT_THAT(errors.Texts[1], ::testing::HasSubstr("400): refused: wrong check value"));
    EXPECT_THAT(errors.Texts[1], ::testing::Not(::testing::HasSubstr("\n")));
    EXPECT_EQ(post.LastStatus(), 429);

    TLoopbackServer chunked(TLoopbackServer::TMode::Answer,
                            "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n4\r\nthan\r\n3\r\nks!\r\n0\r\n\r\n");
    post.Port = chunked.Port();
    EXPECT_TRUE(post.Execute());
    EXPECT_EQ(post.ResponseText(), "thanks!");
    EXPECT_EQ(errors.Texts.size(), 3u);
    EXPECT_EQ(post.LastErrorCode(), wpeNone);
    EXPECT_EQ(post.LastStatus(), 200);
}

// A server that keeps sending interim answers, a little at a time, and never
// the final one.
class TInterimFlood {
public:
    TInterimFlood() {
        EXPECT_TRUE(Server_.listen(QHostAddress::LocalHost, 0));
        QObject::connect(&Server_, &QTcpServer::newConnection, [this] {
            while (QTcpSocket* s = Server_.nextPendingConnection()) Sockets_.push_back(s);
        });
        QObject::connect(&Timer_, &QTimer::timeout, [this] {
            for (QTcpSocket* s : Sockets_) s->write("HTTP/1.1 100 Continue\r\n\r\n");
        });
        Timer_.start(1);
    }
    std::uint16_t Port() const { return Server_.serverPort(); }

private:
    QTcpServer Server_;
    QTimer Timer_;
    std::vector<QTcpSocket*> Sockets_;
};

TEST_F(WebPostTest, EndlessInterimAnswersNeitherHoldTheRequestNorStarveTheWindow) {
    TInterimFlood flood;
    TWebPost post;
    TErrorLog errors;
    errors.Bind(post);
    post.Server = "127.0.0.1";
    post.Port = flood.Port();
    post.Items.Add("a", "1");
    post.TimeoutMs = 600;
    int ticks = 0;
    QTimer window;
    QObject::connect(&window, &QTimer::timeout, [&] { ++ticks; });
    window.start(50);
    QElapsedTimer clock;
    clock.start();
    EXPECT_FALSE(post.Execute());
    EXPECT_LT(clock.elapsed(), 5000);
    // The window's own timer kept firing all the while.
    EXPECT_GE(ticks, 5);
    ASSERT_EQ(errors.Codes.size(), 1u);
    EXPECT_EQ(errors.Codes[0], wpeTimeout);
}

TEST_F(WebPostTest, OneLimitForAWholeSubmissionAndACancelThatEndsIt) {
    WriteTable(1);
    TLoopbackServer silent(TLoopbackServer::TMode::Silent);
    THighscore hs;
    Load(hs, 1, silent.Port());
    TWebPost post;
    TErrorLog errors;
    errors.Bind(post);
    // Each request could wait 20 s; the submission as a whole may not.
    post.Deadline = QDeadlineTimer(400);
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(hs.SendToNet(post), -1);
    EXPECT_LT(clock.elapsed(), 5000);
    EXPECT_THAT(errors.Codes, ::testing::ElementsAre(wpeTimeout));
    // Once the limit is spent, nothing more goes out.
    EXPECT_FALSE(post.Execute());
    EXPECT_EQ(silent.Bodies().size(), 1u);

    post.Deadline = QDeadlineTimer(QDeadlineTimer::Forever);
    errors.Codes.clear();
    QTimer::singleShot(100, &post, &TWebPost::Cancel);
    clock.restart();
    EXPECT_EQ(hs.SendToNet(post), -1);
    EXPECT_LT(clock.elapsed(), 5000);
    EXPECT_TRUE(post.Cancelled());
    EXPECT_EQ(post.LastErrorCode(), wpeCancelled);
    // A cancel is the player's own wish: no error box for it.
    EXPECT_TRUE(errors.Codes.empty());
    EXPECT_FALSE(post.Execute());
    post.ResetCancel();
    TLoopbackServer good;
    post.Port = good.Port();
    EXPECT_TRUE(post.Execute());
}

TEST_F(WebPostTest, RefusedConnectionIsReportedAndStopsTheSubmission) {
    WriteTable(2);
    const std::string stored = ReadFile(File(2));
    std::uint16_t closedPort;
    {
        QTcpServer probe;
        ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
        closedPort = probe.serverPort();
    }
    THighscore hs;
    Load(hs, 2, closedPort);
    TWebPost post;
    TErrorLog errors;
    errors.Bind(post);
    EXPECT_EQ(hs.SendToNet(post), -1);
    ASSERT_EQ(errors.Codes.size(), 1u);
    EXPECT_EQ(errors.Codes[0], wpeCannotConnect);
    EXPECT_THAT(errors.Texts[0], ::testing::HasSubstr("refused"));
    EXPECT_EQ(hs.Count(), 4);
    EXPECT_EQ(ReadFile(File(2)), stored);
}

TEST_F(WebPostTest, ServerThatNeverAnswersIsGivenUpAfterTheTimeout) {
    WriteTable(3);
    const std::string stored = ReadFile(File(3));
    TLoopbackServer server(TLoopbackServer::TMode::Silent);
    THighscore hs;
    Load(hs, 3, server.Port());
    TWebPost post;
    post.TimeoutMs = 300;
    TErrorLog errors;
    errors.Bind(post);
    EXPECT_EQ(hs.SendToNet(post), -1);
    EXPECT_EQ(server.Bodies().size(), 1u);
    ASSERT_EQ(errors.Codes.size(), 1u);
    EXPECT_EQ(errors.Codes[0], wpeTimeout);
    EXPECT_FALSE(errors.Texts[0].empty());
    EXPECT_EQ(ReadFile(File(3)), stored);
}

TEST_F(WebPostTest, ClosedWithoutAnswerIsReportedButABrokenBodyIsNot) {
    TWebPost post;
    TErrorLog errors;
    errors.Bind(post);
    post.Server = "127.0.0.1";
    post.Items.Add("a", "1");

    TLoopbackServer closing(TLoopbackServer::TMode::CloseAtOnce);
    post.Port = closing.Port();
    EXPECT_FALSE(post.Execute());
    ASSERT_EQ(errors.Codes.size(), 1u);

    TLoopbackServer half(TLoopbackServer::TMode::HalfBody);
    post.Port = half.Port();
    EXPECT_FALSE(post.Execute());
    EXPECT_EQ(errors.Codes.size(), 1u);
    EXPECT_NE(post.LastErrorCode(), wpeNone);
}

TEST_F(WebPostTest, AnAnswerBeyondTheBoundIsCutOff) {
    TLoopbackServer big(TLoopbackServer::TMode::Answer,
                        "HTTP/1.1 200 OK\r\n\r\n" + QByteArray(300000, 'x'));
    TWebPost post;
    post.Server = "127.0.0.1";
    post.Port = big.Port();
    post.MaxResponseBytes = 1000;
    EXPECT_TRUE(post.Execute());
    EXPECT_EQ(post.ResponseText(), std::string(1000, 'x'));
}

}  // namespace

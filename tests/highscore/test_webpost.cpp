// TWebPost and the highscore submission against HTTP servers run by the test
// itself on the loopback address.
#include "highscore/WebPost.h"
#include "highscore/uTHighscore.h"

#include "LoopbackServer.h"

#include <QCoreApplication>
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

    const std::string body0 = server.Bodies()[0].toStdString();
    EXPECT_EQ(server.Heads()[0].toStdString(),
              "POST /software/highscore.add.php4 HTTP/1.1\r\n"
              "Content-Type: application/x-www-form-urlencoded\r\n"
              "User-Agent: TWebPost\r\n"
              "Host: 127.0.0.1:" + std::to_string(server.Port()) + "\r\n"
              "Content-Length: " + std::to_string(body0.size()) + "\r\n"
              "Connection: close\r\n"
              "Cache-Control: no-cache\r\n\r\n");
    EXPECT_EQ(ReadFile(File(1)), stored);
}

TEST_F(WebPostTest, AnErrorPageAndAChunkedAnswerStillCountAsSent) {
    TLoopbackServer errorPage(TLoopbackServer::TMode::Answer,
                              "HTTP/1.0 500 Internal Server Error\r\nContent-Type: text/html\r\n\r\n<h1>broken</h1>");
    TWebPost post;
    TErrorLog errors;
    errors.Bind(post);
    post.Server = "127.0.0.1";
    post.Port = errorPage.Port();
    post.Action = "/software/highscore.add.php4";
    post.Items.Add("a", "1");
    EXPECT_TRUE(post.Execute());
    EXPECT_EQ(post.ResponseText(), "<h1>broken</h1>");

    TLoopbackServer chunked(TLoopbackServer::TMode::Answer,
                            "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n4\r\nthan\r\n3\r\nks!\r\n0\r\n\r\n");
    post.Port = chunked.Port();
    EXPECT_TRUE(post.Execute());
    EXPECT_EQ(post.ResponseText(), "thanks!");
    EXPECT_TRUE(errors.Texts.empty());
    EXPECT_EQ(post.LastErrorCode(), wpeNone);
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

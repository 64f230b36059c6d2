// The dialog's worldwide-highscore command against a loopback server: the
// confirmation, all three tables in order, the failure notices, the dialog's
// state and the page opened only after a complete submission.
#include "app/uNetSubmit.h"

#include "LoopbackServer.h"
#include "i18n/MultiLanguage.h"
#include "highscore/WebPost.h"
#include "i18n/lngDialogs.h"
#include "game/uProfile.h"
#include "game/uTSettings.h"
#include "highscore/uTHighscore.h"
#include "app/ufHighscore.h"
#include "i18n/TRadioGroup.h"

#include <QCoreApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QTimer>
#include <QPushButton>
#include <QTemporaryDir>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>

using namespace tessum;
using ::testing::ElementsAre;

namespace {

class NetSubmit : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(Dir_.isValid());
        SetDecimalSeparator('.');
        lng_ = new TMultiLanguage(&Dialog_);
        lng_->LoadScript(":/lng/fHighscore.lng");
        lng_->SetLanguage("german");
        Button_ = new QPushButton(&Dialog_);
    }
    void TearDown() override { ResetDecimalSeparator(); }

    std::string File(int Variant) const { return HighscoreFileName(Dir_.path().toStdString(), Variant); }

    void WriteTable(int Variant, std::vector<std::string> Names) {
        THighscore hs;
        int zeit = 100;
        for (const auto& n : Names) hs.AddScore(n, zeit++, 30, 18, 20, false, n + "@example.org", "DE");
        hs.SaveToFile(File(Variant));
    }

    TNetSubmitOptions Options(std::uint16_t Port) {
        TNetSubmitOptions o;
        o.Folder = Dir_.path().toStdString();
        o.Server = "127.0.0.1";
        o.Port = Port;
        o.OpenPage = [this](const QString& Url) {
            Opened_.push_back(Url);
            // The page opens while the submission still holds the dialog.
            EnabledWhileOpening_ = Dialog_.isEnabled();
        };
        return o;
    }

    // The hs_index of each request, in arrival order.
    static std::vector<std::string> Indexes(const TLoopbackServer& Server) {
        std::vector<std::string> r;
        for (const QByteArray& b : Server.Bodies()) {
            const qsizetype at = b.indexOf("&hs_index=") + 10;
            r.push_back(b.mid(at, b.indexOf('&', at) - at).toStdString());
        }
        return r;
    }

    QTemporaryDir Dir_;
    QDialog Dialog_;
    TMultiLanguage* lng_ = nullptr;
    QPushButton* Button_ = nullptr;
    std::vector<QString> Opened_;
    bool EnabledWhileOpening_ = true;
};

TEST_F(NetSubmit, AllTablesGoOutInVariantOrderThenThePageOpens) {
    WriteTable(1, {"Ada", "Bea"});
    WriteTable(3, {"Cem"});  // variant 2 has no file yet
    TLoopbackServer server;
    TWebPost post;
    TMessageDialogAnswerer answers({mrOk});
    EXPECT_EQ(SubmitHighscores(&Dialog_, *lng_, post, Options(server.Port())), TNetSubmitResult::Sent);
    EXPECT_THAT(Indexes(server), ElementsAre("1", "1", "3"));
    ASSERT_EQ(answers.Shown().size(), 1u);
    EXPECT_EQ(answers.Shown()[0].Text, lng_->GetQText("msgsendtonet"));
    ASSERT_EQ(Opened_.size(), 1u);
    EXPECT_EQ(Opened_[0], QString::fromLatin1(inetconfig::PageURL));
    EXPECT_FALSE(EnabledWhileOpening_);
    EXPECT_TRUE(Dialog_.isEnabled());
    EXPECT_TRUE(Button_->isEnabled());
}

TEST_F(NetSubmit, CancelSendsNothing) {
    WriteTable(1, {"Ada"});
    TLoopbackServer server;
    TWebPost post;
    TMessageDialogAnswerer answers({mrCancel});
    EXPECT_EQ(SubmitHighscores(&Dialog_, *lng_, post, Options(server.Port())), TNetSubmitResult::Cancelled);
    EXPECT_EQ(server.Connections(), 0);
    EXPECT_TRUE(Opened_.empty());
}

TEST_F(NetSubmit, SilentServerEndsWithTheErrorTextThenSendErrorAndKeepsTheTables) {
    WriteTable(1, {"Ada", "Bea"});
    WriteTable(2, {"Cem"});
    const std::string one = ReadFile(File(1));
    const std::string two = ReadFile(File(2));
    TLoopbackServer server(TLoopbackServer::TMode::Silent);
    TWebPost post;
    post.TimeoutMs = 300;
    TMessageDialogAnswerer answers({mrOk});
    EXPECT_EQ(SubmitHighscores(&Dialog_, *lng_, post, Options(server.Port())), TNetSubmitResult::Failed);
    // The first entry hung; nothing after it was tried.
    EXPECT_EQ(server.Connections(), 1);
    ASSERT_EQ(answers.Shown().size(), 3u);
    EXPECT_EQ(answers.Shown()[1].Text.toStdString(), post.LastErrorText());
    EXPECT_EQ(answers.Shown()[2].Text, lng_->GetQText("senderror"));
    EXPECT_TRUE(Opened_.empty());
    EXPECT_TRUE(Dialog_.isEnabled());
    EXPECT_FALSE(post.OnError);
    EXPECT_EQ(ReadFile(File(1)), one);
    EXPECT_EQ(ReadFile(File(2)), two);
}

TEST_F(NetSubmit, RefusedConnectionShowsSendError) {
    WriteTable(2, {"Ada"});
    std::uint16_t closedPort;
    {
        QTcpServer probe;
        ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
        closedPort = probe.serverPort();
    }
    TWebPost post;
    std::vector<int> codes;
    post.OnError = [&](TWebPost&, const std::string&, int Code) { codes.push_back(Code); };
    TMessageDialogAnswerer answers({mrOk});
    EXPECT_EQ(SubmitHighscores(&Dialog_, *lng_, post, Options(closedPort)), TNetSubmitResult::Failed);
    // The dialog's own error receiver is kept and used.
    EXPECT_THAT(codes, ElementsAre(wpeCannotConnect));
    ASSERT_EQ(answers.Shown().size(), 2u);
    EXPECT_EQ(answers.Shown()[1].Text, lng_->GetQText("senderror"));
    EXPECT_TRUE(Opened_.empty());
}

TEST_F(NetSubmit, DamagedTableIsReportedStopsAndLeavesTheDialogUsable) {
    WriteTable(1, {"Ada"});
    { std::ofstream(File(2), std::ios::binary) << "not a table"; }
    WriteTable(3, {"Cem"});
    TLoopbackServer server;
    TWebPost post;
    TMessageDialogAnswerer answers({mrOk});
    EXPECT_EQ(SubmitHighscores(&Dialog_, *lng_, post, Options(server.Port())), TNetSubmitResult::Failed);
    EXPECT_THAT(Indexes(server), ElementsAre("1"));
    ASSERT_EQ(answers.Shown().size(), 2u);
    EXPECT_EQ(answers.Shown()[1].Text, QStringLiteral("File is corrupt."));
    EXPECT_TRUE(Dialog_.isEnabled());
    EXPECT_EQ(ReadFile(File(2)), "not a table");
    EXPECT_TRUE(Opened_.empty());
}

TEST_F(NetSubmit, HighscoreDialogButtonSendsEveryVariantWithTheDialogDisabled) {
    WriteTable(2, {"Ada"});
    WriteTable(3, {"Bea"});
    SetUserFolder(Dir_.path().toStdString());
    TLoopbackServer server;
    {
        TfHighscore dialog;
        dialog.SetLanguage("english");
        TNetSubmitOptions o = Options(server.Port());
        o.Folder.clear();  // the program's folder, like the dialog's own tables
        o.OpenPage = [&](const QString& Url) {
            Opened_.push_back(Url);
            EnabledWhileOpening_ = dialog.bbOK->isEnabled() || dialog.bbnetHighscore->isEnabled() ||
                                   dialog.rgVariante->isEnabled();
        };
        TWebPost* post = AttachNetSubmit(dialog, o);
        ASSERT_NE(post, nullptr);
        EXPECT_EQ(post->parent(), &dialog);
        dialog.ShowVariant(1);
        ASSERT_TRUE(dialog.bbnetHighscore->isEnabled());
        TMessageDialogAnswerer answers({mrOk});
        dialog.bbnetHighscore->click();
        ASSERT_EQ(answers.Shown().size(), 1u);
        EXPECT_EQ(answers.Shown()[0].Text, dialog.lng->GetQText("msgsendtonet"));
        EXPECT_TRUE(dialog.isEnabled());
        // The shown table is the dialog's own and stays as it was.
        EXPECT_EQ(dialog.CellText(1, 1), "Ada");
    }
    SetUserFolder("");
    EXPECT_THAT(Indexes(server), ElementsAre("2", "3"));
    EXPECT_EQ(Opened_.size(), 1u);
    EXPECT_FALSE(EnabledWhileOpening_);
}

// Closing the highscore dialog while it sends (close box or Escape) cancels
// the submission at once, without error boxes over the board, and the dialog
// closes when it has unwound; a dialog opened later sends again.
TEST_F(NetSubmit, ClosingTheDialogDuringASubmissionCancelsItAndALaterOneWorks) {
    WriteTable(1, {"Ada", "Bea"});
    WriteTable(2, {"Cem"});
    SetUserFolder(Dir_.path().toStdString());
    for (const bool escape : {false, true}) {
        TLoopbackServer silent(TLoopbackServer::TMode::Silent);
        TfHighscore dialog;
        dialog.SetLanguage("english");
        TNetSubmitOptions o = Options(silent.Port());
        o.Folder.clear();
        AttachNetSubmit(dialog, o);
        dialog.ShowVariant(0);
        dialog.show();
        bool visibleAfterClose = false;
        QTimer::singleShot(150, &dialog, [&] {
            if (escape) {
                QKeyEvent key(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
                QCoreApplication::sendEvent(&dialog, &key);
            } else {
                dialog.close();
            }
            // The dialog waits for the submission to unwind before it goes.
            visibleAfterClose = dialog.isVisible();
        });
        TMessageDialogAnswerer answers({mrOk});
        QElapsedTimer clock;
        clock.start();
        dialog.bbnetHighscore->click();
        EXPECT_LT(clock.elapsed(), 5000) << "escape " << escape;
        EXPECT_TRUE(visibleAfterClose);
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_EQ(dialog.result(), QDialog::Rejected);
        EXPECT_FALSE(dialog.Submitting());
        // Only the confirmation: no error text, no "senderror".
        EXPECT_EQ(answers.Shown().size(), 1u);
        EXPECT_EQ(silent.Bodies().size(), 1u);
        EXPECT_TRUE(Opened_.empty());
    }

    TLoopbackServer server;
    TfHighscore dialog;
    dialog.SetLanguage("english");
    TNetSubmitOptions o = Options(server.Port());
    o.Folder.clear();
    AttachNetSubmit(dialog, o);
    dialog.ShowVariant(0);
    TMessageDialogAnswerer answers({mrOk});
    dialog.bbnetHighscore->click();
    SetUserFolder("");
    EXPECT_THAT(Indexes(server), ElementsAre("1", "1", "2"));
    EXPECT_EQ(Opened_.size(), 1u);
    EXPECT_TRUE(dialog.bbOK->isEnabled());
}

// A club's own server comes from settings.ini, section "internet".
TEST_F(NetSubmit, ServerAndPageComeFromTheSettings) {
    WriteTable(3, {"Ada"});
    TLoopbackServer server;
    SetUserFolder(Dir_.path().toStdString());
    auto writeSettings = [&](const std::string& Lines) {
        std::ofstream(Dir_.path().toStdString() + "/settings.ini", std::ios::binary) << "[internet]\r\n" << Lines;
    };
    auto submit = [&] {
        TWebPost post;
        TNetSubmitOptions o = Options(server.Port());
        o.Server.clear();
        o.Port = 0;
        TMessageDialogAnswerer answers({mrOk});
        return SubmitHighscores(&Dialog_, *lng_, post, o);
    };
    const std::string port = std::to_string(server.Port());
    writeSettings("server=127.0.0.1:" + port + "\r\npage=https://club.example/list\r\n");
    EXPECT_EQ(submit(), TNetSubmitResult::Sent);
    writeSettings("server=127.0.0.1:" + port + "\r\n");
    EXPECT_EQ(submit(), TNetSubmitResult::Sent);
    // Not a web address: the page follows the server.
    writeSettings("server= 127.0.0.1:" + port + " \r\npage=file:///etc/passwd\r\n");
    EXPECT_EQ(submit(), TNetSubmitResult::Sent);
    SetUserFolder("");
    EXPECT_EQ(server.Bodies().size(), 3u);
    EXPECT_THAT(Opened_, ElementsAre("https://club.example/list",
                                     QString::fromStdString("http://127.0.0.1:" + port + "/software/tessum_highscore.php4"),
                                     QString::fromStdString("http://127.0.0.1:" + port + "/software/tessum_highscore.php4")));
}

TEST(InternetSettings, ServerAddressesThatAreNotHostAndPortCountAsNone) {
    std::string host;
    std::uint16_t port = 0;
    EXPECT_TRUE(ParseServerAddress("scores.example.org", host, port));
    EXPECT_EQ(host, "scores.example.org");
    EXPECT_EQ(port, 80);
    EXPECT_TRUE(ParseServerAddress("[::1]:8080", host, port));
    EXPECT_EQ(host, "::1");
    EXPECT_EQ(port, 8080);
    for (const char* bad : {"", ":80", "host:", "host:0", "host:65536", "host:8x", "a b", "host/path",
                            "evil\r\nX-Injected: 1", "[::1", "[::1]x"})
        EXPECT_FALSE(ParseServerAddress(bad, host, port)) << bad;
}

}  // namespace

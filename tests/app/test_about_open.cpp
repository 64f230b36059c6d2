// The small windows of the main window: the about window's texts, the hover
// hint's shape, and what happens when the desktop cannot open an address (the
// player is told, with the address ready to copy).
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <memory>
#include <optional>

#include "i18n/MultiLanguage.h"
#include "i18n/lngDialogs.h"
#include "app/uOpenDocument.h"
#include "app/uRichText.h"
#include "app/ufSpielfeld.h"

namespace tessum {
namespace {

struct TAboutShown {
    QString Caption, Body, Ok, Picture;
};

// Opens the about window the way the main window's command does and reads it.
TAboutShown ShowAbout(const std::string& Language) {
    QWidget Owner;
    auto* Lng = new TMultiLanguage(&Owner);
    Lng->setObjectName("lng");
    Lng->LoadScript(":/lng/fSpielfeld.lng");
    auto* Id = new TInfoComponent(&Owner);
    Lng->SetLanguage(Language);
    TAboutShown Shown;
    QTimer::singleShot(0, [&] {
        auto* Dialog = qobject_cast<TInfoDialog*>(QApplication::activeModalWidget());
        if (Dialog == nullptr) return;
        Shown = {Dialog->windowTitle(), Dialog->BodyText(), Dialog->OkText(), Dialog->PictureText()};
        Dialog->accept();
    });
    Id->Execute();
    return Shown;
}

TEST(AboutWindow, EveryTextComesFromTheScriptInBothLanguages) {
    const TAboutShown German = ShowAbout("german");
    EXPECT_EQ(German.Caption, QString::fromUtf8("Über TESSUM (R)"));
    EXPECT_TRUE(German.Body.contains("TESSUM (R) Freeware Nr. 1")) << German.Body.toStdString();
    EXPECT_TRUE(German.Body.contains("Von den TESSUM-Entwicklern")) << German.Body.toStdString();
    EXPECT_TRUE(German.Picture.contains("Freeware Nr. 1")) << German.Picture.toStdString();
    for (const QString& Text : {German.Caption, German.Body, German.Picture}) {
        EXPECT_FALSE(Text.contains("No. 1")) << Text.toStdString();
        EXPECT_FALSE(Text.contains("developers")) << Text.toStdString();
        EXPECT_FALSE(Text.contains('%')) << Text.toStdString();
    }
    EXPECT_EQ(German.Ok, "OK");

    const TAboutShown English = ShowAbout("english");
    EXPECT_EQ(English.Caption, "About TESSUM (R)");
    EXPECT_TRUE(English.Body.contains("TESSUM (R) Freeware No. 1"));
    EXPECT_TRUE(English.Body.contains("TESSUM developers"));
    EXPECT_TRUE(English.Picture.contains("Freeware No. 1"));
    EXPECT_FALSE(English.Body.contains('%'));
}

TEST(HoverHint, CutToItsRoundedShapeOnlyWithoutACompositor) {
    const auto Saved = THTMLHint::CompositingActive;
    THTMLHint Hint;
    THTMLHint::CompositingActive = [] { return false; };
    Hint.ShowHint("<b>12</b> Steine", QPoint(100, 100));
    const QRegion Mask = Hint.mask();
    ASSERT_FALSE(Mask.isEmpty());
    const QRect R = Hint.rect();
    // The corners are cut, the middle and the middle of each edge stay.
    for (const QPoint& Corner : {R.topLeft(), R.topRight(), R.bottomLeft(), R.bottomRight()})
        EXPECT_FALSE(Mask.contains(Corner)) << Corner.x() << "," << Corner.y();
    for (const QPoint& Inside : {R.center(), QPoint(R.center().x(), 1), QPoint(1, R.center().y()),
                                 QPoint(R.center().x(), R.bottom() - 1)})
        EXPECT_TRUE(Mask.contains(Inside)) << Inside.x() << "," << Inside.y();
    // A longer text gets a mask of its new size.
    Hint.ShowHint("<b>12</b> Steine und noch viel mehr", QPoint(100, 100));
    EXPECT_TRUE(Hint.mask().contains(QPoint(Hint.width() - 8, Hint.height() / 2)));

    // With a compositor the antialiased edge shows through, unmasked.
    THTMLHint::CompositingActive = [] { return true; };
    Hint.ShowHint("<b>1</b> Stein", QPoint(100, 100));
    EXPECT_TRUE(Hint.mask().isEmpty());
    Hint.CancelHint();
    THTMLHint::CompositingActive = Saved;
}

class OpenDocumentTest : public ::testing::Test {
protected:
    void SetUp() override { SetDialogLanguage("german"); }
    void TearDown() override {
        SetDesktopOpener({});
        SetDialogLanguage("");
        if (!SavedPath.isNull()) qputenv("PATH", SavedPath);
    }
    // The desktop as a script named xdg-open that exits with Code.
    void FakeXdgOpen(int Code) {
        ASSERT_TRUE(Bin.isValid());
        QFile Script(Bin.filePath("xdg-open"));
        ASSERT_TRUE(Script.open(QIODevice::WriteOnly));
        Script.write(QString("#!/bin/sh\nprintf '%s' \"$1\" > '%1/arg'\nexit %2\n")
                         .arg(Bin.path())
                         .arg(Code)
                         .toUtf8());
        Script.close();
        Script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        if (SavedPath.isNull()) SavedPath = qgetenv("PATH");
        qputenv("PATH", (Bin.path() + ":" + QString::fromLocal8Bit(SavedPath)).toLocal8Bit());
    }
    QString ArgumentSeen() const {
        QFile F(Bin.filePath("arg"));
        return F.open(QIODevice::ReadOnly) ? QString::fromUtf8(F.readAll()) : QString();
    }

    QTemporaryDir Bin;
    QByteArray SavedPath;
};

TEST_F(OpenDocumentTest, NothingToOpenWithSaysSoAndOffersTheAddressToCopy) {
    const QString Target = "http://www.example.org/software/highscore.php?variant=1&x=2";
    SetDesktopOpener([](const QString&, std::function<void(bool)> Done) { Done(false); });
    QString Selected;
    bool HasFocus = false;
    SetMessageDialogObserver([&](QDialog& Dialog) {
        if (auto* Line = Dialog.findChild<QLineEdit*>("Address")) {
            Selected = Line->selectedText();
            HasFocus = Dialog.focusWidget() == Line;
        }
        PressMessageDialogButton(Dialog, mrOk);
    });
    OpenDocument(Target);
    SetMessageDialogObserver({});
    EXPECT_EQ(Selected, Target);
    EXPECT_TRUE(HasFocus);

    // The same in English, through the answerer's record.
    SetDialogLanguage("english");
    TMessageDialogAnswerer Record;
    OpenDocument("/usr/share/tessum/hilfe/start_e.htm");
    ASSERT_EQ(Record.Shown().size(), 1u);
    EXPECT_EQ(Record.Shown()[0].Caption, "Warning");
    EXPECT_TRUE(Record.Shown()[0].Text.startsWith("No program on this computer could open"));
    EXPECT_TRUE(Record.Shown()[0].Text.endsWith("/usr/share/tessum/hilfe/start_e.htm"));
    EXPECT_EQ(Record.Shown()[0].Buttons, QStringList{"OK"});
    EXPECT_EQ(Record.Shown()[0].Result, mrOk);
}

TEST_F(OpenDocumentTest, AnOpenedTargetShowsNothingAndALateFailureOutlivesItsWindow) {
    TMessageDialogAnswerer Record;
    QStringList Asked;
    SetDesktopOpener([&](const QString& Target, std::function<void(bool)> Done) {
        Asked << Target;
        Done(true);
    });
    OpenDocument("mailto:support@example.org");
    EXPECT_EQ(Asked, QStringList{"mailto:support@example.org"});
    EXPECT_TRUE(Record.Shown().empty());

    // The answer comes after the window that asked has gone.
    std::function<void(bool)> Later;
    SetDesktopOpener([&](const QString&, std::function<void(bool)> Done) { Later = std::move(Done); });
    auto Window = std::make_unique<QWidget>();
    OpenDocument("http://www.example.net/", Window.get());
    Window.reset();
    ASSERT_TRUE(Later);
    Later(false);
    ASSERT_EQ(Record.Shown().size(), 1u);
    EXPECT_TRUE(Record.Shown()[0].Text.endsWith("http://www.example.net/"));
    EXPECT_EQ(Record.Shown()[0].Caption, "Warnung");
}

TEST_F(OpenDocumentTest, TheDesktopsAnswerIsXdgOpensExitCode) {
    TMessageDialogAnswerer Record;
    FakeXdgOpen(3);
    OpenDocument("http://www.example.org/");
    QTRY_COMPARE_WITH_TIMEOUT(Record.Shown().size(), std::size_t{1}, 5000);
    EXPECT_EQ(ArgumentSeen(), "http://www.example.org/");

    FakeXdgOpen(0);
    OpenDocument("/tmp/some file.htm");
    QTRY_COMPARE_WITH_TIMEOUT(ArgumentSeen(), QString("/tmp/some file.htm"), 5000);
    // Give the finished process its turn: still only the first message.
    QTest::qWait(200);
    EXPECT_EQ(Record.Shown().size(), 1u);
}

TEST_F(OpenDocumentTest, TheAboutWindowsLinkGoesThroughTheHelper) {
    QStringList Asked;
    SetDesktopOpener([&](const QString& Target, std::function<void(bool)> Done) {
        Asked << Target;
        Done(true);
    });
    TInfoDialog Dialog;
    auto* Body = Dialog.findChild<QLabel*>("lInfo");
    ASSERT_NE(Body, nullptr);
    EXPECT_FALSE(Body->openExternalLinks());
    emit Body->linkActivated("http://www.example.org/");
    EXPECT_EQ(Asked, QStringList{"http://www.example.org/"});
}

}  // namespace
}  // namespace tessum

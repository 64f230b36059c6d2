// The first-start language choice, against a settings file in a scratch folder.
#include <QApplication>
#include <QCoreApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "GameTestFolder.h"
#include "i18n/lngDialogs.h"
#include "game/uTSettings.h"
#include "app/ufLanguage.h"

namespace tessum {
namespace {

class TLanguageChoice : public test::TProgramFolderTest {
protected:
    std::string Language() const {
        return GetProfileString(Path("settings.ini"), "settings", "language", "<none>");
    }

    // Runs Act on the open language dialog once the modal loop of Run is going.
    static void WhenOpen(std::function<void(TfLanguage&)> Act) {
        QTimer::singleShot(0, [Act] {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* d = qobject_cast<TfLanguage*>(w); d && d->isVisible()) {
                    Act(*d);
                    return;
                }
            ADD_FAILURE() << "no language dialog open";
        });
    }
};

TEST_F(TLanguageChoice, FixedBilingualTexts) {
    TfLanguage d;
    EXPECT_EQ(d.windowTitle(), "TESSUM (R)");
    EXPECT_EQ(d.lDescHead->text(), "Sprache / Language:");
    EXPECT_TRUE(d.lDescHead->font().bold());
    EXPECT_EQ(d.lDesc->text(), QString::fromUtf8("Wählen Sie Ihre Sprache.\nPlease choose your language."));
    EXPECT_EQ(d.bGerman->text(), "Deutsch / German");
    EXPECT_EQ(d.bEnglish->text(), "Englisch / English");
    EXPECT_FALSE(d.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(d.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(d.windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_TRUE(d.Choice().empty());
}

TEST_F(TLanguageChoice, CannotBeClosedWithoutAChoice) {
    TfLanguage d;
    d.show();
    EXPECT_FALSE(d.close());
    EXPECT_TRUE(d.isVisible());
    // The refused request still wrote the (empty) choice.
    EXPECT_EQ(Language(), "");
    QTest::keyClick(&d, Qt::Key_Escape);
    EXPECT_TRUE(d.isVisible());

    d.bEnglish->click();
    EXPECT_FALSE(d.isVisible());
    EXPECT_EQ(d.Choice(), "english");
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(Language(), "english");
}

TEST_F(TLanguageChoice, ChoiceKeepsTheRestOfTheFile) {
    WriteFile("settings.ini", "; mine\r\n[settings]\r\nsound=0\r\nlanguage=\r\n[other]\r\nx=1\r\n");
    TfLanguage d;
    d.show();
    d.bGerman->click();
    EXPECT_EQ(Language(), "german");
    const std::string text = ReadFile("settings.ini");
    EXPECT_NE(text.find("; mine"), std::string::npos);
    EXPECT_NE(text.find("sound=0"), std::string::npos);
    EXPECT_NE(text.find("x=1"), std::string::npos);
}

TEST_F(TLanguageChoice, FirstStartAsksAndLaterStartsDoNot) {
    const QString name = QCoreApplication::applicationName();
    WhenOpen([](TfLanguage& d) {
        d.close();  // refused, stays open
        EXPECT_TRUE(d.isVisible());
        d.bEnglish->click();
    });
    EXPECT_TRUE(ChooseLanguageOnFirstStart());
    EXPECT_EQ(Language(), "english");
    EXPECT_EQ(QCoreApplication::applicationName(), "Tessum Freeware 1");
    QCoreApplication::setApplicationName(name);

    // Already chosen: nothing is shown (a dialog would block this call).
    EXPECT_FALSE(ChooseLanguageOnFirstStart());
    WriteFile("settings.ini", "[Settings]\r\nLanguage=GERMAN\r\n");
    EXPECT_FALSE(ChooseLanguageOnFirstStart());
}

TEST_F(TLanguageChoice, EmptyOrUnknownValueAsksAgain) {
    for (const char* content : {"[settings]\r\nlanguage=\r\n", "[settings]\r\nlanguage=klingon\r\n"}) {
        WriteFile("settings.ini", content);
        WhenOpen([](TfLanguage& d) { d.bGerman->click(); });
        EXPECT_TRUE(ChooseLanguageOnFirstStart()) << content;
        EXPECT_EQ(Language(), "german");
    }
}

TEST_F(TLanguageChoice, UnwritableSettingsShowTheErrorAndStillClose) {
    // A folder where the file should be: no write can succeed, not even as root.
    std::filesystem::create_directory(Path("settings.ini"));
    TMessageDialogAnswerer answers({}, mrOk);
    TfLanguage d;
    d.show();
    d.close();
    EXPECT_TRUE(d.isVisible());
    d.bGerman->click();
    EXPECT_FALSE(d.isVisible());
    EXPECT_EQ(d.Choice(), "german");
    ASSERT_EQ(answers.Shown().size(), 2u);
    EXPECT_TRUE(answers.Shown()[1].Text.contains("kann nicht geschrieben werden"))
        << answers.Shown()[1].Text.toStdString();
}

}  // namespace
}  // namespace tessum

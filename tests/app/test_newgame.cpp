// The new-game dialog against a settings file in a scratch folder; message
// dialogs are answered through the message-dialog seam.
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QAbstractItemView>
#include <QComboBox>
#include <QScrollBar>
#include <QKeyEvent>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include "GameTestFolder.h"
#include "i18n/MultiLanguage.h"
#include "i18n/TRadioGroup.h"
#include "i18n/lngDialogs.h"
#include "game/uTSettings.h"
#include "app/ufNewGame.h"

namespace tessum {
namespace {

class TNewGameTest : public test::TProgramFolderTest {
protected:
    std::string Setting(const char* Key) const {
        return GetProfileString(Path("settings.ini"), "newgame", Key, "<none>");
    }
    // A dialog filled from the current settings file, shown, in German.
    void Open(TfNewGame& D, const std::string& Language = "german") {
        D.SetLanguage(Language);
        D.LoadChoices();
        D.show();
    }
    // Sends each character as a key press carrying that text, the way a
    // keyboard layout with umlauts delivers it.
    static void Type(QWidget* W, const QString& Text) {
        for (QChar c : Text) {
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
            QApplication::sendEvent(W, &press);
        }
    }
    // Names long enough and mail addresses given, so OK passes without questions.
    static void FillValid(TfNewGame& D) {
        D.eSp1->setText("anna");
        D.eSp2->setText("bernd");
        D.eMail1->setText("a@example.org");
        D.eMail2->setText("b@example.org");
    }
};

TEST_F(TNewGameTest, EveryScriptTargetExistsInBothLanguages) {
    TfNewGame d;
    for (const char* language : {"german", "english"}) {
        d.SetLanguage(language);
        EXPECT_TRUE(d.lng->UnresolvedTargets().empty()) << language;
        EXPECT_EQ(d.rgModus->Count(), 3);
        EXPECT_EQ(d.cbLand1->count(), 114) << language;
        EXPECT_EQ(d.cbLand2->count(), 114);
    }
    EXPECT_EQ(d.windowTitle(), "TESSUM (R) Freeware No. 1 - new game");
    EXPECT_EQ(d.cbLand1->itemText(0), "not applicable");
    d.SetLanguage("german");
    EXPECT_EQ(d.cbLand1->itemText(0), "keine Angabe");
    EXPECT_EQ(d.rgDiff->Items().at(1), QString::fromUtf8("Mittelmäßig"));
    EXPECT_EQ(d.rgDiff->Items(), QStringList({QString::fromUtf8("Anfänger"), QString::fromUtf8("Mittelmäßig"),
                                              "Profi", "Meister"}));
    d.SetLanguage("english");
    EXPECT_EQ(d.rgDiff->Items(), QStringList({"Rookie", "Advanced", "Professional", "Master"}));
}

TEST_F(TNewGameTest, CountryKeysAreLowerCaseAndFollowTheSelection) {
    TfNewGame d;
    Open(d);
    ASSERT_EQ(d.LandKeys().size(), 114u);
    EXPECT_EQ(d.LandKeys().front(), "europa");
    EXPECT_EQ(d.LandKeys().back(), "zentralafrika");
    EXPECT_EQ(d.LandKey(1), "europa");
    const auto it = std::find(d.LandKeys().begin(), d.LandKeys().end(), "deutschland");
    ASSERT_NE(it, d.LandKeys().end());
    d.cbLand2->setCurrentIndex(static_cast<int>(it - d.LandKeys().begin()));
    EXPECT_EQ(d.LandKey(2), "deutschland");
    EXPECT_EQ(d.cbLand2->currentText(), "Deutschland");
    // Switching the language renames the countries but keeps the choice.
    d.SetLanguage("english");
    EXPECT_EQ(d.cbLand2->currentText(), "Germany");
    EXPECT_EQ(d.LandKey(2), "deutschland");
}

TEST_F(TNewGameTest, MissingSettingsGiveTheDefaults) {
    TfNewGame d;
    Open(d, "english");
    EXPECT_EQ(d.eSp1->text(), "Player1");
    EXPECT_EQ(d.eSp2->text(), "Player2");
    EXPECT_TRUE(d.eMail1->text().isEmpty());
    EXPECT_EQ(d.seStoneCount->value(), 4);
    EXPECT_TRUE(d.cbuseStrinmulde->isChecked());
    EXPECT_EQ(d.rgModus->ItemIndex(), 0);
    EXPECT_EQ(d.rgDiff->ItemIndex(), 0);
    EXPECT_EQ(d.rgVarianten->ItemIndex(), 0);
    EXPECT_EQ(d.cbLand1->currentIndex(), 0);

    TfNewGame g;
    Open(g, "german");
    EXPECT_EQ(g.eSp1->text(), "Spieler1");
}

TEST_F(TNewGameTest, GarbageSettingsAreBroughtIntoRange) {
    WriteFile("settings.ini",
              "[newgame]\r\ndifficulty=7\r\nmode=-1\r\nvariant=abc\r\nstones=99\r\nusehead=0\r\n"
              "land1=500\r\nland2=-3\r\nname1=zu lang fuer das feld\r\n");
    TfNewGame d;
    Open(d);
    EXPECT_EQ(d.rgDiff->ItemIndex(), 0);
    EXPECT_EQ(d.rgModus->ItemIndex(), 0);
    EXPECT_EQ(d.rgVarianten->ItemIndex(), 0);
    EXPECT_EQ(d.seStoneCount->value(), 8);
    // The first variant always plays with the end pits.
    EXPECT_TRUE(d.cbuseStrinmulde->isChecked());
    EXPECT_EQ(d.cbLand1->currentIndex(), 0);
    EXPECT_EQ(d.cbLand2->currentIndex(), 0);
    EXPECT_EQ(d.eSp1->text().size(), 10);

    WriteFile("settings.ini", "[newgame]\r\nstones=-5\r\nvariant=2\r\nusehead=0\r\n");
    TfNewGame e;
    Open(e);
    EXPECT_EQ(e.seStoneCount->value(), 3);
    EXPECT_FALSE(e.cbuseStrinmulde->isChecked());
    EXPECT_TRUE(e.cbuseStrinmulde->isEnabled());
}

TEST_F(TNewGameTest, ConfirmedChoicesRoundTrip) {
    TfNewGame d;
    Open(d);
    FillValid(d);
    d.rgVarianten->SetItemIndex(2);
    d.rgDiff->SetItemIndex(3);
    d.seStoneCount->setValue(7);
    d.cbuseStrinmulde->setChecked(false);
    d.cbLand1->setCurrentIndex(5);
    d.cbLand2->setCurrentIndex(113);
    d.eSp2->setText(QString::fromUtf8("jörg"));
    TMessageDialogAnswerer answers;
    d.bbOK->click();
    EXPECT_TRUE(answers.Shown().empty());
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(Setting("variant"), "2");
    EXPECT_EQ(Setting("stones"), "7");
    EXPECT_EQ(Setting("usehead"), "0");
    EXPECT_EQ(Setting("name2"), "j\xf6rg");  // stored in the 8-bit code page

    TfNewGame e;
    Open(e);
    EXPECT_EQ(e.Choices().Variant, 2);
    EXPECT_EQ(e.Choices().Difficulty, 3);
    EXPECT_EQ(e.seStoneCount->value(), 7);
    EXPECT_FALSE(e.cbuseStrinmulde->isChecked());
    EXPECT_EQ(e.eSp2->text(), QString::fromUtf8("jörg"));
    EXPECT_EQ(e.eMail1->text(), "a@example.org");
    EXPECT_EQ(e.cbLand1->currentIndex(), 5);
    EXPECT_EQ(e.LandKey(2), "zentralafrika");
}

TEST_F(TNewGameTest, VariantRuleSetsStoneMinimumAndEndPits) {
    WriteFile("settings.ini", "[newgame]\r\nvariant=1\r\nstones=7\r\nusehead=0\r\n");
    TfNewGame d;
    Open(d);
    // Opened on the second variant: its minimum, whatever was stored.
    EXPECT_EQ(d.seStoneCount->value(), 4);
    EXPECT_EQ(d.seStoneCount->minimum(), 4);
    EXPECT_TRUE(d.cbuseStrinmulde->isEnabled());
    EXPECT_FALSE(d.cbuseStrinmulde->isChecked());
    d.seStoneCount->setValue(3);
    EXPECT_EQ(d.seStoneCount->value(), 4);
    d.seStoneCount->setValue(6);

    d.rgVarianten->SetItemIndex(0);
    EXPECT_EQ(d.seStoneCount->value(), 3);
    EXPECT_TRUE(d.cbuseStrinmulde->isChecked());
    EXPECT_FALSE(d.cbuseStrinmulde->isEnabled());

    // Same minimum: the count the user chose stays.
    d.seStoneCount->setValue(6);
    d.rgVarianten->SetItemIndex(2);
    EXPECT_EQ(d.seStoneCount->value(), 6);
    EXPECT_TRUE(d.cbuseStrinmulde->isEnabled());
    d.rgVarianten->SetItemIndex(1);
    EXPECT_EQ(d.seStoneCount->value(), 4);
    d.seStoneCount->setValue(12);
    EXPECT_EQ(d.seStoneCount->value(), 8);
}

TEST_F(TNewGameTest, ModeRuleNamesTheComputerAndLocksItsFields) {
    TfNewGame d;
    Open(d);
    FillValid(d);
    d.rgModus->SetItemIndex(1);
    EXPECT_EQ(d.eSp1->text(), "Computer 1");
    EXPECT_EQ(d.eSp2->text(), "bernd");
    EXPECT_FALSE(d.eSp1->isEnabled());
    EXPECT_FALSE(d.eMail1->isEnabled());
    EXPECT_FALSE(d.cbLand1->isEnabled());
    EXPECT_TRUE(d.eSp2->isEnabled());
    EXPECT_TRUE(d.eMail2->isEnabled());

    d.rgModus->SetItemIndex(2);
    EXPECT_EQ(d.eSp2->text(), "Computer 2");
    EXPECT_FALSE(d.eSp2->isEnabled());
    EXPECT_FALSE(d.cbLand2->isEnabled());

    // A side that becomes a person loses the computer's name, so that no person
    // enters the highscore as "Computer 2"; a person's own name stays.
    d.rgModus->SetItemIndex(1);
    EXPECT_EQ(d.eSp1->text(), "Computer 1");
    EXPECT_EQ(d.eSp2->text(), "");
    d.eSp2->setText("bernd");
    d.rgModus->SetItemIndex(0);
    EXPECT_EQ(d.eSp1->text(), "");
    EXPECT_EQ(d.eSp2->text(), "bernd");
    EXPECT_TRUE(d.eSp1->isEnabled());
    EXPECT_TRUE(d.cbLand2->isEnabled());
    d.rgModus->SetItemIndex(2);
    d.rgModus->SetItemIndex(0);
    EXPECT_EQ(d.eSp1->text(), "");
    EXPECT_EQ(d.eSp2->text(), "");

    // A stored mode applies its rule on opening.
    WriteFile("settings.ini", "[newgame]\r\nmode=2\r\nname1=anna\r\nname2=bernd\r\n");
    TfNewGame e;
    Open(e);
    EXPECT_EQ(e.eSp1->text(), "Computer 1");
    EXPECT_EQ(e.eSp2->text(), "Computer 2");
    EXPECT_FALSE(e.eMail2->isEnabled());

    // Names stored by a computer game do not come back as a person's.
    WriteFile("settings.ini", "[newgame]\r\nmode=0\r\nname1=Computer 1\r\nname2=Computer 2\r\n");
    TfNewGame f;
    Open(f);
    EXPECT_EQ(f.eSp1->text(), "");
    EXPECT_EQ(f.eSp2->text(), "");
}

TEST_F(TNewGameTest, TabRunsAlongEachPlayersRow) {
    TfNewGame d;
    Open(d);
    QApplication::setActiveWindow(&d);
    d.eSp1->setFocus();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&d));
    const std::vector<QWidget*> Row = {d.eSp1, d.eMail1, d.cbLand1, d.eSp2, d.eMail2, d.cbLand2};
    for (std::size_t i = 0; i + 1 < Row.size(); ++i) {
        ASSERT_EQ(QApplication::focusWidget(), Row[i]) << i;
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    EXPECT_EQ(QApplication::focusWidget(), Row.back());
    // On from the last country to the mode, not back into the names.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_TRUE(d.rgModus->isAncestorOf(QApplication::focusWidget()));
}

TEST_F(TNewGameTest, CountryListShowsSixteenAndScrolls) {
    TfNewGame d;
    Open(d);
    for (QComboBox* cb : {d.cbLand1, d.cbLand2}) {
        cb->showPopup();
        QAbstractItemView* View = cb->view();
        ASSERT_TRUE(View->isVisible());
        const int Row = View->sizeHintForRow(0);
        ASSERT_GT(Row, 0);
        EXPECT_LE(View->viewport()->height(), 16 * Row + 2);
        EXPECT_GE(View->viewport()->height(), 15 * Row);
        EXPECT_TRUE(View->verticalScrollBar()->isVisible());
        cb->hidePopup();
    }
}

TEST_F(TNewGameTest, NameFieldsTakeOnlyLetters) {
    TfNewGame d;
    Open(d);
    d.eSp1->clear();
    d.eSp1->setFocus();
    Type(d.eSp1, "ab1 C-d.");
    EXPECT_EQ(d.eSp1->text(), "abCd");
    Type(d.eSp1, QString::fromUtf8("äÄöÖüÜß"));
    EXPECT_EQ(d.eSp1->text(), QString::fromUtf8("abCdäöüß"));
    // Ten characters at most; editing keys still work.
    Type(d.eSp1, "xyzxyz");
    EXPECT_EQ(d.eSp1->text().size(), 10);
    QTest::keyClick(d.eSp1, Qt::Key_Backspace);
    EXPECT_EQ(d.eSp1->text().size(), 9);

    d.eSp2->clear();
    QApplication::clipboard()->setText(QStringLiteral("Max 2. Mustermann"));
    QTest::keySequence(d.eSp2, QKeySequence::Paste);
    if (QApplication::clipboard()->text() == "Max 2. Mustermann") {
        EXPECT_EQ(d.eSp2->text(), "MaxMusterm");
    }

    for (char16_t c : {u'a', u'z', u'A', u'Z', u'\u00e4', u'\u00df', char16_t(8)})
        EXPECT_TRUE(NameKeyAccepted(QChar(c))) << int(c);
    for (char16_t c : {u'0', u' ', u'_', u'@', u'\u00c4', u'\u00d6', u'\u00dc', u'\u00e9', char16_t(13)})
        EXPECT_FALSE(NameKeyAccepted(QChar(c))) << int(c);
}

TEST_F(TNewGameTest, ShortNamesAreRefusedAndKeepTheWindowOpen) {
    TfNewGame d;
    Open(d);
    FillValid(d);
    d.eSp2->setText("ab");
    TMessageDialogAnswerer answers;
    d.bbOK->click();
    ASSERT_EQ(answers.Shown().size(), 1u);
    EXPECT_EQ(answers.Shown()[0].Text,
              QString::fromUtf8("Die Namen der Spieler müssen mindestens 3 Zeichen lang sein."));
    EXPECT_TRUE(d.isVisible());
    EXPECT_FALSE(Exists("settings.ini"));

    // Exactly three characters pass.
    d.eSp2->setText("abc");
    d.bbOK->click();
    EXPECT_EQ(answers.Shown().size(), 1u);
    EXPECT_FALSE(d.isVisible());
    EXPECT_EQ(Setting("name2"), "abc");
}

TEST_F(TNewGameTest, MissingMailIsAskedForOnlyForPeople) {
    {   // Mode 0: either address missing asks; No keeps the window open.
        TfNewGame d;
        Open(d, "english");
        FillValid(d);
        d.eMail1->clear();
        TMessageDialogAnswerer answers({mrNo});
        d.bbOK->click();
        ASSERT_EQ(answers.Shown().size(), 1u);
        EXPECT_TRUE(answers.Shown()[0].Text.startsWith("Do you really want to play without"));
        EXPECT_TRUE(d.isVisible());
        EXPECT_FALSE(Exists("settings.ini"));
        answers.Push(mrYes);
        d.bbOK->click();
        EXPECT_EQ(answers.Shown().size(), 2u);
        EXPECT_FALSE(d.isVisible());
        EXPECT_EQ(Setting("mail1"), "");
        EXPECT_EQ(Setting("mail2"), "b@example.org");
    }
    {   // Mode 1: player 1 is the computer, only player 2's address counts.
        TfNewGame d;
        Open(d);
        FillValid(d);
        d.rgModus->SetItemIndex(1);
        d.eMail1->clear();
        TMessageDialogAnswerer answers({mrNo});
        d.bbOK->click();
        EXPECT_TRUE(answers.Shown().empty());
        EXPECT_FALSE(d.isVisible());
        EXPECT_EQ(Setting("name1"), "Computer 1");

        TfNewGame e;
        Open(e);
        e.rgModus->SetItemIndex(1);
        e.eMail2->clear();
        e.bbOK->click();
        EXPECT_EQ(answers.Shown().size(), 1u);
        EXPECT_TRUE(e.isVisible());
    }
    {   // Mode 2: nobody needs an address.
        TfNewGame d;
        Open(d);
        d.rgModus->SetItemIndex(2);
        d.eMail1->clear();
        d.eMail2->clear();
        TMessageDialogAnswerer answers({mrNo});
        d.bbOK->click();
        EXPECT_TRUE(answers.Shown().empty());
        EXPECT_FALSE(d.isVisible());
        EXPECT_EQ(Setting("mode"), "2");
    }
}

TEST_F(TNewGameTest, ExecuteReportsHowTheWindowWasClosed) {
    WriteFile("settings.ini", "[newgame]\r\nname1=x\r\n");
    TMessageDialogAnswerer answers;
    TfNewGame d;
    d.SetLanguage("german");
    // Cancel with an invalid name: nothing is checked, nothing written.
    QTimer::singleShot(0, &d, [&d] { d.bbCancel->click(); });
    EXPECT_FALSE(d.Execute());
    EXPECT_TRUE(answers.Shown().empty());
    EXPECT_EQ(Setting("name1"), "x");
    EXPECT_EQ(Setting("stones"), "<none>");

    QTimer::singleShot(0, &d, [&d] {
        FillValid(d);
        d.bbOK->click();
    });
    EXPECT_TRUE(d.Execute());
    EXPECT_EQ(d.Choices().Name1, "anna");
    EXPECT_EQ(Setting("name1"), "anna");
    EXPECT_EQ(Setting("stones"), "4");

    // The close box is a cancel too.
    QTimer::singleShot(0, &d, [&d] { d.close(); });
    EXPECT_FALSE(d.Execute());
}

}  // namespace
}  // namespace tessum

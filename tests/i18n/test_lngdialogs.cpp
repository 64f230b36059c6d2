// The translated message dialog, answered through its automation seam.
#include <QApplication>
#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <gtest/gtest.h>

#include "i18n/Ansi.h"
#include "i18n/GVDialogs.h"
#include "i18n/lngDialogs.h"

namespace tessum {
namespace {

class TMessageDialogs : public ::testing::Test {
protected:
    void SetUp() override {
        SetDialogLanguage("");
        ResetDialogScript();
        SetMessageDialogHelp({});
    }
    void TearDown() override {
        SetMessageDialogObserver({});
        SetDialogLanguage("");
        ResetDialogScript();
    }

    // Shows a dialog and lets Act handle it once it is open.
    int ShowWith(const std::function<void(QDialog&)>& Act, const QString& Text, TMsgDlgType Kind,
                 TMsgDlgButtons Buttons) {
        SetMessageDialogObserver(Act);
        const int r = LngMessageDlg(Text, Kind, Buttons);
        SetMessageDialogObserver({});
        return r;
    }

    static void PressEscape(QDialog& D) { QTest::keyClick(&D, Qt::Key_Escape); }
};

TEST_F(TMessageDialogs, StandardBoxUntilALanguageIsSet) {
    TMessageDialogAnswerer answers({mrNo, mrYes});
    EXPECT_EQ(LngMessageDlg("Wirklich?", mtConfirmation, {mbYes, mbNo}), mrNo);
    ASSERT_EQ(answers.Shown().size(), 1u);
    EXPECT_TRUE(answers.Shown()[0].Standard);
    EXPECT_EQ(answers.Shown()[0].Text, "Wirklich?");

    SetDialogLanguage("german");
    EXPECT_EQ(LngMessageDlg("Wirklich?", mtConfirmation, {mbYes, mbNo}), mrYes);
    ASSERT_EQ(answers.Shown().size(), 2u);
    EXPECT_FALSE(answers.Shown()[1].Standard);
}

TEST_F(TMessageDialogs, CaptionsAndButtonsFollowTheLanguage) {
    TMessageDialogAnswerer answers({mrYes, mrNo}, mrOk);
    SetDialogLanguage("german");
    EXPECT_EQ(LngMessageDlg("Frage", mtConfirmation, {mbYes, mbNo}), mrYes);
    SetDialogLanguage("english");
    EXPECT_EQ(LngMessageDlg("Question", mtConfirmation, {mbNo, mbYes}), mrNo);
    SetDialogLanguage("German");  // section names match in any case
    LngMessageDlg("Achtung", mtWarning, {mbOK});
    SetDialogLanguage("english");
    LngMessageDlg("Error", mtError, {mbOK});
    LngMessageDlg("Info", mtInformation, {mbOK});
    const auto& s = answers.Shown();
    ASSERT_EQ(s.size(), 5u);
    EXPECT_EQ(s[0].Caption, QString::fromUtf8("Bestätigen"));
    EXPECT_EQ(s[0].Buttons, QStringList({"Ja", "Nein"}));
    EXPECT_EQ(s[1].Caption, "Confirmation");
    EXPECT_EQ(s[1].Buttons, QStringList({"Yes", "No"}));  // table order, not call order
    EXPECT_EQ(s[2].Caption, "Warnung");
    EXPECT_EQ(s[3].Caption, "Error");
    EXPECT_EQ(s[4].Caption, "Information");
}

TEST_F(TMessageDialogs, QtsOwnTextsSwitchWithTheLanguage) {
    // A standard button made before the switch follows it, as the file and
    // print dialogs do; socket errors come from the same catalogues.
    QDialogButtonBox Box(QDialogButtonBox::Cancel);
    const QString FileNotFound = "%1\nFile not found.\nPlease verify the correct file name was given.";
    SetDialogLanguage("german");
    QApplication::processEvents();
    EXPECT_EQ(Box.button(QDialogButtonBox::Cancel)->text(), "Abbrechen");
    EXPECT_TRUE(QCoreApplication::translate("QFileDialog", qPrintable(FileNotFound)).contains("nicht gefunden"));
    EXPECT_EQ(QCoreApplication::translate("QAbstractSocket", "Connection refused"), "Verbindung verweigert");
    EXPECT_EQ(QLocale().language(), QLocale::German);
    SetDialogLanguage("english");
    QApplication::processEvents();
    EXPECT_EQ(Box.button(QDialogButtonBox::Cancel)->text(), "Cancel");
    EXPECT_EQ(QCoreApplication::translate("QFileDialog", qPrintable(FileNotFound)), FileNotFound);
    SetDialogLanguage("german");
    SetDialogLanguage("german");
    QApplication::processEvents();
    EXPECT_EQ(Box.button(QDialogButtonBox::Cancel)->text(), "Abbrechen");
    SetDialogLanguage("");
    QApplication::processEvents();
    EXPECT_EQ(Box.button(QDialogButtonBox::Cancel)->text(), "Cancel");
    EXPECT_EQ(QLocale().language(), QLocale::system().language());
}

TEST_F(TMessageDialogs, EveryButtonInOrderWithItsResult) {
    SetDialogLanguage("german");
    const TMsgDlgButtons all = {mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore,
                                mbAll, mbNoToAll, mbYesToAll, mbHelp};
    QStringList texts;
    std::vector<int> results;
    ShowWith(
        [&](QDialog& d) {
            for (QPushButton* b : static_cast<TGVMessageDialog&>(d).Buttons()) {
                texts.append(b->text());
                results.push_back(b->property("ModalResult").toInt());
            }
            d.reject();
        },
        "alles", mtCustom, all);
    EXPECT_EQ(texts, QStringList({"Ja", "Nein", "OK", "Abbrechen", "Abbrechen", "Wiederholen",
                                  "Ignorieren", "Alle", "Alle Nein", "Alle Ja", "Hilfe"}));
    EXPECT_EQ(results, (std::vector<int>{6, 7, 1, 2, 3, 4, 5, 8, 9, 10, 0}));

    for (TMsgDlgBtn b : {mbAbort, mbRetry, mbIgnore, mbAll, mbNoToAll, mbYesToAll}) {
        const int want = ModalResultOf(b);
        EXPECT_EQ(ShowWith([&](QDialog& d) { PressMessageDialogButton(d, want); }, "x",
                           mtWarning, {mbOK, b}),
                  want);
    }
}

TEST_F(TMessageDialogs, EscapeAndCloseBox) {
    SetDialogLanguage("english");
    EXPECT_EQ(ShowWith(PressEscape, "q", mtConfirmation, {mbYes, mbNo}), mrNo);
    EXPECT_EQ(ShowWith(PressEscape, "q", mtConfirmation, {mbYes, mbNo, mbCancel}), mrCancel);
    EXPECT_EQ(ShowWith(PressEscape, "q", mtInformation, {mbOK}), mrOk);
    EXPECT_EQ(ShowWith(PressEscape, "q", mtInformation, {mbOK, mbCancel}), mrCancel);

    // Nothing to back out through: Escape leaves the dialog open.
    bool openAfterEscape = false;
    EXPECT_EQ(ShowWith(
                  [&](QDialog& d) {
                      PressEscape(d);
                      openAfterEscape = d.isVisible();
                      d.close();
                  },
                  "q", mtWarning, {mbYes, mbAbort}),
              mrCancel);
    EXPECT_TRUE(openAfterEscape);

    // The close box answers Cancel even where Cancel is not offered.
    EXPECT_EQ(ShowWith([](QDialog& d) { d.close(); }, "q", mtConfirmation, {mbYes, mbNo}), mrCancel);
}

TEST_F(TMessageDialogs, DefaultButtonAnswersEnter) {
    SetDialogLanguage("english");
    struct Case {
        TMsgDlgButtons Buttons;
        int Default;
    };
    for (const Case& c : {Case{{mbYes, mbNo, mbOK}, mrOk}, Case{{mbYes, mbNo}, mrYes},
                          Case{{mbRetry, mbCancel}, mrRetry}, Case{{mbNo, mbCancel}, mrNone}}) {
        int shownDefault = -1;
        const int r = ShowWith(
            [&](QDialog& d) {
                auto& m = static_cast<TGVMessageDialog&>(d);
                shownDefault = m.DefaultButton() ? m.DefaultButton()->property("ModalResult").toInt() : mrNone;
                if (m.DefaultButton())
                    QTest::keyClick(&d, Qt::Key_Return);
                else
                    d.reject();
            },
            "q", mtConfirmation, c.Buttons);
        EXPECT_EQ(shownDefault, c.Default);
        if (c.Default != mrNone) {
            EXPECT_EQ(r, c.Default);
        }
    }
}

TEST_F(TMessageDialogs, LayoutOfTheDialog) {
    SetDialogLanguage("german");
    const QString longText = QString("Dies ist eine sehr lange Nachricht ").repeated(40);
    ShowWith(
        [&](QDialog& d) {
            auto& m = static_cast<TGVMessageDialog&>(d);
            const auto& buttons = m.Buttons();
            ASSERT_EQ(buttons.size(), 3u);
            const QFontMetrics fm(d.font());
            const int width = buttons[0]->width();
            for (QPushButton* b : buttons) {
                EXPECT_EQ(b->width(), width);
                EXPECT_EQ(b->y(), buttons[0]->y());
                EXPECT_GE(b->width(), fm.horizontalAdvance(b->text()) + 8);
            }
            EXPECT_LT(buttons[0]->x(), buttons[1]->x());
            EXPECT_LT(buttons[1]->x(), buttons[2]->x());
            // The row is centred.
            const int leftGap = buttons.front()->x();
            const int rightGap = d.width() - (buttons.back()->x() + buttons.back()->width());
            EXPECT_LE(std::abs(leftGap - rightGap), 1);

            auto* image = d.findChild<QLabel*>("Image");
            ASSERT_NE(image, nullptr);
            EXPECT_EQ(image->size(), QSize(32, 32));
            auto* message = d.findChild<QWidget*>("Message");
            ASSERT_NE(message, nullptr);
            EXPECT_GT(message->x(), image->x() + image->width());
            const int screenWidth = QGuiApplication::primaryScreen()->geometry().width();
            EXPECT_LE(message->width(), screenWidth / 2);
            EXPECT_GT(message->height(), 3 * fm.height());  // wrapped onto several lines
            EXPECT_GT(buttons[0]->y(), message->y() + message->height());
            EXPECT_LE(buttons[0]->y() + buttons[0]->height(), d.height());

            // Centred on the screen.
            const QRect screen = QGuiApplication::primaryScreen()->geometry();
            EXPECT_LE(std::abs(d.x() + d.width() / 2 - screen.center().x()), 2);
            EXPECT_LE(std::abs(d.y() + d.height() / 2 - screen.center().y()), 2);
            d.reject();
        },
        longText, mtWarning, {mbYes, mbNo, mbCancel});

    // A short text still leaves room for the icon's height.
    ShowWith(
        [&](QDialog& d) {
            auto* message = d.findChild<QWidget*>("Message");
            auto* ok = static_cast<TGVMessageDialog&>(d).Buttons().front();
            EXPECT_GE(ok->y(), message->y() + 32);
            d.reject();
        },
        "kurz", mtInformation, {mbOK});
}

TEST_F(TMessageDialogs, CustomMessageHasApplicationTitleAndNoIcon) {
    const QString before = QGuiApplication::applicationDisplayName();
    QGuiApplication::setApplicationDisplayName("Tessum Freeware 1");
    SetDialogLanguage("english");
    bool hasIcon = true;
    QString caption;
    ShowWith(
        [&](QDialog& d) {
            hasIcon = d.findChild<QLabel*>("Image") != nullptr;
            caption = d.windowTitle();
            d.reject();
        },
        "custom", mtCustom, {mbOK});
    EXPECT_FALSE(hasIcon);
    EXPECT_EQ(caption, "Tessum Freeware 1");
    QGuiApplication::setApplicationDisplayName(before);
}

TEST_F(TMessageDialogs, LanguageWithoutSectionFallsBack) {
    TMessageDialogAnswerer answers({}, mrOk);
    SetDialogLanguage("klingon");
    LngMessageDlg("a", mtWarning, {mbOK});
    LngMessageDlg("b", mtWarning, {mbOK});
    SetDialogLanguage("english");
    LngMessageDlg("c", mtWarning, {mbOK});

    SetDialogScript({"[german]", "mbOK=Gut"});
    LngMessageDlg("d", mtWarning, {mbOK});  // english is gone from this script
    SetDialogLanguage("german");
    LngMessageDlg("e", mtWarning, {mbOK, mbCancel});
    SetDialogScript({});
    LngMessageDlg("f", mtWarning, {mbOK});

    const auto& s = answers.Shown();
    ASSERT_EQ(s.size(), 6u);
    EXPECT_TRUE(s[0].Standard);
    EXPECT_TRUE(s[1].Standard);
    EXPECT_FALSE(s[2].Standard);
    EXPECT_TRUE(s[3].Standard);
    EXPECT_FALSE(s[4].Standard);
    // A key missing from the section gives an empty caption, not a fallback.
    EXPECT_EQ(s[4].Buttons, QStringList({"Gut", ""}));
    EXPECT_EQ(s[4].Caption, "");
    EXPECT_TRUE(s[5].Standard);
}

TEST_F(TMessageDialogs, StandardBoxKeepsResultsAndEscape) {
    EXPECT_EQ(ShowWith(PressEscape, "q", mtConfirmation, {mbYes, mbNo}), mrNo);
    EXPECT_EQ(ShowWith(PressEscape, "q", mtConfirmation, {mbOK, mbCancel}), mrCancel);
    EXPECT_EQ(ShowWith([](QDialog& d) { PressMessageDialogButton(d, mrAll); }, "q", mtCustom,
                       {mbAll, mbCancel}),
              mrAll);
    EXPECT_EQ(ShowWith([](QDialog& d) { PressMessageDialogButton(d, mrRetry); }, "q", mtError,
                       {mbAbort, mbRetry, mbIgnore}),
              mrRetry);
}

TEST_F(TMessageDialogs, HelpKeepsTheDialogOpen) {
    for (const char* lang : {"english", ""}) {
        SetDialogLanguage(lang);
        int helped = 0;
        SetMessageDialogHelp([&] { ++helped; });
        int views = 0;
        bool openAfterHelp = false;
        const int r = ShowWith(
            [&](QDialog& d) {
                // The standard box closes on Help and is shown again.
                if (++views == 1) {
                    PressMessageDialogButton(d, mrNone);
                    if (IsStandardMessageBox(d)) return;
                    openAfterHelp = d.isVisible();
                }
                PressMessageDialogButton(d, mrOk);
            },
            "help", mtInformation, {mbOK, mbHelp});
        EXPECT_EQ(r, mrOk) << lang;
        EXPECT_EQ(helped, 1) << lang;
        if (*lang) {
            EXPECT_TRUE(openAfterHelp);
        }
        EXPECT_EQ(views, *lang ? 1 : 2) << lang;
    }
}

TEST_F(TMessageDialogs, TextsFromScriptsKeepTheirLineBreaks) {
    SetDialogLanguage("english");
    TMessageDialogAnswerer answers;
    LngMessageDlg(std::string("Player \xC4rger has won.\r\n\r\nNext"), mtInformation, {mbOK});
    ASSERT_EQ(answers.Shown().size(), 1u);
    EXPECT_EQ(answers.Shown()[0].Text, QString::fromUtf8("Player Ärger has won.\n\nNext"));
}

TEST_F(TMessageDialogs, AnswererFallsBackToDefaultAndCloseBox) {
    SetDialogLanguage("english");
    TMessageDialogAnswerer answers({mrYes}, mrIgnore);
    EXPECT_EQ(LngMessageDlg("1", mtConfirmation, {mbYes, mbNo}), mrYes);
    EXPECT_EQ(LngMessageDlg("2", mtConfirmation, {mbYes, mbNo}), mrCancel);
    EXPECT_EQ(LngMessageDlg("3", mtConfirmation, {mbAbort, mbIgnore}), mrIgnore);
    ASSERT_EQ(answers.Shown().size(), 3u);
    EXPECT_EQ(answers.Shown()[1].Result, mrCancel);
    {
        // A nested answerer takes over and hands back on destruction.
        TMessageDialogAnswerer inner({}, mrNo);
        EXPECT_EQ(LngMessageDlg("4", mtConfirmation, {mbYes, mbNo}), mrNo);
    }
    EXPECT_EQ(LngMessageDlg("5", mtConfirmation, {mbIgnore}), mrIgnore);
    EXPECT_EQ(answers.Shown().size(), 4u);
}

}  // namespace
}  // namespace tessum

// The translation component on a real (offscreen) window with real controls.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStringListModel>
#include <QWidget>
#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <memory>

#include "i18n/Ansi.h"
#include "i18n/ComponentProps.h"
#include "i18n/MultiLanguage.h"
#include "i18n/TRadioGroup.h"

namespace tessum {

class TInnerObject : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString Text MEMBER Text)
    Q_PROPERTY(int Number MEMBER Number)

public:
    using QObject::QObject;
    QString Text;
    int Number = 0;
};

// A non-visual component with an object-valued property, like a component
// whose settings live in a sub-object.
class THolder : public QObject {
    Q_OBJECT
    Q_PROPERTY(QObject* Inner READ Inner)
    Q_PROPERTY(QObject* Lines READ Lines)

public:
    explicit THolder(QObject* Parent) : QObject(Parent), Inner_(new TInnerObject(this)), Lines_(new QStringListModel(this)) {}
    QObject* Inner() const { return Inner_; }
    QObject* Lines() const { return Lines_; }
    TInnerObject* Inner_;
    QStringListModel* Lines_;
};

namespace {

std::vector<std::string> Script(std::initializer_list<const char*> Lines) {
    return std::vector<std::string>(Lines.begin(), Lines.end());
}

class TTranslatedWindow : public ::testing::Test {
protected:
    void SetUp() override {
        Window = std::make_unique<QWidget>();
        Window->setObjectName("fTest");
        Window->setWindowTitle("untranslated");
        auto* panel = new QWidget(Window.get());
        panel->setObjectName("pnlTop");
        LHead = new QLabel("head", panel);
        LHead->setObjectName("lDescHead");
        LDesc = new QLabel("desc", Window.get());
        LDesc->setObjectName("lDesc");
        BbOK = new QPushButton("ok", Window.get());
        BbOK->setObjectName("bbOK");
        Check = new QCheckBox("check", Window.get());
        Check->setObjectName("cbuseStrinmulde");
        Radio = new TRadioGroup(Window.get());
        Radio->setObjectName("rgModus");
        Radio->SetItems({"a", "b", "c"});
        Radio->SetItemIndex(1);
        Spin = new QSpinBox(Window.get());
        Spin->setObjectName("seStoneCount");
        Spin->setRange(-1000, 1000);
        Combo = new QComboBox(Window.get());
        Combo->setObjectName("cbLand1");
        Menu = new QMenu(Window.get());
        Menu->setObjectName("miGame");
        German = new QAction("de", Window.get());
        German->setObjectName("miGerman");
        Menu->addAction(German);
        Open = new QFileDialog(Window.get());
        Open->setObjectName("odLoadGame");
        Holder = new THolder(Window.get());
        Holder->setObjectName("id");
        Lng = new TMultiLanguage(Window.get());
    }

    std::unique_ptr<QWidget> Window;
    QLabel* LHead{};
    QLabel* LDesc{};
    QPushButton* BbOK{};
    QCheckBox* Check{};
    TRadioGroup* Radio{};
    QSpinBox* Spin{};
    QComboBox* Combo{};
    QMenu* Menu{};
    QAction* German{};
    QFileDialog* Open{};
    THolder* Holder{};
    TMultiLanguage* Lng{};
};

TEST_F(TTranslatedWindow, SectionsMatchAnyCaseButKeysAreExact) {
    Lng->SetScript(Script({"[German]", "Caption=Fenster", "msgquit=Beenden?", "[english]",
                           "Caption=Window", "msgquit=Quit?"}));
    for (const char* lang : {"german", "GERMAN", "German"}) {
        Window->setWindowTitle("x");
        Lng->SetLanguage(lang);
        EXPECT_EQ(Window->windowTitle(), "Fenster") << lang;
        EXPECT_EQ(Lng->GetText("msgquit"), "Beenden?") << lang;
    }
    EXPECT_EQ(Lng->GetText("MsgQuit"), "");
    EXPECT_EQ(Lng->GetText("msgquit "), "");
    Lng->SetLanguage("english");
    EXPECT_EQ(Window->windowTitle(), "Window");
    EXPECT_EQ(Lng->GetText("msgquit"), "Quit?");
}

TEST_F(TTranslatedWindow, ControlAndPropertyNamesIgnoreCase) {
    Lng->SetScript(Script({"[german]", "migerman.caption=Deutsch", "BBOK.CAPTION=Los",
                           "lDeschead.Caption=Kopf", "RGMODUS.items=x\\ny"}));
    Lng->SetLanguage("german");
    EXPECT_EQ(German->text(), "Deutsch");
    EXPECT_EQ(BbOK->text(), "Los");
    // Found although it sits inside a panel, not directly on the window.
    EXPECT_EQ(LHead->text(), "Kopf");
    EXPECT_EQ(Radio->Items(), QStringList({"x", "y"}));
}

TEST_F(TTranslatedWindow, ValueRules) {
    Lng->SetScript(Script({
        "[german]",
        "lDesc.Caption=eins\\nzwei\\ndrei",
        "one=''",
        "two=''",
        "single='",
        "inner=could't",
        "quoted=' Modus '",
        "unquoted=   Modus   ",
        "; commented=yes",
        "  ;indented=comment  ",
        "dup=first",
        "dup=second",
        "bbOK.Caption=early",
        "bbOK.Caption=late",
        "novalue",
        "spaced  =  value with = sign  ",
        "\t tabbed=\t x \t",
    }));
    Lng->SetLanguage("german");
    EXPECT_EQ(LDesc->text(), "eins\r\nzwei\r\ndrei");
    EXPECT_EQ(LDesc->text().split("\r\n").size(), 3);
    EXPECT_EQ(Lng->GetText("two"), "");
    EXPECT_EQ(Lng->GetText("single"), "'");
    EXPECT_EQ(Lng->GetText("inner"), "could't");
    EXPECT_EQ(Lng->GetText("quoted"), " Modus ");
    EXPECT_EQ(Lng->GetText("unquoted"), "Modus");
    EXPECT_EQ(Lng->GetText("commented"), "");
    EXPECT_EQ(Lng->GetText("; commented"), "");
    EXPECT_EQ(Lng->GetText(";indented"), "");
    EXPECT_EQ(Lng->GetText("dup"), "first");
    EXPECT_EQ(BbOK->text(), "late");
    EXPECT_EQ(Lng->GetText("novalue"), "");
    EXPECT_EQ(Lng->GetText("spaced"), "value with = sign");
    EXPECT_EQ(Lng->GetText("tabbed"), "x");
}

TEST_F(TTranslatedWindow, SectionHeaderEdgeCases) {
    Lng->SetScript(Script({
        "before=preamble",
        "[german",          // no "]": the empty name
        "broken=in empty section",
        "[ german ]",       // blanks belong to the name
        "blanks=yes",
        "[german]x",        // text after "]" is ignored
        "real=yes",
    }));
    Lng->SetLanguage("german");
    EXPECT_EQ(Lng->GetText("real"), "yes");
    EXPECT_EQ(Lng->GetText("blanks"), "");
    EXPECT_EQ(Lng->GetText("before"), "");
    Lng->SetLanguage("");
    EXPECT_EQ(Lng->GetText("before"), "preamble");
    EXPECT_EQ(Lng->GetText("broken"), "in empty section");
}

TEST_F(TTranslatedWindow, MissingLanguageOrScriptChangesNothing) {
    Lng->SetScript(Script({"[german]", "Caption=Fenster", "bbOK.Caption=Los", "msg=x"}));
    Lng->SetLanguage("german");
    Lng->SetLanguage("french");
    EXPECT_EQ(Window->windowTitle(), "Fenster");
    EXPECT_EQ(BbOK->text(), "Los");
    EXPECT_EQ(Lng->GetText("msg"), "");
    EXPECT_TRUE(Lng->ActiveLines().empty());

    Lng->SetScript({});
    Lng->SetLanguage("german");
    EXPECT_EQ(Window->windowTitle(), "Fenster");
    EXPECT_EQ(Lng->GetText("msg"), "");
}

TEST_F(TTranslatedWindow, UnknownTargetsAreSkippedAndReported) {
    Lng->SetScript(Script({"[german]", "bbNope.Caption=x", "bbOK.Nope=y", "bbOK.Caption=Los",
                           "lDesc.Caption.More=z", "msgquit=ok", "Nope=window property"}));
    Lng->SetLanguage("german");
    EXPECT_EQ(BbOK->text(), "Los");
    EXPECT_EQ(LDesc->text(), "desc");
    const auto missing = Lng->UnresolvedTargets();
    EXPECT_EQ(missing, (std::vector<std::string>{"bbNope.Caption", "bbOK.Nope", "lDesc.Caption.More"}));
}

TEST_F(TTranslatedWindow, CaptionReachesEachKindOfControl) {
    Lng->SetScript(Script({"[german]", "Caption=Titel", "lDesc.Caption=Text", "bbOK.Caption=Knopf",
                           "cbuseStrinmulde.Caption=Kasten", "rgModus.Caption=' Modus '",
                           "miGame.Caption=Spiel", "miGerman.Caption=Deutsch",
                           "odLoadGame.Title=Spiel laden", "rgModus.Title=Gruppe"}));
    Lng->SetLanguage("german");
    EXPECT_EQ(Window->windowTitle(), "Titel");
    EXPECT_EQ(LDesc->text(), "Text");
    EXPECT_EQ(BbOK->text(), "Knopf");
    EXPECT_EQ(Check->text(), "Kasten");
    EXPECT_EQ(Menu->title(), "Spiel");
    EXPECT_EQ(German->text(), "Deutsch");
    EXPECT_EQ(Open->windowTitle(), "Spiel laden");
    EXPECT_EQ(Radio->title(), "Gruppe");
}

TEST_F(TTranslatedWindow, TextsAreWindows1252) {
    Lng->SetScript(Script({"[german]", "bbOK.Caption=\xDC" "ber"}));
    Lng->SetLanguage("german");
    EXPECT_EQ(BbOK->text(), QString::fromUtf8("Über"));
    // GetText hands the bytes back untouched.
    EXPECT_EQ(Lng->GetText("bbOK.Caption"), "\xDC" "ber");
}

TEST_F(TTranslatedWindow, ItemListsKeepTheSelectionAcrossLanguages) {
    Lng->SetScript(Script({"[german]", "rgModus.Items=Mensch - Mensch\\nComputer - Mensch\\nComputer - Computer",
                           "cbLand1.Items=keine Angabe\\n\xC4gypten", "[english]",
                           "rgModus.Items=Human - Human\\nComputer - Human\\nComputer - Computer",
                           "cbLand1.Items=not applicable\\nEgypt"}));
    Lng->SetLanguage("german");
    Radio->SetItemIndex(2);
    Combo->setCurrentIndex(1);
    Lng->SetLanguage("english");
    EXPECT_EQ(Radio->Items(), QStringList({"Human - Human", "Computer - Human", "Computer - Computer"}));
    EXPECT_EQ(Radio->ItemIndex(), 2);
    EXPECT_TRUE(Radio->Button(2)->isChecked());
    EXPECT_EQ(Radio->Button(0)->text(), "Human - Human");
    EXPECT_EQ(Combo->currentText(), "Egypt");
}

TEST_F(TTranslatedWindow, IntegerPropertiesConvertOrStay) {
    Lng->SetScript(Script({"[german]", "seStoneCount.value=$10"}));
    Lng->SetLanguage("german");
    EXPECT_EQ(Spin->value(), 16);
    struct Case {
        const char* Value;
        int Expected;
    };
    for (const Case& c : {Case{"42", 42}, Case{"-7", -7}, Case{"#1F", 31}, Case{"clRed", 255},
                          Case{"crHandPoint", -21}, Case{"ANSI_CHARSET", 0}, Case{"garbage", 0},
                          Case{"99999999999", 0}, Case{"", 0}, Case{"12abc", 0}}) {
        Spin->setValue(0);
        Lng->SetScript({"[german]", std::string("seStoneCount.Value=") + c.Value});
        Lng->SetLanguage("german");
        EXPECT_EQ(Spin->value(), std::clamp(c.Expected, -1000, 1000)) << c.Value;
    }
}

TEST_F(TTranslatedWindow, CursorColourEnumerationAndBoolean) {
    Lng->SetScript(Script({"[german]", "bbOK.Cursor=crHandPoint", "lDesc.Color=clWhite",
                           "lDesc.alignment=AlignRight", "bbOK.enabled=False", "cbuseStrinmulde.Enabled=maybe",
                           "cbuseStrinmulde.checked=TRUE", "rgModus.Cursor=notacursor"}));
    Lng->SetLanguage("german");
    EXPECT_EQ(BbOK->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_TRUE(LDesc->autoFillBackground());
    EXPECT_EQ(LDesc->palette().color(QPalette::Window), QColor(Qt::white));
    EXPECT_TRUE(LDesc->alignment() & Qt::AlignRight);
    EXPECT_FALSE(BbOK->isEnabled());
    EXPECT_TRUE(Check->isChecked());
    EXPECT_TRUE(Check->isEnabled());
    EXPECT_FALSE(Radio->testAttribute(Qt::WA_SetCursor));
}

TEST_F(TTranslatedWindow, PathsThroughObjectProperties) {
    Lng->SetScript(Script({"[german]", "id.Inner.Text=innen", "ID.inner.number=#FF",
                           "id.Lines=a\\nb\\nc", "id.Inner.Missing=x"}));
    Lng->SetLanguage("german");
    EXPECT_EQ(Holder->Inner_->Text, "innen");
    EXPECT_EQ(Holder->Inner_->Number, 255);
    EXPECT_EQ(Holder->Lines_->stringList(), QStringList({"a", "b", "c"}));
    EXPECT_EQ(Lng->UnresolvedTargets(), std::vector<std::string>{"id.Inner.Missing"});
}

TEST_F(TTranslatedWindow, RichTextLabelTakesHtmlLines) {
    Lng->SetScript(Script({"[english]", "lDesc.HTMLText=<b>TESSUM</b>\\n<i>about</i>"}));
    Lng->SetLanguage("english");
    EXPECT_EQ(LDesc->textFormat(), Qt::RichText);
    EXPECT_EQ(LDesc->text(), "<b>TESSUM</b>\n<i>about</i>");
}

TEST_F(TTranslatedWindow, NotificationsAndPasses) {
    int translated = 0;
    std::string seen;
    Lng->OnTranslate = [&](QObject* Sender) {
        ++translated;
        seen = static_cast<TMultiLanguage*>(Sender)->Language();
    };
    Lng->SetScript(Script({"[german]", "Caption=A"}));
    EXPECT_EQ(translated, 1);
    Lng->SetLanguage("german");
    Window->setWindowTitle("changed by hand");
    Lng->SetLanguage("german");  // the same language translates again
    EXPECT_EQ(translated, 3);
    EXPECT_EQ(seen, "german");
    EXPECT_EQ(Window->windowTitle(), "A");

    QObject* created = nullptr;
    auto* other = new TMultiLanguage(Window.get(), [&](QObject* Sender) { created = Sender; });
    EXPECT_EQ(created, other);
    EXPECT_EQ(other->objectName(), "lng");
    EXPECT_EQ(other->parent(), Window.get());
}

TEST_F(TTranslatedWindow, ScriptAndLanguageAreMetaProperties) {
    // Stored window definitions set the component through its properties.
    Lng->setProperty("Script", QStringList({"[english]", "Caption=Über alles"}));
    Lng->setProperty("Language", "ENGLISH");
    EXPECT_EQ(Window->windowTitle(), QString::fromUtf8("Über alles"));
    EXPECT_EQ(Lng->Script()[1], "Caption=\xDC" "ber alles");
    EXPECT_EQ(Lng->property("Language").toString(), "ENGLISH");
}

TEST_F(TTranslatedWindow, LoadsScriptFromResourceOrNothing) {
    Lng->LoadScript(":/lng/does-not-exist");
    EXPECT_TRUE(Lng->Script().empty());
    Lng->LoadScript(":/lng/fStreichholz.lng");
    Lng->SetLanguage("german");
    EXPECT_EQ(Window->windowTitle(), "TESSUM (R) Freeware Nr. 1");
}

TEST(ScriptValueToInt, ConversionOrder) {
    EXPECT_EQ(ScriptValueToInt("0"), 0);
    EXPECT_EQ(ScriptValueToInt("+12"), 12);
    EXPECT_EQ(ScriptValueToInt("-2147483648"), std::numeric_limits<int>::min());
    EXPECT_EQ(ScriptValueToInt("2147483648"), std::nullopt);
    EXPECT_EQ(ScriptValueToInt("$FFFFFFFF"), -1);
    EXPECT_EQ(ScriptValueToInt("$100000000"), std::nullopt);
    EXPECT_EQ(ScriptValueToInt("0x1f"), 31);
    EXPECT_EQ(ScriptValueToInt("$"), std::nullopt);
    EXPECT_EQ(ScriptValueToInt("-"), std::nullopt);
    EXPECT_EQ(ScriptValueToInt("crDefault"), 0);
    EXPECT_EQ(ScriptValueToInt("CRHOURGLASS"), -11);
    EXPECT_EQ(ScriptValueToInt("clBtnFace"), static_cast<int>(0x8000000F));
    EXPECT_EQ(ScriptValueToInt("clwhite"), 0xFFFFFF);
    EXPECT_EQ(ScriptValueToInt("clNavy"), 0x800000);
    EXPECT_EQ(ScriptValueToInt("EASTEUROPE_CHARSET"), 238);
    EXPECT_EQ(ScriptValueToInt("#"), std::nullopt);
    EXPECT_EQ(ScriptValueToInt("#G1"), std::nullopt);
    EXPECT_EQ(ScriptValueToInt("#ff8040"), 0xFF8040);
    EXPECT_EQ(ScriptValueToInt(" 12"), std::nullopt);
}

TEST(SplitTextLines, LineBreakKinds) {
    EXPECT_EQ(SplitTextLines("a\r\nb\nc\rd"), QStringList({"a", "b", "c", "d"}));
    EXPECT_EQ(SplitTextLines("a\r\n"), QStringList({"a"}));
    EXPECT_EQ(SplitTextLines("a\r\n\r\nb"), QStringList({"a", "", "b"}));
    EXPECT_TRUE(SplitTextLines("").isEmpty());
}

TEST(RadioGroup, SelectionAndSignals) {
    TRadioGroup g;
    std::vector<int> changes, clicks;
    QObject::connect(&g, &TRadioGroup::ItemIndexChanged, [&](int i) { changes.push_back(i); });
    QObject::connect(&g, &TRadioGroup::Clicked, [&](int i) { clicks.push_back(i); });
    g.SetItems({"a", "b", "c"});
    EXPECT_EQ(g.ItemIndex(), -1);
    g.SetItemIndex(2);
    g.SetItemIndex(7);
    EXPECT_EQ(g.ItemIndex(), -1);
    for (int i = 0; i < 3; ++i) EXPECT_FALSE(g.Button(i)->isChecked());
    g.Button(1)->click();
    EXPECT_EQ(g.ItemIndex(), 1);
    g.Button(1)->click();  // clicking the checked item keeps it checked
    EXPECT_TRUE(g.Button(1)->isChecked());
    EXPECT_EQ(g.ItemIndex(), 1);
    g.Button(0)->click();
    EXPECT_FALSE(g.Button(1)->isChecked());
    EXPECT_EQ(changes, (std::vector<int>{2, -1, 1, 0}));
    EXPECT_EQ(clicks, (std::vector<int>{1, 1, 0}));

    g.SetItemIndex(2);
    g.SetItems({"x", "y"});  // shorter list pulls the selection back
    EXPECT_EQ(g.ItemIndex(), 1);
    EXPECT_TRUE(g.Button(1)->isChecked());
    EXPECT_EQ(g.Button(2), nullptr);
    g.SetItems({});
    EXPECT_EQ(g.ItemIndex(), -1);
}

TEST(RadioGroup, ColumnsFillTopToBottom) {
    TRadioGroup g;
    g.SetColumns(2);
    g.SetItems({"a", "b", "c"});
    g.resize(300, 200);
    g.show();
    // Two per column: a and b stacked, c beside a.
    EXPECT_EQ(g.Button(0)->x(), g.Button(1)->x());
    EXPECT_LT(g.Button(0)->y(), g.Button(1)->y());
    EXPECT_GT(g.Button(2)->x(), g.Button(0)->x());
    EXPECT_EQ(g.Button(2)->y(), g.Button(0)->y());
}

}  // namespace
}  // namespace tessum

#include "test_multilanguage.moc"

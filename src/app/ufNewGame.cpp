#include "app/ufNewGame.h"

#include "app/uDialogParts.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QProxyStyle>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <exception>

#include "i18n/Ansi.h"
#include "i18n/ComponentProps.h"
#include "i18n/MultiLanguage.h"
#include "i18n/TRadioGroup.h"
#include "i18n/lngDialogs.h"

namespace tessum {

namespace {

constexpr int MaxNameLength = 10;
constexpr int MinNameLength = 3;
constexpr int MaxStones = 8;

std::string LowerAscii(std::string Text) {
    for (char& c : Text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return Text;
}

QString FilterName(const QString& Text) {
    QString kept;
    for (QChar c : Text)
        if (c != QChar(8) && NameKeyAccepted(c)) kept.append(c);
    return kept;
}



// Styles that open a selection-only list over its whole length (Fusion does)
// ignore the limit of visible entries; with this one the country list keeps
// to it and scrolls.
class TScrollingListStyle : public QProxyStyle {
public:
    int styleHint(StyleHint Hint, const QStyleOption* Option, const QWidget* Widget,
                  QStyleHintReturn* Return) const override {
        if (Hint == SH_ComboBox_Popup) return 0;
        return QProxyStyle::styleHint(Hint, Option, Widget, Return);
    }
};

}  // namespace

bool NameKeyAccepted(QChar Key) {
    char16_t c = Key.unicode();
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
    return c == 8 || (c >= u'a' && c <= u'z') || c == u'\u00e4' || c == u'\u00f6' || c == u'\u00fc' ||
           c == u'\u00df';
}

TNameEdit::TNameEdit(QWidget* Parent) : QLineEdit(Parent) {
    setMaxLength(MaxNameLength);
    // Dropped and context-menu text would bypass the key filter.
    setAcceptDrops(false);
    setContextMenuPolicy(Qt::NoContextMenu);
}

void TNameEdit::keyPressEvent(QKeyEvent* Event) {
    if (Event->matches(QKeySequence::Paste)) {
        if (const QClipboard* clip = QApplication::clipboard()) insert(FilterName(clip->text()));
        Event->accept();
        return;
    }
    const QString text = Event->text();
    // Only printable characters are filtered; editing and navigation keys work as usual.
    if (!text.isEmpty() && text.at(0).unicode() >= 32 && text.at(0).unicode() != 127) {
        for (QChar c : text)
            if (!NameKeyAccepted(c)) {
                Event->accept();
                return;
            }
    }
    QLineEdit::keyPressEvent(Event);
}

TStoneSpin::TStoneSpin(QWidget* Parent) : QSpinBox(Parent) {
    lineEdit()->setReadOnly(true);
    setRange(3, MaxStones);
}

TfNewGame::TfNewGame(QWidget* Parent) : QDialog(Parent) {
    setObjectName(QStringLiteral("fNewGame"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    QWidget* header = MakeDialogHeader(this, lDescHead, lDesc);
    lDesc->setMinimumHeight(lDesc->fontMetrics().height() * 2);

    auto named = [this](auto* w, const char* name) {
        w->setObjectName(QString::fromLatin1(name));
        return w;
    };
    lName = named(new QLabel(this), "lName");
    lMail = named(new QLabel(this), "lMail");
    lLand = named(new QLabel(this), "lLand");
    eSp1 = named(new TNameEdit(this), "eSp1");
    eSp2 = named(new TNameEdit(this), "eSp2");
    eMail1 = named(new QLineEdit(this), "eMail1");
    eMail2 = named(new QLineEdit(this), "eMail2");
    cbLand1 = named(new QComboBox(this), "cbLand1");
    cbLand2 = named(new QComboBox(this), "cbLand2");
    for (QComboBox* cb : {cbLand1, cbLand2}) {
        cb->setEditable(false);
        auto* style = new TScrollingListStyle;
        style->setParent(cb);
        cb->setStyle(style);
        cb->setMaxVisibleItems(16);
        cb->setMinimumWidth(150);
    }
    eSp1->setMinimumWidth(110);
    eSp2->setMinimumWidth(110);
    eMail1->setMinimumWidth(170);
    eMail2->setMinimumWidth(170);

    auto* players = new QGridLayout;
    players->setHorizontalSpacing(8);
    players->setVerticalSpacing(6);
    players->addWidget(lName, 0, 0);
    players->addWidget(lMail, 0, 1);
    players->addWidget(lLand, 0, 2);
    players->addWidget(eSp1, 1, 0);
    players->addWidget(eMail1, 1, 1);
    players->addWidget(cbLand1, 1, 2);
    players->addWidget(eSp2, 2, 0);
    players->addWidget(eMail2, 2, 1);
    players->addWidget(cbLand2, 2, 2);
    players->setColumnStretch(1, 1);
    // Tab follows a player's row (name, mail, country) before the next row.
    setTabOrder(eSp1, eMail1);
    setTabOrder(eMail1, cbLand1);
    setTabOrder(cbLand1, eSp2);
    setTabOrder(eSp2, eMail2);
    setTabOrder(eMail2, cbLand2);

    rgModus = named(new TRadioGroup(this), "rgModus");
    rgDiff = named(new TRadioGroup(this), "rgDiff");
    rgVarianten = named(new TRadioGroup(this), "rgVarianten");
    // Until the script arrives the groups still need items to select from.
    for (TRadioGroup* rg : {rgModus, rgVarianten})
        rg->SetItems({QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")});
    rgDiff->SetItems({QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("4")});
    auto* groups = new QHBoxLayout;
    groups->setSpacing(8);
    groups->addWidget(rgModus, 1);
    groups->addWidget(rgDiff, 1);
    groups->addWidget(rgVarianten, 1);

    lStoneCount = named(new QLabel(this), "lStoneCount");
    seStoneCount = named(new TStoneSpin(this), "seStoneCount");
    seStoneCount->setValue(4);
    cbuseStrinmulde = named(new QCheckBox(this), "cbuseStrinmulde");
    auto* stones = new QHBoxLayout;
    stones->addWidget(lStoneCount);
    stones->addWidget(seStoneCount);
    stones->addSpacing(24);
    stones->addWidget(cbuseStrinmulde);
    stones->addStretch();

    auto* line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);

    bbOK = named(new QPushButton(this), "bbOK");
    bbCancel = named(new QPushButton(this), "bbCancel");
    bbOK->setDefault(true);
    bbCancel->setAutoDefault(false);
    for (QPushButton* b : {bbOK, bbCancel}) b->setMinimumWidth(90);
    connect(bbOK, &QPushButton::clicked, this, &TfNewGame::accept);
    connect(bbCancel, &QPushButton::clicked, this, &TfNewGame::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(bbOK);
    buttons->addWidget(bbCancel);

    auto* body = new QVBoxLayout;
    body->setContentsMargins(12, 10, 12, 12);
    body->setSpacing(10);
    body->addLayout(players);
    body->addLayout(groups);
    body->addLayout(stones);
    body->addWidget(line);
    body->addLayout(buttons);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(header);
    layout->addLayout(body);

    connect(rgVarianten, &TRadioGroup::ItemIndexChanged, this, [this](int) { rgVariantenClick(); });
    connect(rgModus, &TRadioGroup::ItemIndexChanged, this, [this](int) { rgModusClick(); });

    lng = new TMultiLanguage(this);
    lng->setObjectName(QStringLiteral("lng"));
    // A language switch rebuilds the country names and keeps the choices.
    lng->OnTranslate = [this](QObject*) { BuildLandLists(); };
    lng->LoadScript(QStringLiteral(":/lng/fNewGame.lng"));
    setMinimumWidth(560);
}

void TfNewGame::SetLanguage(const std::string& Language) { lng->SetLanguage(Language); }

void TfNewGame::BuildLandLists() {
    QStringList names;
    LandKeys_.clear();
    for (const QString& line : SplitTextLines(lng->GetQText("lands"))) {
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        LandKeys_.push_back(LowerAscii(ToAnsi(eq < 0 ? line : line.left(eq))));
        names.append(eq < 0 ? line : line.mid(eq + 1));
    }
    for (QComboBox* cb : {cbLand1, cbLand2}) {
        const int index = cb->currentIndex();
        cb->clear();
        cb->addItems(names);
        cb->setCurrentIndex(index >= 0 && index < names.size() ? index : (names.isEmpty() ? -1 : 0));
    }
}

void TfNewGame::LoadChoices() {
    TNewGameSettings s;
    s.Load(lng->GetText("player"), cbLand1->count());
    eSp1->setText(FromAnsi(s.Name1));
    eSp2->setText(FromAnsi(s.Name2));
    eMail1->setText(FromAnsi(s.Mail1));
    eMail2->setText(FromAnsi(s.Mail2));
    cbLand1->setCurrentIndex(s.Land1);
    cbLand2->setCurrentIndex(s.Land2);
    // The count is set against the widest range first, so that the variant
    // rule below is what decides about a stored count below its minimum.
    seStoneCount->setMinimum(3);
    StoneMinimum_ = 3;
    seStoneCount->setValue(s.Stones);
    cbuseStrinmulde->setChecked(s.UseHead);
    rgDiff->SetItemIndex(s.Difficulty);
    rgVarianten->SetItemIndex(s.Variant);
    rgModus->SetItemIndex(s.Mode);
    rgVariantenClick();
    rgModusClick();
}

bool TfNewGame::Execute() {
    BuildLandLists();
    LoadChoices();
    return exec() == QDialog::Accepted;
}

void TfNewGame::rgVariantenClick() {
    const int variant = rgVarianten->ItemIndex();
    if (variant == 0) cbuseStrinmulde->setChecked(true);
    cbuseStrinmulde->setEnabled(variant != 0);
    const int minimum = variant == 1 ? 4 : 3;
    seStoneCount->setMinimum(minimum);
    if (minimum != StoneMinimum_) {
        StoneMinimum_ = minimum;
        seStoneCount->setValue(minimum);
    }
}

void TfNewGame::rgModusClick() {
    const int mode = rgModus->ItemIndex();
    const bool first = mode == 0;
    const bool second = mode == 0 || mode == 1;
    const QString computer1 = QStringLiteral("Computer 1");
    const QString computer2 = QStringLiteral("Computer 2");
    if (mode >= 1) eSp1->setText(computer1);
    if (mode == 2) eSp2->setText(computer2);
    // A person does not play on under the computer's name (it would enter the
    // highscore); a name the person typed stays.
    if (first && eSp1->text() == computer1) eSp1->clear();
    if (second && eSp2->text() == computer2) eSp2->clear();
    for (QWidget* w : std::initializer_list<QWidget*>{eSp1, eMail1, cbLand1}) w->setEnabled(first);
    for (QWidget* w : std::initializer_list<QWidget*>{eSp2, eMail2, cbLand2}) w->setEnabled(second);
}

TNewGameSettings TfNewGame::Choices() const {
    TNewGameSettings s;
    s.Difficulty = std::max(0, rgDiff->ItemIndex());
    s.Mode = std::max(0, rgModus->ItemIndex());
    s.Variant = std::max(0, rgVarianten->ItemIndex());
    s.Stones = seStoneCount->value();
    s.UseHead = cbuseStrinmulde->isChecked();
    s.Name1 = ToAnsi(eSp1->text());
    s.Name2 = ToAnsi(eSp2->text());
    s.Mail1 = ToAnsi(eMail1->text());
    s.Mail2 = ToAnsi(eMail2->text());
    s.Land1 = std::max(0, cbLand1->currentIndex());
    s.Land2 = std::max(0, cbLand2->currentIndex());
    return s;
}

std::string TfNewGame::LandKey(int Player) const {
    const int index = (Player == 1 ? cbLand1 : cbLand2)->currentIndex();
    if (index < 0 || index >= static_cast<int>(LandKeys_.size())) return LandKeys_.empty() ? "" : LandKeys_[0];
    return LandKeys_[static_cast<std::size_t>(index)];
}

void TfNewGame::accept() {
    if (eSp1->text().size() < MinNameLength || eSp2->text().size() < MinNameLength) {
        LngMessageDlg(lng->GetText("msgerrorname"), mtError, {mbOK});
        return;
    }
    const int mode = rgModus->ItemIndex();
    const bool mailMissing = (mode == 0 && eMail1->text().isEmpty()) ||
                             ((mode == 0 || mode == 1) && eMail2->text().isEmpty());
    if (mailMissing && LngMessageDlg(lng->GetText("msgnoemail"), mtWarning, {mbYes, mbNo}) != mrYes) return;
    try {
        Choices().Save();
    } catch (const std::exception& e) {
        // The game can still be played; only the remembered choices are lost.
        LngMessageDlg(std::string(e.what()), mtError, {mbOK});
    }
    QDialog::accept();
}

}  // namespace tessum

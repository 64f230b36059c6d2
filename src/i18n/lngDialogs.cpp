#include "i18n/lngDialogs.h"

#include "i18n/QtTranslations.h"

#include <QGuiApplication>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

#include <array>
#include <optional>

#include "i18n/Ansi.h"
#include "i18n/MultiLanguage.h"

namespace tessum {

namespace {

constexpr std::array<const char*, 4> kCaptionKeys = {"warning", "error", "information", "confirm"};
constexpr std::array<const char*, kMsgDlgButtonCount> kButtonKeys = {
    "mbYes", "mbNo",    "mbOK",      "mbCancel",   "mbAbort", "mbRetry",
    "mbIgnore", "mbAll", "mbNoToAll", "mbYesToAll", "mbHelp"};

struct TDialogState {
    bool ScriptLoaded = false;
    std::vector<std::string> Script;
    std::string Language;
    // The language the texts were last prepared for, and whether it had any.
    std::optional<std::string> Prepared;
    bool Available = false;
    TDlgMultiLangRec Texts;
    std::function<void()> Help;
    TMessageDialogObserver Observer;
};

TDialogState& State() {
    static TDialogState s;
    return s;
}

const std::vector<std::string>& Script() {
    TDialogState& s = State();
    if (!s.ScriptLoaded) {
        s.Script = LoadScriptFile(QStringLiteral(":/lng/MESSAGE_LNG"));
        s.ScriptLoaded = true;
    }
    return s.Script;
}

void Observe(QDialog& Dialog) {
    TMessageDialogObserver observer = State().Observer;
    if (!observer) return;
    QPointer<QDialog> guard(&Dialog);
    QTimer::singleShot(0, &Dialog, [guard, observer] {
        if (guard) observer(*guard);
    });
}

void CentreOnScreen(QDialog& Dialog) {
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect g = screen->geometry();
        Dialog.move(g.left() + (g.width() - Dialog.width()) / 2, g.top() + (g.height() - Dialog.height()) / 2);
    }
}

QMessageBox::StandardButton StandardButtonFor(TMsgDlgBtn Button) {
    switch (Button) {
        case mbYes: return QMessageBox::Yes;
        case mbNo: return QMessageBox::No;
        case mbOK: return QMessageBox::Ok;
        case mbCancel: return QMessageBox::Cancel;
        case mbAbort: return QMessageBox::Abort;
        case mbRetry: return QMessageBox::Retry;
        case mbIgnore: return QMessageBox::Ignore;
        case mbNoToAll: return QMessageBox::NoToAll;
        case mbYesToAll: return QMessageBox::YesToAll;
        case mbHelp: return QMessageBox::Help;
        default: return QMessageBox::NoButton;
    }
}

int StandardMessageBox(const QString& Text, TMsgDlgType Kind, TMsgDlgButtons Buttons) {
    QMessageBox box;
    box.setTextFormat(Qt::PlainText);
    box.setText(Text);
    switch (Kind) {
        case mtWarning: box.setIcon(QMessageBox::Warning); box.setWindowTitle(QStringLiteral("Warning")); break;
        case mtError: box.setIcon(QMessageBox::Critical); box.setWindowTitle(QStringLiteral("Error")); break;
        case mtInformation: box.setIcon(QMessageBox::Information); box.setWindowTitle(QStringLiteral("Information")); break;
        case mtConfirmation: box.setIcon(QMessageBox::Question); box.setWindowTitle(QStringLiteral("Confirm")); break;
        default: box.setIcon(QMessageBox::NoIcon); box.setWindowTitle(QGuiApplication::applicationDisplayName()); break;
    }
    std::array<QAbstractButton*, kMsgDlgButtonCount> byKind{};
    for (int b = 0; b < kMsgDlgButtonCount; ++b) {
        const auto btn = static_cast<TMsgDlgBtn>(b);
        if (!Buttons.Has(btn)) continue;
        QAbstractButton* button = btn == mbAll
                                      ? box.addButton(QStringLiteral("All"), QMessageBox::AcceptRole)
                                      : box.addButton(StandardButtonFor(btn));
        button->setProperty("ModalResult", ModalResultOf(btn));
        byKind[static_cast<std::size_t>(b)] = button;
    }
    for (TMsgDlgBtn btn : {mbOK, mbYes, mbRetry})
        if (auto* b = qobject_cast<QPushButton*>(byKind[static_cast<std::size_t>(btn)])) {
            box.setDefaultButton(b);
            break;
        }
    for (TMsgDlgBtn btn : {mbCancel, mbNo, mbOK})
        if (QAbstractButton* b = byKind[static_cast<std::size_t>(btn)]) {
            box.setEscapeButton(b);
            break;
        }
    for (;;) {
        Observe(box);
        box.exec();
        QAbstractButton* clicked = box.clickedButton();
        // The standard box closes on Help; ours stays open, so show it again.
        if (clicked && clicked == byKind[mbHelp]) {
            if (State().Help) State().Help();
            continue;
        }
        if (!clicked) return mrCancel;
        const QVariant r = clicked->property("ModalResult");
        return r.isValid() ? r.toInt() : mrCancel;
    }
}

}  // namespace

void SetDialogLanguage(const std::string& Language) {
    State().Language = Language;
    // Qt's own dialogs and messages follow too.
    SetQtLanguage(Language);
}

const std::string& DialogLanguage() { return State().Language; }

bool PrepareDialogTexts(const std::string& Language, TDlgMultiLangRec& Texts) {
    const std::vector<std::string> section = ExtractScriptSection(Script(), Language);
    if (section.empty()) return false;
    for (std::size_t k = 0; k < kCaptionKeys.size(); ++k)
        Texts.Captions[k] = FindScriptValue(section, kCaptionKeys[k]);
    Texts.Captions[mtCustom] = ToAnsi(QGuiApplication::applicationDisplayName());
    for (std::size_t b = 0; b < kButtonKeys.size(); ++b)
        Texts.ButtonCaptions[b] = FindScriptValue(section, kButtonKeys[b]);
    return true;
}

void SetDialogScript(std::vector<std::string> Lines) {
    TDialogState& s = State();
    s.Script = std::move(Lines);
    s.ScriptLoaded = true;
    s.Prepared.reset();
}

void ResetDialogScript() {
    TDialogState& s = State();
    s.Script.clear();
    s.ScriptLoaded = false;
    s.Prepared.reset();
}

void SetMessageDialogHelp(std::function<void()> Help) { State().Help = std::move(Help); }

TMessageDialogObserver SetMessageDialogObserver(TMessageDialogObserver Observer) {
    TMessageDialogObserver previous = std::move(State().Observer);
    State().Observer = std::move(Observer);
    return previous;
}

int LngMessageDlg(const QString& Text, TMsgDlgType Kind, TMsgDlgButtons Buttons) {
    TDialogState& s = State();
    if (s.Language.empty()) return StandardMessageBox(Text, Kind, Buttons);
    if (!s.Prepared || *s.Prepared != s.Language) {
        s.Available = PrepareDialogTexts(s.Language, s.Texts);
        s.Prepared = s.Language;
    }
    if (!s.Available) return StandardMessageBox(Text, Kind, Buttons);

    const std::unique_ptr<TGVMessageDialog> dialog = CreateMessageDialog(Text, Kind, Buttons, s.Texts);
    QObject::connect(dialog.get(), &TGVMessageDialog::HelpRequested, [] {
        if (State().Help) State().Help();
    });
    CentreOnScreen(*dialog);
    Observe(*dialog);
    return dialog->exec();
}

QString DialogText(const char* Key) {
    const std::string& Language = State().Language;
    std::vector<std::string> Section = ExtractScriptSection(Script(), Language.empty() ? "english" : Language);
    std::string Text = FindScriptValue(Section, Key);
    if (Text.empty()) Text = FindScriptValue(ExtractScriptSection(Script(), "english"), Key);
    return FromAnsi(Text);
}

int ShowMessageDialog(QDialog& Dialog) {
    Dialog.adjustSize();
    CentreOnScreen(Dialog);
    Observe(Dialog);
    return Dialog.exec();
}

int LngMessageDlg(const std::string& Text, TMsgDlgType Kind, TMsgDlgButtons Buttons) {
    return LngMessageDlg(FromAnsi(Text), Kind, Buttons);
}

int LngMessageDlg(const char* Text, TMsgDlgType Kind, TMsgDlgButtons Buttons) {
    return LngMessageDlg(FromAnsi(Text ? Text : ""), Kind, Buttons);
}

QString MessageDialogCaption(const QDialog& Dialog) { return Dialog.windowTitle(); }

QString MessageDialogText(const QDialog& Dialog) {
    if (auto* d = qobject_cast<const TGVMessageDialog*>(&Dialog)) return d->MessageText();
    if (auto* b = qobject_cast<const QMessageBox*>(&Dialog)) return b->text();
    return Dialog.property("MessageText").toString();
}

QStringList MessageDialogButtonTexts(const QDialog& Dialog) {
    QStringList out;
    if (auto* d = qobject_cast<const TGVMessageDialog*>(&Dialog)) {
        for (const QPushButton* b : d->Buttons()) out.append(b->text());
    } else if (auto* box = qobject_cast<const QMessageBox*>(&Dialog)) {
        for (const QAbstractButton* b : box->buttons()) out.append(b->text());
    } else {
        for (const QAbstractButton* b : Dialog.findChildren<QAbstractButton*>())
            if (b->property("ModalResult").isValid()) out.append(b->text());
    }
    return out;
}

bool IsStandardMessageBox(const QDialog& Dialog) {
    return qobject_cast<const QMessageBox*>(&Dialog) != nullptr;
}

bool PressMessageDialogButton(QDialog& Dialog, int Result) {
    for (QAbstractButton* b : Dialog.findChildren<QAbstractButton*>()) {
        const QVariant r = b->property("ModalResult");
        if (r.isValid() && r.toInt() == Result && b->isVisible()) {
            b->click();
            return true;
        }
    }
    return false;
}

TMessageDialogAnswerer::TMessageDialogAnswerer(std::vector<int> Answers, int Default)
    : Answers_(Answers.begin(), Answers.end()), Default_(Default) {
    Previous_ = SetMessageDialogObserver([this](QDialog& d) { Answer(d); });
}

TMessageDialogAnswerer::~TMessageDialogAnswerer() { SetMessageDialogObserver(std::move(Previous_)); }

void TMessageDialogAnswerer::Answer(QDialog& Dialog) {
    int wanted = Default_;
    if (!Answers_.empty()) {
        wanted = Answers_.front();
        Answers_.pop_front();
    }
    TShown shown{MessageDialogCaption(Dialog), MessageDialogText(Dialog),
                 MessageDialogButtonTexts(Dialog), IsStandardMessageBox(Dialog), wanted};
    if (!PressMessageDialogButton(Dialog, wanted)) {
        shown.Result = mrCancel;
        Dialog.reject();
    }
    Shown_.push_back(std::move(shown));
}

}  // namespace tessum

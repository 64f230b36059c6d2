// LngMessageDlg: every question, warning and error of the program goes
// through here. The caption and the button texts come from the compiled-in
// script ":/lng/MESSAGE_LNG" in the current dialog language; until the main
// window has set one (or when the script lacks that language) the standard
// Qt message box is shown instead.
//
// Automation seam: SetMessageDialogObserver installs a function that is called
// with the open dialog (a TGVMessageDialog or, in the fallback, a QMessageBox)
// once its modal loop runs. It may inspect the dialog and must close it, e.g.
// with PressMessageDialogButton or by sending Escape. TMessageDialogAnswerer
// wraps this for tests of whole windows: it answers every dialog from a list
// of results and records what each dialog showed.
#pragma once

#include <QString>
#include <QStringList>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "i18n/GVDialogs.h"

class QDialog;

namespace tessum {

// Sets the language of the message dialogs ("german", "english"); "" means
// not set, which shows the standard message box. Qt's own dialogs and texts
// switch with it (SetQtLanguage).
void SetDialogLanguage(const std::string& Language);
const std::string& DialogLanguage();

// Shows Text (Windows-1252 or Qt text) modally, centred on the screen, and
// returns the TModalResult of the pressed button (mrCancel for the close box).
int LngMessageDlg(const std::string& Text, TMsgDlgType Kind, TMsgDlgButtons Buttons);
int LngMessageDlg(const QString& Text, TMsgDlgType Kind, TMsgDlgButtons Buttons);
int LngMessageDlg(const char* Text, TMsgDlgType Kind, TMsgDlgButtons Buttons);

// The texts prepared for Language from the dialog script; false when the
// script has no such section.
bool PrepareDialogTexts(const std::string& Language, TDlgMultiLangRec& Texts);

// Text of Key in the dialog script, in the dialog language (English while
// none is set or the language has no such text). For messages that belong to
// no window, such as the one about an address the desktop could not open.
QString DialogText(const char* Key);

// Shows a message window of the caller's own making like LngMessageDlg shows
// its dialog: centred on the screen, modally, under the observer. Its text for
// MessageDialogText is the dynamic property "MessageText"; buttons answer
// through the property "ModalResult".
int ShowMessageDialog(QDialog& Dialog);

// Replaces the dialog script (normally the MESSAGE_LNG resource, read once).
void SetDialogScript(std::vector<std::string> Lines);
// Back to the compiled-in script.
void ResetDialogScript();

// Called when a dialog's Help button is pressed; the dialog stays open.
void SetMessageDialogHelp(std::function<void()> Help);

using TMessageDialogObserver = std::function<void(QDialog& Dialog)>;
// Returns the observer that was installed before.
TMessageDialogObserver SetMessageDialogObserver(TMessageDialogObserver Observer);

// Inspecting an open message dialog of either kind.
QString MessageDialogCaption(const QDialog& Dialog);
QString MessageDialogText(const QDialog& Dialog);
QStringList MessageDialogButtonTexts(const QDialog& Dialog);
bool IsStandardMessageBox(const QDialog& Dialog);
// Clicks the button answering Result; false if the dialog has none.
bool PressMessageDialogButton(QDialog& Dialog, int Result);

// Answers every message dialog while it lives: each dialog takes the next
// result of the list, then Default; a result without a button closes the
// dialog through its close box (mrCancel).
class TMessageDialogAnswerer {
public:
    struct TShown {
        QString Caption;
        QString Text;
        QStringList Buttons;
        bool Standard = false;
        int Result = mrNone;
    };

    explicit TMessageDialogAnswerer(std::vector<int> Answers = {}, int Default = mrOk);
    ~TMessageDialogAnswerer();
    TMessageDialogAnswerer(const TMessageDialogAnswerer&) = delete;
    TMessageDialogAnswerer& operator=(const TMessageDialogAnswerer&) = delete;

    void Push(int Result) { Answers_.push_back(Result); }
    const std::vector<TShown>& Shown() const { return Shown_; }

private:
    void Answer(QDialog& Dialog);

    std::deque<int> Answers_;
    int Default_;
    std::vector<TShown> Shown_;
    TMessageDialogObserver Previous_;
};

}  // namespace tessum

// TMultiLanguage: the translation component every window carries (object
// name "lng", owned by the window). Its script holds one section per language;
// assigning a language sets the window's texts from that section, and the same
// section answers GetText for the window's messages.
//
// Script syntax, per line (trimmed of blanks and control characters first):
//   empty lines are skipped; "[name]" starts a section (name lower-cased,
//   "[" without "]" gives the empty name); ";" starts a comment; any other line
//   is Name=Value, both trimmed; a Value of two or more characters in single
//   quotes loses the outer quotes; "\n" in a Value becomes CR LF.
// A Name with dots is a path: "bbOK.Caption", "rgModus.Items", "id.language";
// a plain word is either a property of the window ("Caption") or a key that
// only GetText reads ("msgquit").
//
// The scripts compiled into the program (":/lng/<file>", Windows-1252) and the
// object names of the controls each one addresses:
//
//   fSpielfeld.lng  main window TfSpielfeld
//     Caption (window title); menus miGame, miOptions, miInternet, miHelp (QMenu);
//     actions aNewGame aLoadGame aSaveGame aHighscore aGameHistory aEnd aSound
//     aUpdate aEmail aHomepage aSponsor aContent aAbout (QAction);
//     menu items without action miHandanimation miSteinAnimation minoAnimation
//     miGerman miEnglish (QAction); file dialog choices odLoadGame, sdSaveGame (.Title,
//     TFileChoice); id.language (the about window component, a "language" property).
//     Keys: msgquit msgsaved msganothergame stone stones c_helpfile; for the
//     controller, which translates through this component: notestart noteload
//     notewillwin notemustskip noteend msgplayerwon msgdrawn msgplayersummary;
//     for the board layers: c_variant captioninhand.
//   fNewGame.lng  new-game dialog TfNewGame
//     Caption; lDescHead lDesc lName lMail lLand lStoneCount (QLabel);
//     rgModus rgDiff rgVarianten (TRadioGroup: .Caption and .Items);
//     cbuseStrinmulde (QCheckBox); bbOK bbCancel (buttons).
//     Keys: player msgerrorname msgnoemail lands (114 lines key=country).
//   fStreichholz.lng  start draw TfStreichholz
//     Caption; lDescHead lDesc (QLabel); bLeft bRight (buttons). Key: msgfirstmove.
//   fHighscore.lng  highscore dialog TfHighscore
//     Caption; lDescHead lDesc (QLabel); rgVariante (TRadioGroup, .Items);
//     bbOK bbPrint bbnetHighscore (buttons).
//     Keys: c_number c_name c_time c_moves c_points c_variant c_version c_page
//     msgsendtonet senderror emptyitem.
//   fHistory.lng  history dialog TfHistory
//     Caption; lDescHead lDesc (QLabel); bbOK bbPrint (buttons).
//     Keys: c_version c_variant c_history c_page.
//   MESSAGE_LNG  message dialogs (lngDialogs): warning error information confirm
//     and the button texts mbYes ... mbHelp.
// The language dialog TfLanguage shows both languages at once and has no script.
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tessum {

// A notification bound to an object; empty means nobody listens.
using TNotifyEvent = std::function<void(QObject* Sender)>;

struct TScriptEntry {
    std::string Name;
    std::string Value;
};

// Trims blanks and control characters (every byte up to 32) from both ends.
std::string TrimScriptLine(std::string_view Line);
// Name and Value of one (already trimmed) line; nothing for a line without "=".
std::optional<TScriptEntry> ParseScriptEntry(std::string_view Line);
// The trimmed entry lines of the section whose name equals Language
// (lower-cased); lines before the first header form the section "".
std::vector<std::string> ExtractScriptSection(const std::vector<std::string>& Script,
                                              std::string_view Language);
// The Value of the first line whose Name equals Key exactly; "" if none.
std::string FindScriptValue(const std::vector<std::string>& Lines, std::string_view Key);
// Splits a whole script text into lines at CR, LF or CR LF.
std::vector<std::string> SplitScriptText(std::string_view Text);
// Reads a script file or resource (":/lng/fNewGame.lng"); empty if unreadable.
std::vector<std::string> LoadScriptFile(const QString& FileName);

class TMultiLanguage : public QObject {
    Q_OBJECT
    Q_PROPERTY(QStringList Script READ ScriptText WRITE SetScriptText)
    Q_PROPERTY(QString Language READ LanguageText WRITE SetLanguageText)

public:
    // Owner is the window to translate; OnCreate, if given, is called once the
    // component is fully built.
    explicit TMultiLanguage(QObject* Owner, const TNotifyEvent& OnCreate = {});

    // Called after every translation pass.
    TNotifyEvent OnTranslate;

    const std::vector<std::string>& Script() const { return Script_; }
    // Replaces the script and translates the window.
    void SetScript(std::vector<std::string> Lines);
    // SetScript with the lines of a script file or resource.
    void LoadScript(const QString& FileName);

    const std::string& Language() const { return Language_; }
    // Stores the language and translates the window, even when it is unchanged.
    void SetLanguage(std::string Language);

    // Text of Key (case-sensitive) in the current language, Windows-1252; ""
    // when the key or the language's section is missing.
    std::string GetText(std::string_view Key) const;
    // GetText converted for Qt.
    QString GetQText(std::string_view Key) const;

    // The lines of the current language's section, as of the last pass.
    const std::vector<std::string>& ActiveLines() const { return Active_; }

    // Names of the active lines that are paths ("bbOK.Caption") but reach no
    // property of an existing control: misspelt or missing controls.
    std::vector<std::string> UnresolvedTargets() const;

    QStringList ScriptText() const;
    void SetScriptText(const QStringList& Lines);
    QString LanguageText() const;
    void SetLanguageText(const QString& Language);

private:
    void Translate();
    void Apply(const TScriptEntry& Entry) const;

    std::vector<std::string> Script_;
    std::vector<std::string> Active_;
    std::string Language_;
};

}  // namespace tessum

// The translation scripts compiled into the program: both languages complete,
// the control names the windows are built with, the keys the code reads.
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QWidget>
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "i18n/Ansi.h"
#include "i18n/MultiLanguage.h"

namespace tessum {
namespace {

struct TScriptContract {
    const char* File;
    // First part of every dotted name: the controls the window must have.
    std::set<std::string> Controls;
    // Every plain name: "Caption" of the window and the keys code reads.
    std::set<std::string> Keys;
};

const std::vector<TScriptContract>& Contracts() {
    static const std::vector<TScriptContract> c = {
        {"fSpielfeld.lng",
         {"miGame", "aNewGame", "aLoadGame", "aSaveGame", "aUndo", "aRedo", "aHint", "aFullScreen", "aHighscore", "aGameHistory", "aEnd",
          "miOptions", "aSound", "miHandanimation", "miSteinAnimation", "minoAnimation", "miGerman",
          "miEnglish", "miInternet", "aUpdate", "aEmail", "aHomepage", "aSponsor", "miHelp",
          "aContent", "aAbout", "odLoadGame", "sdSaveGame", "id"},
         {"Caption", "msgquit", "msgsaved", "msganothergame", "stone", "stones", "c_helpfile",
          "c_aboutcaption", "c_abouttext", "c_aboutpicture", "c_aboutok", "c_variant", "captioninhand", "notestart", "noteload", "notewillwin", "notemustskip",
          "noteend", "msgplayerwon", "msgdrawn", "msgplayersummary", "msgassisted"}},
        {"fNewGame.lng",
         {"lDescHead", "lDesc", "lName", "lMail", "lLand", "rgModus", "rgDiff", "rgVarianten",
          "lStoneCount", "cbuseStrinmulde", "bbOK", "bbCancel"},
         {"Caption", "player", "msgerrorname", "msgnoemail", "lands"}},
        {"fStreichholz.lng", {"lDescHead", "lDesc", "bLeft", "bRight"}, {"Caption", "msgfirstmove"}},
        {"fHighscore.lng",
         {"lDescHead", "lDesc", "rgVariante", "bbOK", "bbPrint", "bbnetHighscore"},
         {"Caption", "c_number", "c_name", "c_time", "c_moves", "c_points", "c_variant",
          "c_version", "c_page", "msgsendtonet", "senderror", "emptyitem"}},
        {"fHistory.lng", {"lDescHead", "lDesc", "bbOK", "bbPrint"},
         {"Caption", "c_version", "c_variant", "c_history", "c_page"}},
        {"MESSAGE_LNG",
         {},
         {"warning", "error", "information", "confirm", "mbYes", "mbNo", "mbOK", "mbCancel",
          "mbAbort", "mbRetry", "mbIgnore", "mbAll", "mbNoToAll", "mbYesToAll", "mbHelp",
          "msgcannotopen", "msgfilemissing", "msgfileunreadable", "msgfiledamaged", "msgreinstall"}},
    };
    return c;
}

QString ResourcePath(const char* File) { return QStringLiteral(":/lng/") + QLatin1String(File); }

// Every section of a script with its entries in order; fails on lines that
// are neither comments, headers nor entries.
std::map<std::string, std::vector<TScriptEntry>> Sections(const std::vector<std::string>& Script,
                                                         const char* File) {
    std::map<std::string, std::vector<TScriptEntry>> out;
    std::string section;
    for (const std::string& raw : Script) {
        const std::string line = TrimScriptLine(raw);
        if (line.empty() || line[0] == ';') continue;
        if (line[0] == '[') {
            section = line.substr(1, line.find(']') - 1);
            out[section];
            continue;
        }
        const auto e = ParseScriptEntry(line);
        EXPECT_TRUE(e.has_value()) << File << ": " << line;
        if (e) out[section].push_back(*e);
    }
    return out;
}

TEST(Scripts, EveryCompiledScriptHasAContract) {
    const QStringList files = QDir(QStringLiteral(":/lng")).entryList(QDir::Files, QDir::Name);
    std::set<std::string> known;
    for (const auto& c : Contracts()) known.insert(c.File);
    std::set<std::string> compiled;
    for (const QString& f : files) compiled.insert(f.toStdString());
    EXPECT_EQ(compiled, known);
}

TEST(Scripts, BothLanguagesCompleteAndAlike) {
    for (const TScriptContract& c : Contracts()) {
        const auto script = LoadScriptFile(ResourcePath(c.File));
        ASSERT_FALSE(script.empty()) << c.File;
        const auto sections = Sections(script, c.File);
        std::set<std::string> names;
        for (const auto& [name, entries] : sections) {
            if (!name.empty()) names.insert(name);
            if (name.empty()) {
                EXPECT_TRUE(entries.empty()) << c.File << ": entries before [german]";
            }
        }
        EXPECT_EQ(names, (std::set<std::string>{"german", "english"})) << c.File;
        for (const char* lang : {"german", "english"}) {
            if (!sections.count(lang)) continue;
            std::set<std::string> controls, keys, seen;
            for (const TScriptEntry& e : sections.at(lang)) {
                EXPECT_TRUE(seen.insert(e.Name).second) << c.File << " [" << lang << "] twice: " << e.Name;
                EXPECT_FALSE(e.Value.empty()) << c.File << " [" << lang << "] " << e.Name;
                const auto dot = e.Name.find('.');
                if (dot == std::string::npos)
                    keys.insert(e.Name);
                else
                    controls.insert(e.Name.substr(0, dot));
            }
            EXPECT_EQ(controls, c.Controls) << c.File << " [" << lang << "]";
            EXPECT_EQ(keys, c.Keys) << c.File << " [" << lang << "]";
        }
        // Same names in the same order, so the two sections read side by side.
        if (sections.count("german") && sections.count("english")) {
            const auto& de = sections.at("german");
            const auto& en = sections.at("english");
            ASSERT_EQ(de.size(), en.size()) << c.File;
            for (std::size_t i = 0; i < de.size(); ++i) EXPECT_EQ(de[i].Name, en[i].Name) << c.File;
        }
    }
}

TEST(Scripts, StoredAsWindows1252) {
    for (const TScriptContract& c : Contracts()) {
        QFile f(ResourcePath(c.File));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();
        const QString text = FromAnsi(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
        // UTF-8 read as code page 1252 shows up as these pairs.
        EXPECT_FALSE(text.contains(QChar(0xC3))) << c.File;
        EXPECT_FALSE(text.contains(QChar(0xC2))) << c.File;
    }
    TMultiLanguage lng(nullptr);
    lng.LoadScript(ResourcePath("MESSAGE_LNG"));
    lng.SetLanguage("german");
    EXPECT_EQ(lng.GetText("confirm"), "Best\xE4tigen");
    lng.LoadScript(ResourcePath("fNewGame.lng"));
    EXPECT_EQ(lng.GetQText("rgDiff.Items"), QString::fromUtf8("Anfänger\r\nMittelmäßig\r\nProfi\r\nMeister"));
    lng.LoadScript(ResourcePath("fSpielfeld.lng"));
    EXPECT_EQ(lng.GetQText("notemustskip"), QString::fromUtf8("%s muß aussetzen"));
}

TEST(Scripts, CountryListsMatchKeyForKey) {
    TMultiLanguage lng(nullptr);
    lng.LoadScript(ResourcePath("fNewGame.lng"));
    std::map<std::string, QStringList> keys, names;
    for (const char* lang : {"german", "english"}) {
        lng.SetLanguage(lang);
        const QStringList lines = lng.GetQText("lands").split(QStringLiteral("\r\n"));
        ASSERT_EQ(lines.size(), 114) << lang;
        for (const QString& line : lines) {
            const qsizetype eq = line.indexOf('=');
            ASSERT_GT(eq, 0) << line.toStdString();
            keys[lang].append(line.left(eq));
            names[lang].append(line.mid(eq + 1));
            EXPECT_FALSE(line.mid(eq + 1).trimmed().isEmpty()) << line.toStdString();
        }
    }
    EXPECT_EQ(keys["german"], keys["english"]);
    EXPECT_EQ(names["german"].front(), "keine Angabe");
    EXPECT_EQ(names["english"].front(), "not applicable");
    EXPECT_EQ(keys["german"].front(), "europa");
    EXPECT_EQ(keys["german"].back(), "zentralafrika");
    // Stored keys keep the blank of this one entry; it is part of the key.
    EXPECT_TRUE(keys["german"].contains("jordanien "));
    EXPECT_EQ(QSet<QString>(keys["german"].begin(), keys["german"].end()).size(), 114);
}

TEST(Scripts, TextsThatKeepOuterBlanksAndLineBreaks) {
    TMultiLanguage lng(nullptr);
    lng.LoadScript(ResourcePath("fNewGame.lng"));
    lng.SetLanguage("german");
    EXPECT_EQ(lng.GetText("rgModus.Caption"), " Modus ");
    lng.SetLanguage("english");
    EXPECT_EQ(lng.GetText("rgDiff.Caption"), " Difficulty ");
    lng.LoadScript(ResourcePath("fSpielfeld.lng"));
    lng.SetLanguage("german");
    EXPECT_EQ(lng.GetText("msgplayerwon"), "Der Spieler %s hat gewonnen.\r\n\r\n");
    EXPECT_EQ(lng.GetText("c_helpfile"), "hilfe\\start.htm");
    lng.SetLanguage("english");
    EXPECT_EQ(lng.GetText("c_helpfile"), "hilfe\\start_e.htm");
}

// A window built like the start draw switches between the languages at run
// time, and every control its script names exists on it.
TEST(Scripts, WindowSwitchesLanguageAtRunTime) {
    QWidget window;
    auto* head = new QLabel(&window);
    head->setObjectName("lDescHead");
    auto* desc = new QLabel(&window);
    desc->setObjectName("lDesc");
    auto* left = new QPushButton(&window);
    left->setObjectName("bLeft");
    auto* right = new QPushButton(&window);
    right->setObjectName("bRight");
    auto* lng = new TMultiLanguage(&window);
    lng->LoadScript(ResourcePath("fStreichholz.lng"));
    window.show();

    for (int round = 0; round < 2; ++round) {
        lng->SetLanguage("german");
        EXPECT_EQ(window.windowTitle(), "TESSUM (R) Freeware Nr. 1");
        EXPECT_EQ(head->text(), QString::fromUtf8("Welcher Spieler fängt an?"));
        EXPECT_EQ(desc->text().count("\r\n"), 2);
        EXPECT_EQ(left->text(), "Links");
        EXPECT_EQ(right->text(), "Rechts");
        EXPECT_TRUE(lng->UnresolvedTargets().empty());

        lng->SetLanguage("english");
        EXPECT_EQ(window.windowTitle(), "TESSUM (R) Freeware No. 1");
        EXPECT_EQ(head->text(), "Who will be first?");
        EXPECT_TRUE(desc->text().startsWith("Which matchstick is the longer one?\r\n"));
        EXPECT_EQ(left->text(), "Left");
        EXPECT_EQ(right->text(), "Right");
        EXPECT_EQ(lng->GetText("msgfirstmove"), "%s has won! It is your turn.");
        EXPECT_TRUE(lng->UnresolvedTargets().empty());
    }
}

}  // namespace
}  // namespace tessum

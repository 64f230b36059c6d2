// The program's persistent settings. All of them live in "settings.ini" in the
// user's settings folder (beside the program when it runs portable); the names below are every section and key the program uses,
// so that no window spells one of them on its own.
#pragma once

#include "game/uProfile.h"

#include <cstdint>
#include <string>

namespace tessum {

inline constexpr char SettingsFileName[] = "settings.ini";

// Section "settings": the options menu and the language.
inline constexpr char SectionSettings[] = "settings";
inline constexpr char KeySound[] = "sound";
inline constexpr char KeyHandAni[] = "handani";
inline constexpr char KeyStoneAni[] = "stoneani";
inline constexpr char KeyNoAni[] = "noani";
inline constexpr char KeyMaximized[] = "maximized";
inline constexpr char KeyFullScreen[] = "fullscreen";
inline constexpr char KeyLanguage[] = "language";

// Section "newgame": the last choices of the new-game dialog.
inline constexpr char SectionNewGame[] = "newgame";
inline constexpr char KeyDifficulty[] = "difficulty";
inline constexpr char KeyMode[] = "mode";
inline constexpr char KeyVariant[] = "variant";
inline constexpr char KeyStones[] = "stones";
inline constexpr char KeyUseHead[] = "usehead";
inline constexpr char KeyName1[] = "name1";
inline constexpr char KeyName2[] = "name2";
inline constexpr char KeyMail1[] = "mail1";
inline constexpr char KeyMail2[] = "mail2";
inline constexpr char KeyLand1[] = "land1";
inline constexpr char KeyLand2[] = "land2";

// Section "internet": where the worldwide highscore lives, for those who run
// their own server.
inline constexpr char SectionInternet[] = "internet";
inline constexpr char KeyServer[] = "server";  // host or host:port
inline constexpr char KeyPage[] = "page";      // address of the list page

inline constexpr char LanguageGerman[] = "german";
inline constexpr char LanguageEnglish[] = "english";

// Values of TTessumSettings::Animation.
inline constexpr std::uint8_t AnimationNone = 0;
inline constexpr std::uint8_t AnimationStones = 1;
inline constexpr std::uint8_t AnimationHands = 2;

// Full name of the settings file (or of another file of that folder).
std::string SettingsFilePath(std::string_view FileName = SettingsFileName);

// The choices of the options menu. Changes are kept in memory; Save writes them,
// once, when the program ends.
class TTessumSettings {
public:
    bool Sound = false;
    bool Maximized = false;
    // The window covered the whole screen when the program last ended.
    bool FullScreen = false;
    std::uint8_t Animation = AnimationNone;

    // Missing or unreadable values take their defaults: sound on, hand animation,
    // not maximized.
    void Load();
    // Throws EIniFileException when the file cannot be written.
    void Save() const;
};

// The one open settings-file object of the program entry and the main window.
// FileName empty means "settings.ini"; the file lies in the settings folder.
// Opening again replaces the object opened before.
TIniFile* OpenSettingsFile(const std::string& FileName = "");
void CloseSettingsFile();

// "language" of section "settings": "german" or "english", whatever the case in
// the file. Any other value counts as no choice and gives Default (empty at
// start-up means the language has still to be asked for).
std::string ReadLanguage(std::string_view Default);
// Writes the value as given; an empty one asks for the language at the next start.
void WriteLanguage(std::string_view Language);

// Levels of the computer opponent: 1 to 3 the tree search, 4 the master.
inline constexpr int LevelCount = 4;

// The choices of the new-game dialog. Indexes are those of the dialog's lists:
// level = Difficulty + 1, variant = Variant + 1, Mode 0 to 2.
struct TNewGameSettings {
    int Difficulty = 0;
    int Mode = 0;
    int Variant = 0;
    int Stones = 4;
    bool UseHead = true;
    std::string Name1, Name2;
    std::string Mail1, Mail2;
    int Land1 = 0, Land2 = 0;

    // PlayerText is the dialog's word for a player ("Spieler" / "Player"); the
    // default names are it followed by "1" and "2". LandCount is the length of
    // the dialog's country list. Indexes outside their lists take the default,
    // a stone count outside 3 to 8 is brought into that range.
    void Load(const std::string& PlayerText, int LandCount);
    // Writes all eleven keys; throws EIniFileException when that fails.
    void Save() const;
};

// The highscore server of section "internet". Without a "server" the built-in
// one is used; without a "page" the list page lies on the chosen server. A
// value that is not a host name with an optional port 1..65535 counts as none.
struct TInternetSettings {
    std::string Server;
    std::uint16_t Port = 80;
    std::string Page;

    void Load();
};

// "host", "host:port" or "[v6 address]:port" taken apart; false when it is
// none of these.
bool ParseServerAddress(std::string_view Text, std::string& Host, std::uint16_t& Port);

}  // namespace tessum

#include "game/uTSettings.h"

#include <algorithm>
#include <charconv>

#include "highscore/uINetConfig.h"
#include <memory>

namespace tessum {

namespace {

std::unique_ptr<TIniFile>& OpenFile() {
    static std::unique_ptr<TIniFile> file;
    return file;
}

bool SameAscii(std::string_view A, std::string_view B) {
    return std::equal(A.begin(), A.end(), B.begin(), B.end(), [](char x, char y) {
        auto low = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; };
        return low(x) == low(y);
    });
}

int IndexOrDefault(int Value, int Count, int Default) {
    return (Value >= 0 && Value < Count) ? Value : Default;
}

}  // namespace

std::string SettingsFilePath(std::string_view FileName) {
    return JoinPath(UserConfigFolder(), FileName.empty() ? std::string_view(SettingsFileName) : FileName);
}

void TTessumSettings::Load() {
    const TIniFile ini(SettingsFilePath());
    Sound = ini.ReadBool(SectionSettings, KeySound, true);
    // The three keys are read in this order and the last true one wins, so a
    // file that claims several kinds still gives exactly one.
    if (ini.ReadBool(SectionSettings, KeyHandAni, true)) Animation = AnimationHands;
    if (ini.ReadBool(SectionSettings, KeyStoneAni, false)) Animation = AnimationStones;
    if (ini.ReadBool(SectionSettings, KeyNoAni, false)) Animation = AnimationNone;
    Maximized = ini.ReadBool(SectionSettings, KeyMaximized, false);
    FullScreen = ini.ReadBool(SectionSettings, KeyFullScreen, false);
}

void TTessumSettings::Save() const {
    TIniFile ini(SettingsFilePath());
    ini.WriteBool(SectionSettings, KeySound, Sound);
    ini.WriteBool(SectionSettings, KeyHandAni, Animation == AnimationHands);
    ini.WriteBool(SectionSettings, KeyStoneAni, Animation == AnimationStones);
    ini.WriteBool(SectionSettings, KeyNoAni, Animation == AnimationNone);
    ini.WriteBool(SectionSettings, KeyMaximized, Maximized);
    // Written only once full screen has been used, so the files of everyone
    // else stay as they were.
    if (FullScreen || !ini.ReadString(SectionSettings, KeyFullScreen, "").empty())
        ini.WriteBool(SectionSettings, KeyFullScreen, FullScreen);
}

TIniFile* OpenSettingsFile(const std::string& FileName) {
    OpenFile() = std::make_unique<TIniFile>(SettingsFilePath(FileName));
    return OpenFile().get();
}

void CloseSettingsFile() { OpenFile().reset(); }

std::string ReadLanguage(std::string_view Default) {
    const std::string value =
        TIniFile(SettingsFilePath()).ReadString(SectionSettings, KeyLanguage, "");
    if (SameAscii(value, LanguageGerman)) return LanguageGerman;
    if (SameAscii(value, LanguageEnglish)) return LanguageEnglish;
    return std::string(Default);
}

void WriteLanguage(std::string_view Language) {
    TIniFile(SettingsFilePath()).WriteString(SectionSettings, KeyLanguage, Language);
}

void TNewGameSettings::Load(const std::string& PlayerText, int LandCount) {
    const TIniFile ini(SettingsFilePath());
    Difficulty = IndexOrDefault(ini.ReadInteger(SectionNewGame, KeyDifficulty, 0), LevelCount, 0);
    Mode = IndexOrDefault(ini.ReadInteger(SectionNewGame, KeyMode, 0), 3, 0);
    Variant = IndexOrDefault(ini.ReadInteger(SectionNewGame, KeyVariant, 0), 3, 0);
    Stones = std::clamp(ini.ReadInteger(SectionNewGame, KeyStones, 4), 3, 8);
    UseHead = ini.ReadBool(SectionNewGame, KeyUseHead, true);
    Name1 = ini.ReadString(SectionNewGame, KeyName1, PlayerText + "1");
    Name2 = ini.ReadString(SectionNewGame, KeyName2, PlayerText + "2");
    Mail1 = ini.ReadString(SectionNewGame, KeyMail1, "");
    Mail2 = ini.ReadString(SectionNewGame, KeyMail2, "");
    Land1 = IndexOrDefault(ini.ReadInteger(SectionNewGame, KeyLand1, 0), LandCount, 0);
    Land2 = IndexOrDefault(ini.ReadInteger(SectionNewGame, KeyLand2, 0), LandCount, 0);
}

void TNewGameSettings::Save() const {
    TIniFile ini(SettingsFilePath());
    ini.WriteInteger(SectionNewGame, KeyDifficulty, Difficulty);
    ini.WriteInteger(SectionNewGame, KeyMode, Mode);
    ini.WriteInteger(SectionNewGame, KeyVariant, Variant);
    ini.WriteInteger(SectionNewGame, KeyStones, Stones);
    ini.WriteBool(SectionNewGame, KeyUseHead, UseHead);
    ini.WriteString(SectionNewGame, KeyName1, Name1);
    ini.WriteString(SectionNewGame, KeyName2, Name2);
    ini.WriteString(SectionNewGame, KeyMail1, Mail1);
    ini.WriteString(SectionNewGame, KeyMail2, Mail2);
    ini.WriteInteger(SectionNewGame, KeyLand1, Land1);
    ini.WriteInteger(SectionNewGame, KeyLand2, Land2);
}

bool ParseServerAddress(std::string_view Text, std::string& Host, std::uint16_t& Port) {
    while (!Text.empty() && (Text.front() == ' ' || Text.front() == '\t')) Text.remove_prefix(1);
    while (!Text.empty() && (Text.back() == ' ' || Text.back() == '\t')) Text.remove_suffix(1);
    std::string_view host = Text;
    std::string_view port;
    if (!Text.empty() && Text.front() == '[') {
        const std::size_t close = Text.find(']');
        if (close == std::string_view::npos) return false;
        host = Text.substr(1, close - 1);
        const std::string_view rest = Text.substr(close + 1);
        if (!rest.empty()) {
            if (rest.front() != ':') return false;
            port = rest.substr(1);
            if (port.empty()) return false;
        }
    } else if (const std::size_t colon = Text.rfind(':'); colon != std::string_view::npos) {
        host = Text.substr(0, colon);
        port = Text.substr(colon + 1);
        if (port.empty()) return false;
    }
    if (host.empty()) return false;
    // A host name or address only: nothing that could bend the request line.
    for (const char c : host) {
        const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' ||
                        c == '-' || c == '_' || c == ':';
        if (!ok) return false;
    }
    unsigned value = 80;
    if (!port.empty()) {
        const auto r = std::from_chars(port.data(), port.data() + port.size(), value);
        if (r.ec != std::errc() || r.ptr != port.data() + port.size() || value == 0 || value > 65535) return false;
    }
    Host = std::string(host);
    Port = static_cast<std::uint16_t>(value);
    return true;
}

void TInternetSettings::Load() {
    const TIniFile ini(SettingsFilePath());
    Server = inetconfig::Server;
    Port = inetconfig::Port;
    Page = inetconfig::PageURL;
    const std::string server = ini.ReadString(SectionInternet, KeyServer, "");
    std::string host;
    std::uint16_t port = 80;
    if (ParseServerAddress(server, host, port)) {
        Server = host;
        Port = port;
        const bool v6 = host.find(':') != std::string::npos;
        Page = "http://" + (v6 ? "[" + host + "]" : host) + (port == 80 ? "" : ":" + std::to_string(port)) +
               inetconfig::PagePath;
    }
    const std::string page = ini.ReadString(SectionInternet, KeyPage, "");
    // Only web addresses: the page is handed to the desktop to open.
    if (page.rfind("http://", 0) == 0 || page.rfind("https://", 0) == 0) Page = page;
}

}  // namespace tessum

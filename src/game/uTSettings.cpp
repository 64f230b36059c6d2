#include "game/uTSettings.h"

#include <algorithm>
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
    return ProgramFile(FileName.empty() ? std::string_view(SettingsFileName) : FileName);
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
}

void TTessumSettings::Save() const {
    TIniFile ini(SettingsFilePath());
    ini.WriteBool(SectionSettings, KeySound, Sound);
    ini.WriteBool(SectionSettings, KeyHandAni, Animation == AnimationHands);
    ini.WriteBool(SectionSettings, KeyStoneAni, Animation == AnimationStones);
    ini.WriteBool(SectionSettings, KeyNoAni, Animation == AnimationNone);
    ini.WriteBool(SectionSettings, KeyMaximized, Maximized);
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
    Difficulty = IndexOrDefault(ini.ReadInteger(SectionNewGame, KeyDifficulty, 0), 3, 0);
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

}  // namespace tessum

#include "game/uTSettings.h"

#include "GameTestFolder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace tessum {
namespace {

using ::testing::HasSubstr;

class SettingsTest : public test::TProgramFolderTest {
protected:
    TTessumSettings Loaded() {
        TTessumSettings s;
        s.Load();
        return s;
    }
};

TEST_F(SettingsTest, ANewObjectIsAllOffAndAMissingFileGivesTheDefaults) {
    const TTessumSettings fresh;
    EXPECT_FALSE(fresh.Sound);
    EXPECT_FALSE(fresh.Maximized);
    EXPECT_EQ(fresh.Animation, AnimationNone);

    const TTessumSettings s = Loaded();
    EXPECT_TRUE(s.Sound);
    EXPECT_EQ(s.Animation, AnimationHands);
    EXPECT_FALSE(s.Maximized);
    EXPECT_FALSE(Exists("settings.ini"));
}

TEST_F(SettingsTest, TheLastTrueAnimationKeyWins) {
    struct Case {
        const char* keys;
        std::uint8_t expected;
    } cases[] = {
        {"handani=0\nstoneani=0\nnoani=0\n", AnimationNone},
        {"handani=1\nstoneani=1\nnoani=0\n", AnimationStones},
        {"handani=1\nstoneani=1\nnoani=1\n", AnimationNone},
        {"handani=0\nstoneani=1\nnoani=1\n", AnimationNone},
        {"noani=1\n", AnimationNone},
        {"handani=1\nstoneani=0\nnoani=0\n", AnimationHands},
        {"stoneani=1\n", AnimationStones},   // handani missing counts as true
        {"handani=0\n", AnimationNone},
        {"handani=junk\nstoneani=junk\nnoani=junk\n", AnimationHands},
    };
    for (const auto& c : cases) {
        WriteFile("settings.ini", std::string("[settings]\n") + c.keys);
        EXPECT_EQ(Loaded().Animation, c.expected) << c.keys;
    }
}

TEST_F(SettingsTest, GarbageValuesReadAsTheirDefaults) {
    WriteFile("settings.ini", "[settings]\nsound=5\nmaximized=0x1\n");
    EXPECT_TRUE(Loaded().Sound);
    EXPECT_TRUE(Loaded().Maximized);

    WriteFile("settings.ini", "[settings]\nsound=laut\nmaximized=ja\nhandani=\n");
    const TTessumSettings s = Loaded();
    EXPECT_TRUE(s.Sound);
    EXPECT_FALSE(s.Maximized);
    EXPECT_EQ(s.Animation, AnimationHands);

    WriteFile("settings.ini", std::string("\x00\xff\n[settings\nsound=0\n\x01=\x02\n", 25));
    EXPECT_FALSE(Loaded().Sound);
}

TEST_F(SettingsTest, SaveWritesOneKeyPerAnimationKind) {
    TTessumSettings s;
    s.Sound = false;
    s.Animation = AnimationStones;
    s.Maximized = true;
    s.Save();
    EXPECT_EQ(ReadFile("settings.ini"),
              "[settings]\nsound=0\nhandani=0\nstoneani=1\nnoani=0\nmaximized=1\n");

    for (bool sound : {false, true})
        for (bool maximized : {false, true})
            for (std::uint8_t ani : {AnimationNone, AnimationStones, AnimationHands}) {
                TTessumSettings out;
                out.Sound = sound;
                out.Maximized = maximized;
                out.Animation = ani;
                out.Save();
                const TTessumSettings in = Loaded();
                EXPECT_EQ(in.Sound, sound);
                EXPECT_EQ(in.Maximized, maximized);
                EXPECT_EQ(in.Animation, ani);
            }
}

TEST_F(SettingsTest, SaveLeavesLanguageAndNewGameChoicesAlone) {
    WriteFile("settings.ini",
              "[settings]\nlanguage=english\nsound=1\n\n[newgame]\nname1=Anna\nstones=6\n");
    TTessumSettings s = Loaded();
    s.Sound = false;
    s.Save();
    const std::string after = ReadFile("settings.ini");
    EXPECT_THAT(after, HasSubstr("language=english\nsound=0\n"));
    EXPECT_THAT(after, HasSubstr("[newgame]\nname1=Anna\nstones=6\n"));
    EXPECT_EQ(ReadLanguage("german"), "english");
}

TEST_F(SettingsTest, SaveIntoAnUnwritablePlaceNamesTheFile) {
    WriteFile("blocker", "");
    SetUserFolder(Path("blocker"));
    TTessumSettings s;
    try {
        s.Save();
        FAIL() << "save did not fail";
    } catch (const EIniFileException& e) {
        EXPECT_EQ(std::string(e.what()),
                  "nach " + Path("blocker") + "/settings.ini kann nicht geschrieben werden");
    }
    // Loading from there is no error: a missing file is an empty one.
    EXPECT_NO_THROW(s.Load());
    EXPECT_TRUE(s.Sound);
}

TEST_F(SettingsTest, TheOneOpenSettingsFileLiesInTheProgramFolder) {
    TIniFile* a = OpenSettingsFile();
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->FileName(), Path("settings.ini"));
    a->WriteString(SectionSettings, KeyLanguage, LanguageGerman);
    TIniFile* b = OpenSettingsFile("other.ini");
    EXPECT_EQ(b->FileName(), Path("other.ini"));
    CloseSettingsFile();
    CloseSettingsFile();  // closing twice is harmless
    EXPECT_EQ(ReadLanguage(""), "german");
}

TEST_F(SettingsTest, LanguageIsGermanOrEnglishOrNoChoice) {
    EXPECT_EQ(ReadLanguage(""), "");
    EXPECT_EQ(ReadLanguage("german"), "german");
    WriteLanguage("English");
    EXPECT_EQ(ReadLanguage(""), "english");
    WriteLanguage("french");
    EXPECT_EQ(ReadLanguage(""), "");
    // An empty value written by the language dialog asks again at the next start.
    WriteLanguage("");
    EXPECT_EQ(ReadLanguage(""), "");
    EXPECT_EQ(ReadLanguage("german"), "german");
    EXPECT_THAT(ReadFile("settings.ini"), HasSubstr("language=\n"));
}

TEST_F(SettingsTest, NewGameChoicesDefaultFromThePlayerWord) {
    TNewGameSettings g;
    g.Load("Spieler", 114);
    EXPECT_EQ(g.Difficulty, 0);
    EXPECT_EQ(g.Mode, 0);
    EXPECT_EQ(g.Variant, 0);
    EXPECT_EQ(g.Stones, 4);
    EXPECT_TRUE(g.UseHead);
    EXPECT_EQ(g.Name1, "Spieler1");
    EXPECT_EQ(g.Name2, "Spieler2");
    EXPECT_EQ(g.Mail1, "");
    EXPECT_EQ(g.Mail2, "");
    EXPECT_EQ(g.Land1, 0);
    EXPECT_EQ(g.Land2, 0);
}

TEST_F(SettingsTest, NewGameChoicesRoundTripAndGarbageIsTamed) {
    TNewGameSettings out;
    out.Difficulty = 2;
    out.Mode = 1;
    out.Variant = 1;
    out.Stones = 7;
    out.UseHead = false;
    out.Name1 = "J\xFCrgen";
    out.Name2 = "Computer 2";
    out.Mail1 = "j@example.org";
    out.Mail2 = "";
    out.Land1 = 22;
    out.Land2 = 113;
    out.Save();
    TNewGameSettings in;
    in.Load("Player", 114);
    EXPECT_EQ(in.Difficulty, 2);
    EXPECT_EQ(in.Mode, 1);
    EXPECT_EQ(in.Variant, 1);
    EXPECT_EQ(in.Stones, 7);
    EXPECT_FALSE(in.UseHead);
    EXPECT_EQ(in.Name1, out.Name1);
    EXPECT_EQ(in.Name2, "Computer 2");
    EXPECT_EQ(in.Mail1, out.Mail1);
    EXPECT_EQ(in.Mail2, "");
    EXPECT_EQ(in.Land1, 22);
    EXPECT_EQ(in.Land2, 113);

    WriteFile("settings.ini",
              "[newgame]\ndifficulty=4\nmode=-1\nvariant=zwei\nstones=0x6\n"
              "land1=114\nland2=0x7FFFFFFF\nusehead=0\n");
    in.Load("Player", 114);
    EXPECT_EQ(in.Difficulty, 0);
    EXPECT_EQ(in.Mode, 0);
    EXPECT_EQ(in.Variant, 0);
    EXPECT_EQ(in.Stones, 6);
    EXPECT_EQ(in.Land1, 0);
    EXPECT_EQ(in.Land2, 0);
    EXPECT_FALSE(in.UseHead);
    EXPECT_EQ(in.Name1, "Player1");

    WriteFile("settings.ini", "[newgame]\nstones=99\n");
    in.Load("Player", 114);
    EXPECT_EQ(in.Stones, 8);
    WriteFile("settings.ini", "[newgame]\nstones=-5\n");
    in.Load("Player", 114);
    EXPECT_EQ(in.Stones, 3);
}

TEST_F(SettingsTest, FullScreenIsRememberedOnceUsed) {
    TTessumSettings s;
    s.FullScreen = true;
    s.Save();
    EXPECT_TRUE(Loaded().FullScreen);
    s.FullScreen = false;
    s.Save();
    EXPECT_FALSE(Loaded().FullScreen);
    EXPECT_NE(ReadFile("settings.ini").find("fullscreen=0"), std::string::npos);
}

}  // namespace
}  // namespace tessum

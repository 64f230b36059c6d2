#include "game/uProfile.h"

#include "GameTestFolder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <climits>
#include <chrono>
#include <filesystem>
#include <unistd.h>

namespace tessum {
namespace {

using test::TProgramFolderTest;

class ProfileTest : public TProgramFolderTest {
protected:
    std::string Ini() const { return Path("test.ini"); }
};

TEST_F(ProfileTest, NamesMatchWithoutCaseAndBlanksAndQuotesDoNotCount) {
    WriteFile("test.ini",
              "; a comment = not a key\n"
              "[Settings]\n"
              "  Sound = 5  \n"
              "Name=\"  Anna \"\n"
              "Other='x'\n"
              "Half=\"open\n"
              "noequals\n"
              "[ NewGame ]\r\n"
              "Stones=6\r\n");
    TIniFile ini(Ini());
    EXPECT_EQ(ini.ReadString("settings", "SOUND", "d"), "5");
    EXPECT_EQ(ini.ReadString("SETTINGS", "name", "d"), "  Anna ");
    EXPECT_EQ(ini.ReadString("settings", "other", "d"), "x");
    EXPECT_EQ(ini.ReadString("settings", "half", "d"), "\"open");
    EXPECT_EQ(ini.ReadString("settings", "noequals", "d"), "d");
    EXPECT_EQ(ini.ReadString("settings", "; a comment", "d"), "d");
    EXPECT_EQ(ini.ReadString("newgame", "stones", "d"), "6");
    // A key belongs to its own section only.
    EXPECT_EQ(ini.ReadString("newgame", "sound", "d"), "d");
}

TEST_F(ProfileTest, MissingFileSectionOrKeyGiveDefaultAndCreateNothing) {
    TIniFile ini(Ini());
    EXPECT_EQ(ini.ReadString("settings", "sound", "dflt"), "dflt");
    EXPECT_EQ(ini.ReadInteger("settings", "sound", 7), 7);
    EXPECT_TRUE(ini.ReadBool("settings", "sound", true));
    EXPECT_FALSE(Exists("test.ini"));

    WriteFile("test.ini", "[other]\nsound=0\n[settings]\n");
    EXPECT_EQ(ini.ReadString("settings", "sound", "dflt"), "dflt");
    EXPECT_EQ(ini.ReadString("nosuch", "sound", "dflt"), "dflt");
    EXPECT_EQ(ini.ReadString("", "", "dflt"), "dflt");
}

TEST_F(ProfileTest, FirstWriteCreatesTheFile) {
    TIniFile ini(Ini());
    ini.WriteString("settings", "language", "english");
    ini.WriteBool("settings", "sound", true);
    EXPECT_EQ(ReadFile("test.ini"), "[settings]\nlanguage=english\nsound=1\n");
    EXPECT_EQ(ini.ReadString("Settings", "Language", ""), "english");
}

TEST_F(ProfileTest, WritingOneValueLeavesEverythingElseAsItWas) {
    const std::string before =
        "; written by hand\r\n"
        "[settings]\r\n"
        "Sound=1\r\n"
        "custom = keep me\r\n"
        "\r\n"
        "; about the next section\r\n"
        "[newgame]\r\n"
        "name1=Anna\r\n"
        "[mine]\r\n"
        "x=y\r\n";
    WriteFile("test.ini", before);
    TIniFile ini(Ini());
    ini.WriteBool("SETTINGS", "sound", false);   // existing key, other case
    ini.WriteString("settings", "noani", "1");   // new key in an existing section
    ini.WriteInteger("newgame", "stones", 5);    // new key in a section followed by another
    ini.WriteString("highscore", "last", "3");   // new section
    EXPECT_EQ(ReadFile("test.ini"),
              "; written by hand\r\n"
              "[settings]\r\n"
              "Sound=0\r\n"
              "custom = keep me\r\n"
              "noani=1\r\n"
              "\r\n"
              "; about the next section\r\n"
              "[newgame]\r\n"
              "name1=Anna\r\n"
              "stones=5\r\n"
              "[mine]\r\n"
              "x=y\r\n"
              "\r\n"
              "[highscore]\r\n"
              "last=3\r\n");
}

TEST_F(ProfileTest, OnlyTheFirstOfTwoSameNamedSectionsCounts) {
    WriteFile("test.ini", "[a]\nk=first\n[b]\n[A]\nk=second\nonly=here\n");
    TIniFile ini(Ini());
    EXPECT_EQ(ini.ReadString("a", "k", ""), "first");
    EXPECT_EQ(ini.ReadString("a", "only", "none"), "none");
    ini.WriteString("a", "k", "new");
    EXPECT_EQ(ReadFile("test.ini"), "[a]\nk=new\n[b]\n[A]\nk=second\nonly=here\n");
}

TEST_F(ProfileTest, LongValuesAreWrittenWholeAndReadIntoTheBuffer) {
    TIniFile ini(Ini());
    const std::string longValue(3000, 'v');
    ini.WriteString("s", "long", longValue);
    ini.WriteString("s", "after", "ok");
    EXPECT_EQ(ini.ReadString("s", "long", ""), std::string(ProfileBufferSize - 1, 'v'));
    EXPECT_EQ(ini.ReadString("s", "after", ""), "ok");
    const std::string exact(ProfileBufferSize - 1, 'w');
    ini.WriteString("s", "exact", exact);
    EXPECT_EQ(ini.ReadString("s", "exact", ""), exact);
}

TEST_F(ProfileTest, LineBreaksInAValueCannotInjectKeys) {
    TIniFile ini(Ini());
    ini.WriteString("newgame", "name1", "Eve\r\n[settings]\nsound=0");
    EXPECT_EQ(ini.ReadString("newgame", "name1", ""), "Eve  [settings] sound=0");
    EXPECT_EQ(ini.ReadString("settings", "sound", "none"), "none");
}

TEST_F(ProfileTest, EightBitTextsSurviveUnchanged) {
    TIniFile ini(Ini());
    const std::string name = "J\xFCrgen M\xE4\xDF";  // Windows-1252 umlauts and sharp s
    ini.WriteString("newgame", "name1", name);
    EXPECT_EQ(ini.ReadString("newgame", "name1", ""), name);
}

TEST(ProfileIntegers, DecimalHexAndGarbage) {
    struct Case {
        const char* text;
        int expected;
    } cases[] = {
        {"12", 12},        {"-3", -3},         {"+4", 4},           {" 7 ", 7},
        {"0x6", 6},        {"0X1f", 31},       {"0x00000010", 16},  {"0xFFFFFFFF", -1},
        {"0x", 99},        {"0x100000000", 99}, {"0xg", 99},        {"0x-1", 99},
        {"2147483647", INT_MAX}, {"-2147483648", INT_MIN},
        {"2147483648", 99}, {"-2147483649", 99}, {"99999999999999999999", 99},
        {"", 99},          {"-", 99},          {"abc", 99},         {"12abc", 99},
        {"1.5", 99},       {"$10", 99},        {"1 2", 99},
    };
    for (const auto& c : cases) EXPECT_EQ(ProfileTextToInt(c.text, 99), c.expected) << c.text;
}

TEST_F(ProfileTest, BooleansAreIntegersAndAnythingButZeroIsTrue) {
    WriteFile("test.ini", "[s]\nfive=5\nzero=0\nhexzero=0x0\nword=yes\nneg=-1\nempty=\n");
    TIniFile ini(Ini());
    EXPECT_TRUE(ini.ReadBool("s", "five", false));
    EXPECT_FALSE(ini.ReadBool("s", "zero", true));
    EXPECT_FALSE(ini.ReadBool("s", "hexzero", true));
    EXPECT_TRUE(ini.ReadBool("s", "neg", false));
    // Not a number: the default, whichever it is.
    EXPECT_TRUE(ini.ReadBool("s", "word", true));
    EXPECT_FALSE(ini.ReadBool("s", "word", false));
    EXPECT_TRUE(ini.ReadBool("s", "empty", true));
    ini.WriteBool("s", "five", false);
    EXPECT_FALSE(ini.ReadBool("s", "five", true));
    EXPECT_THAT(ReadFile("test.ini"), ::testing::HasSubstr("\nfive=0\n"));
}

TEST_F(ProfileTest, AFailedWriteRaisesTheMessageAndChangesNothing) {
    // A regular file where the folder should be defeats even the superuser.
    WriteFile("notafolder", "x");
    TIniFile blocked(Path("notafolder") + "/settings.ini");
    try {
        blocked.WriteString("settings", "sound", "1");
        FAIL() << "write did not fail";
    } catch (const EIniFileException& e) {
        EXPECT_EQ(std::string(e.what()),
                  "nach " + Path("notafolder") + "/settings.ini kann nicht geschrieben werden");
    }
    EXPECT_EQ(ReadFile("notafolder"), "x");

    // A settings file we cannot read must not be replaced by a file holding one key.
    std::filesystem::create_directory(Path("adir.ini"));
    EXPECT_THROW(TIniFile(Path("adir.ini")).WriteBool("s", "k", true), EIniFileException);
    EXPECT_TRUE(std::filesystem::is_directory(Path("adir.ini")));
}

TEST_F(ProfileTest, AReadOnlyFolderOrFileIsNotWritten) {
    if (geteuid() == 0) GTEST_SKIP() << "permissions do not bind the superuser";
    WriteFile("test.ini", "[s]\nk=old\n");
    std::filesystem::permissions(Path("test.ini"), std::filesystem::perms::owner_read);
    EXPECT_THROW(TIniFile(Ini()).WriteString("s", "k", "new"), EIniFileException);
    EXPECT_EQ(ReadFile("test.ini"), "[s]\nk=old\n");

    std::filesystem::permissions(folder_, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    EXPECT_THROW(TIniFile(Path("new.ini")).WriteString("s", "k", "v"), EIniFileException);
    EXPECT_FALSE(Exists("new.ini"));
}

TEST_F(ProfileTest, ValuesEndAtANulByte) {
    static const char text[] = "[s]\nname=Anna\0Bernd\nnum= 12\0 34\nquoted=\"ab\0cd\"\n";
    WriteFile("test.ini", std::string(text, sizeof text - 1));
    TIniFile ini(Ini());
    EXPECT_EQ(ini.ReadString("s", "name", "d"), "Anna");
    EXPECT_EQ(ini.ReadInteger("s", "num", 7), 12);
    EXPECT_EQ(ini.ReadString("s", "quoted", "d"), "\"ab");
    EXPECT_EQ(GetProfileString(Ini(), "s", "name", "d"), "Anna");
}

TEST(ProfileText, NamesTheFileCouldNotGiveBackAreRefused) {
    std::string content = "[s]\nk=1\n";
    for (const auto& [section, key] : {std::pair{"a]b", "k"}, std::pair{"s", ";k"}, std::pair{"s", "[k"},
                                       std::pair{"s", "k=v"}, std::pair{" ", "k"}}) {
        EXPECT_FALSE(SetProfileValue(content, section, key, "x")) << section << " " << key;
        EXPECT_EQ(content, "[s]\nk=1\n");
    }
    ASSERT_TRUE(SetProfileValue(content, " S ", " K ", "two\nlines"));
    EXPECT_EQ(content, "[s]\nk=two lines\n");
    EXPECT_EQ(ProfileValue(content, "s", "k", "d"), "two lines");
}

TEST_F(ProfileTest, AnOversizedFileGivesTheDefaultsAndStaysUntouched) {
    std::string big = "[settings]\nsound=0\n";
    big.append(MaxSettingsFileSize, ';');
    big += "\n";
    WriteFile("test.ini", big);
    TIniFile ini(Ini());
    EXPECT_TRUE(ini.ReadBool("settings", "sound", true));
    EXPECT_EQ(GetProfileString(Ini(), "settings", "sound", "d"), "d");
    EXPECT_THROW(ini.WriteBool("settings", "sound", true), EIniFileException);
    EXPECT_EQ(ReadFile("test.ini"), big);
    // Just within the bound it is an ordinary file.
    big.resize(MaxSettingsFileSize);
    WriteFile("test.ini", big);
    EXPECT_FALSE(ini.ReadBool("settings", "sound", true));
}

TEST_F(ProfileTest, OneOperationReadsTheFileOnceAndSeesLaterChanges) {
    std::string text = "[newgame]\n";
    for (int i = 0; i < 11; ++i) text += "key" + std::to_string(i) + "=" + std::to_string(i) + "\n";
    WriteFile("test.ini", text);
    // As a settings file is found at start-up: written long before.
    const auto past = std::filesystem::file_time_type::clock::now() - std::chrono::hours(1);
    std::filesystem::last_write_time(Ini(), past);
    const std::size_t before = ProfileFileReads();
    TIniFile ini(Ini());
    for (int i = 0; i < 11; ++i) EXPECT_EQ(ini.ReadInteger("newgame", "key" + std::to_string(i), -1), i);
    EXPECT_EQ(ProfileFileReads() - before, 1u);

    // Another program changes it: the next read sees the change.
    WriteFile("test.ini", "[newgame]\nkey0=9\n");
    std::filesystem::last_write_time(Ini(), past);
    EXPECT_EQ(ini.ReadInteger("newgame", "key0", -1), 9);
    // Our own write is seen as well.
    ini.WriteInteger("newgame", "key0", 5);
    EXPECT_EQ(ini.ReadInteger("newgame", "key0", -1), 5);
    EXPECT_EQ(TIniFile(Ini()).ReadInteger("newgame", "key0", -1), 5);
}

TEST_F(ProfileTest, ProtectedAndLinkedSettingsFilesKeepWhatTheUserSetUp) {
    WriteFile("real.ini", "[s]\nk=old\n");
    std::filesystem::create_symlink(Path("real.ini"), Ini());
    TIniFile(Ini()).WriteString("s", "k", "new");
    EXPECT_TRUE(std::filesystem::is_symlink(Ini()));
    EXPECT_EQ(ReadFile("real.ini"), "[s]\nk=new\n");
    // Write protection holds for every user, the superuser included.
    std::filesystem::permissions(Path("real.ini"), std::filesystem::perms::owner_read);
    EXPECT_THROW(TIniFile(Ini()).WriteString("s", "k", "newer"), EIniFileException);
    EXPECT_EQ(ReadFile("real.ini"), "[s]\nk=new\n");
}

}  // namespace
}  // namespace tessum

#include "highscore/uTHighscore.h"

#include <gtest/gtest.h>

#include <climits>
#include <clocale>

#include "archive/QDStreamCol.h"
#include "records/uStreamProcs.h"

using namespace tessum;

namespace {

// Points texts depend on a process-wide separator; every test starts from '.'.
class Highscore : public ::testing::Test {
protected:
    void SetUp() override { SetDecimalSeparator('.'); }
    void TearDown() override { ResetDecimalSeparator(); }
};

std::vector<std::string> Names(const TCustomHighscore& t) {
    std::vector<std::string> n;
    for (int i = 0; i < t.Count(); ++i) n.push_back(t.GetValueText("name", i));
    return n;
}

std::vector<std::uint8_t> Serialised(const TCustomHighscore& t) {
    TMemoryStream s;
    t.SaveToStream(s);
    return s.Bytes();
}

// Writes one game entry by hand, so loading is tested against the layout
// rather than against the writer.
void PutEntry(TStream& s, const std::string& name, int punkte, int gegner, int runden, bool ki, int zeit,
              const std::string& land, const std::string& email) {
    WriteString(s, name);
    WriteInteger(s, punkte);
    WriteInteger(s, gegner);
    WriteInteger(s, runden);
    WriteBoolean(s, ki);
    WriteInteger(s, zeit);
    WriteString(s, land);
    WriteString(s, email);
}

}  // namespace

TEST_F(Highscore, EmptyTableIsTwoBytesAndAnEntryIsTwentyThreePlusItsStrings) {
    THighscore t;
    EXPECT_EQ(Serialised(t), (std::vector<std::uint8_t>{0, 0}));
    t.AddScore("Anna", 125, 30, 18, 21, false, "a@b.de", "deutschland");
    TMemoryStream expected;
    WriteWord(expected, 1);
    PutEntry(expected, "Anna", 30, 18, 21, false, 125, "deutschland", "a@b.de");
    EXPECT_EQ(Serialised(t), expected.Bytes());
    EXPECT_EQ(Serialised(t).size(), 2u + 23 + 4 + 11 + 6);
}

TEST_F(Highscore, HigherShareRanksFirstAndEqualShareGoesToTheFasterPlayer) {
    THighscore t;
    EXPECT_EQ(t.AddScore("half-slow", 300, 24, 24, 10, false, "", "europa"), 0);
    EXPECT_EQ(t.AddScore("best", 900, 40, 8, 10, false, "", "europa"), 0);
    // 12 of 24 and 24 of 48 are the same share; time decides.
    EXPECT_EQ(t.AddScore("half-fast", 100, 12, 12, 10, false, "", "europa"), 1);
    EXPECT_EQ(t.AddScore("worst", 1, 0, 48, 10, false, "", "europa"), 3);
    EXPECT_EQ(Names(t), (std::vector<std::string>{"best", "half-fast", "half-slow", "worst"}));
    EXPECT_LT(CompareScores(t.Items(1), t.Items(2)), 0);
    EXPECT_GT(CompareScores(t.Items(2), t.Items(1)), 0);
    EXPECT_EQ(CompareScores(t.Items(0), t.Items(0)), 0);
}

TEST_F(Highscore, TableKeepsTwentyAndTheTwentyFirstLowestIsDropped) {
    THighscore t;
    for (int i = 0; i < 20; ++i) t.AddScore("p" + std::to_string(i), 100, 30 + i, 18, 10, false, "", "");
    ASSERT_EQ(t.Count(), 20);
    EXPECT_EQ(t.AddScore("low", 100, 1, 47, 10, false, "", ""), -1);
    EXPECT_EQ(t.Count(), 20);
    EXPECT_EQ(t.GetValueText("name", 19), "p0");
    // Same share as the last one, but faster: it pushes p0 out.
    EXPECT_EQ(t.AddScore("quick", 99, 30, 18, 10, false, "", ""), 19);
    EXPECT_EQ(t.Count(), 20);
    EXPECT_EQ(t.GetValueText("name", 19), "quick");
    // Same share and slower: stays out.
    EXPECT_EQ(t.AddScore("slow", 101, 30, 18, 10, false, "", ""), -1);
    EXPECT_EQ(t.AddScore("top", 100, 48, 0, 10, false, "", ""), 0);
    EXPECT_EQ(t.GetValueText("name", 19), "p1");
}

TEST_F(Highscore, FullTiesLandWhereTheQuicksortPutsThem) {
    // Worked through the partitioning by hand: each tie swaps the ends of
    // its range, so insertion order is not kept.
    THighscore t;
    EXPECT_EQ(t.AddScore("A", 60, 24, 24, 5, false, "", ""), 0);
    EXPECT_EQ(t.AddScore("B", 60, 24, 24, 5, false, "", ""), 0);
    EXPECT_EQ(Names(t), (std::vector<std::string>{"B", "A"}));
    EXPECT_EQ(t.AddScore("C", 60, 24, 24, 5, false, "", ""), 0);
    EXPECT_EQ(Names(t), (std::vector<std::string>{"C", "A", "B"}));
    EXPECT_EQ(t.AddScore("D", 60, 24, 24, 5, false, "", ""), 1);
    EXPECT_EQ(Names(t), (std::vector<std::string>{"B", "D", "C", "A"}));
    // A strictly better and a strictly worse entry around the ties.
    EXPECT_EQ(t.AddScore("W", 60, 1, 47, 5, false, "", ""), 4);
    EXPECT_EQ(t.AddScore("T", 60, 47, 1, 5, false, "", ""), 0);
    EXPECT_EQ(t.GetValueText("name", 0), "T");
    EXPECT_EQ(t.GetValueText("name", 5), "W");
}

TEST_F(Highscore, LoadingSortsUnsortedStreamsAndCutsThemToTwenty) {
    TMemoryStream s;
    WriteWord(s, 25);
    for (int i = 0; i < 25; ++i) PutEntry(s, "p" + std::to_string(i), 10 + i, 20, 3, i == 7, 50, "europa", "");
    s.SetPosition(0);
    THighscore t;
    t.AddScore("old", 1, 1, 1, 1, false, "", "");
    t.LoadFromStream(s);
    ASSERT_EQ(t.Count(), 20);
    EXPECT_EQ(t.GetValueText("name", 0), "p24");
    EXPECT_EQ(t.GetValueText("name", 19), "p5");
    for (int i = 0; i + 1 < t.Count(); ++i) EXPECT_LE(CompareScores(t.Items(i), t.Items(i + 1)), 0);
    EXPECT_EQ(t.GetValueText("ki", 17), "-1");  // p7
    EXPECT_EQ(t.GetValueText("ki", 0), "0");
}

TEST_F(Highscore, TruncatedOrOverclaimingStreamIsCorruptAndKeepsTheTable) {
    THighscore t;
    t.AddScore("keep", 10, 30, 18, 5, false, "k@x", "europa");
    const auto before = Serialised(t);

    TMemoryStream full;
    WriteWord(full, 2);
    PutEntry(full, "a", 30, 18, 5, false, 10, "europa", "");
    PutEntry(full, "b", 31, 17, 5, false, 10, "europa", "x");
    for (std::int64_t cut = 0; cut < full.Size(); ++cut) {
        TMemoryStream s(std::vector<std::uint8_t>(full.Bytes().begin(), full.Bytes().begin() + cut));
        EXPECT_THROW(t.LoadFromStream(s), ECorruptFile) << cut;
        ASSERT_EQ(Serialised(t), before) << cut;
    }

    TMemoryStream claim;
    WriteWord(claim, 65535);
    PutEntry(claim, "a", 30, 18, 5, false, 10, "europa", "");
    claim.SetPosition(0);
    try {
        t.LoadFromStream(claim);
        ADD_FAILURE() << "accepted";
    } catch (const ECorruptFile& e) {
        EXPECT_STREQ(e.what(), "File is corrupt.");
    }
    EXPECT_EQ(Serialised(t), before);
}

TEST_F(Highscore, TextsOfTheFields) {
    THighscore t;
    t.AddScore("Z\xFC", 3725, 32, 16, 17, true, "", "schweiz");
    t.AddScore("nil", 59, 0, 0, 0, false, "", "");
    t.AddScore("hour", 3600, 16, 32, 9, false, "", "");
    t.AddScore("long", 360000 + 61, 1, 2, 9, false, "", "");
    // 16 of 48 and 1 of 3 are the same share: the shorter time goes first.
    EXPECT_EQ(Names(t), (std::vector<std::string>{"Z\xFC", "hour", "long", "nil"}));
    EXPECT_EQ(t.GetValueText("punkte", 0), "66.67");
    EXPECT_EQ(t.GetValueText("zeit", 0), "01:02:05");
    EXPECT_EQ(t.GetValueText("runden", 0), "17");
    EXPECT_EQ(t.GetValueText("ki", 0), "-1");
    EXPECT_EQ(t.GetValueText("land", 0), "schweiz");
    EXPECT_EQ(t.GetValueText("email", 0), "");
    EXPECT_EQ(t.GetValueText("zeit", 1), "01:00:00");
    EXPECT_EQ(t.GetValueText("punkte", 1), "33.33");
    EXPECT_EQ(t.GetValueText("zeit", 2), "100:01:01");
    EXPECT_EQ(t.GetValueText("punkte", 3), "0.00");
    EXPECT_EQ(t.GetValueText("zeit", 3), "00:00:59");
    EXPECT_EQ(t.GetValueText("ki", 3), "0");
    // Field names are found whatever their case; unknown ones give nothing.
    EXPECT_EQ(t.GetValueText("Punkte", 0), "66.67");
    EXPECT_EQ(t.GetValueText("ZEIT", 0), "01:02:05");
    EXPECT_EQ(t.GetValueText("farbe", 0), "");
    EXPECT_THROW(t.GetValueText("name", 4), std::out_of_range);

    SetDecimalSeparator(',');
    EXPECT_EQ(t.GetValueText("punkte", 0), "66,67");
    EXPECT_EQ(t.GetValueText("punkte", 3), "0,00");
    EXPECT_EQ(FormatPercent(25, 48), "52,08");
    EXPECT_EQ(FormatPercent(5, 0), "0,00");
    SetDecimalSeparator('.');
    EXPECT_EQ(FormatPercent(48, 48), "100.00");
    EXPECT_EQ(FormatPercent(1, 8), "12.50");
}

TEST_F(Highscore, SeparatorFollowsTheCLocaleUntilSet) {
    ResetDecimalSeparator();
    EXPECT_EQ(DecimalSeparator(), std::localeconv()->decimal_point[0]);
    SetDecimalSeparator(',');
    EXPECT_EQ(DecimalSeparator(), ',');
}

TEST_F(Highscore, ExtremeStoredNumbersNeitherCrashNorBreakTheOrder) {
    TMemoryStream s;
    WriteWord(s, 4);
    PutEntry(s, "max", INT_MAX, INT_MAX, 0, false, INT_MAX, "", "");
    PutEntry(s, "neg", INT_MIN, 5, 0, false, INT_MIN, "", "");
    PutEntry(s, "cancel", 7, -7, 0, false, 0, "", "");
    PutEntry(s, "plain", 24, 24, 0, false, -5, "", "");
    s.SetPosition(0);
    THighscore t;
    t.LoadFromStream(s);
    ASSERT_EQ(t.Count(), 4);
    for (int i = 0; i + 1 < t.Count(); ++i) EXPECT_LE(CompareScores(t.Items(i), t.Items(i + 1)), 0);
    EXPECT_EQ(t.GetValueText("punkte", 3), "0.00");  // cancel: p + g = 0
    EXPECT_FALSE(t.GetValueText("zeit", 0).empty());
}

TEST_F(Highscore, FileNamesPerVariant) {
    EXPECT_EQ(HighscoreFileName("/opt/tessum", 1), "/opt/tessum/hs1.dat");
    EXPECT_EQ(HighscoreFileName("/opt/tessum/", 3), "/opt/tessum/hs3.dat");
    EXPECT_EQ(HighscoreFileName("", 2), "hs2.dat");
}

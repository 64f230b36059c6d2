#include "records/uTHistory.h"

#include <gtest/gtest.h>

#include "archive/QDStreamCol.h"
#include "records/uStreamProcs.h"

using namespace tessum;

namespace {

THistory Sample() {
    THistory h;
    h.Start("Anna", "J\xFCrgen", "anna@example.org", "", "deutschland", "schweiz", 2, true, 5, 3, 2, 1);
    h.AddMove(4, 9, 2);
    h.AddMove(7, 3, 1);
    h.AddMove(0, 0, 2);  // forced skip
    h.AddMove(12, 5, 1);
    return h;
}

std::vector<std::uint8_t> Serialised(const THistory& h) {
    TMemoryStream s;
    h.SaveToStream(s);
    return s.Bytes();
}

void ExpectSame(const THistory& a, const THistory& b) {
    EXPECT_EQ(Serialised(a), Serialised(b));
}

}  // namespace

TEST(History, CountsLeaveSkipsOutButSecondsKeepThem) {
    THistory h = Sample();
    EXPECT_EQ(h.Count(), 4);
    EXPECT_EQ(h.CountMoves(), 3);
    EXPECT_EQ(h.CountMovesOf(1), 2);
    EXPECT_EQ(h.CountMovesOf(2), 1);
    EXPECT_EQ(h.SumSeconds(1), 19);
    EXPECT_EQ(h.SumSeconds(2), 4);
    h.AddMove(30, 0, 2);
    EXPECT_EQ(h.SumSeconds(2), 34);
    EXPECT_EQ(h.CountMovesOf(2), 1);
    EXPECT_EQ(h.Items(2).Pit, 0);
    EXPECT_THROW(h.Items(5), std::out_of_range);
    EXPECT_THROW(h.Items(-1), std::out_of_range);
}

TEST(History, StartDropsMovesAndClearKeepsSettings) {
    THistory h = Sample();
    h.Clear();
    EXPECT_EQ(h.Count(), 0);
    EXPECT_EQ(h.Name2, "J\xFCrgen");
    EXPECT_EQ(h.StonesPerPit, 5);
    h.AddMove(1, 2, 1);
    h.Start("a", "b", "", "", "europa", "europa", 1, false, 3, 1, 1, 0);
    EXPECT_EQ(h.Count(), 0);
    EXPECT_EQ(h.Variant, 1);
    EXPECT_FALSE(h.UseEndPits);
}

TEST(History, EmptyRecordIsThirtyOneBytesInFieldOrder) {
    THistory h;
    h.Variant = 3;
    h.Level = 2;
    h.StartPlayer = 1;
    h.UseEndPits = true;
    h.StonesPerPit = 6;
    h.Mode = 2;
    const auto b = Serialised(h);
    ASSERT_EQ(b.size(), 31u);
    // Variant, Level, StartPlayer come before the one-byte settings.
    EXPECT_EQ(std::vector<std::uint8_t>(b.begin(), b.begin() + 15),
              (std::vector<std::uint8_t>{3, 0, 0, 0, 2, 0, 0, 0, 1, 0, 0, 0, 1, 6, 2}));
    for (std::size_t i = 15; i < 31; ++i) EXPECT_EQ(b[i], 0) << i;
}

TEST(History, EachMoveAddsNineBytesWithPlayerFirst) {
    THistory h;
    h.Name1 = "ab";
    h.AddMove(300, 13, 2);
    const auto b = Serialised(h);
    ASSERT_EQ(b.size(), 31u + 2 + 9);
    EXPECT_EQ(b[29], 1);  // C = 1 right after the six strings
    EXPECT_EQ(std::vector<std::uint8_t>(b.end() - 9, b.end()),
              (std::vector<std::uint8_t>{2, 0, 0, 0, 0x2C, 0x01, 0, 0, 13}));
}

TEST(History, RoundTripKeepsEverythingAndReplacesMovesOnReload) {
    const THistory h = Sample();
    TMemoryStream s;
    h.SaveToStream(s);
    THistory r;
    r.AddMove(99, 1, 1);
    s.SetPosition(0);
    r.LoadFromStream(s);
    ExpectSame(h, r);
    EXPECT_EQ(r.Name2, "J\xFCrgen");
    EXPECT_EQ(r.EMail2, "");
    EXPECT_EQ(r.Land1, "deutschland");
    EXPECT_EQ(r.Mode, 1);
    s.SetPosition(0);
    r.LoadFromStream(s);
    EXPECT_EQ(r.Count(), 4);  // not eight
}

TEST(History, LoadReadsAtTheCurrentPositionAndAnyNonOneByteIsFalse) {
    THistory h = Sample();
    TMemoryStream s;
    WriteInteger(s, 777);  // something in front of the record
    h.SaveToStream(s);
    s.Bytes()[4 + 12] = 2;  // UseEndPits stored as 2
    s.SetPosition(4);
    THistory r;
    r.LoadFromStream(s);
    EXPECT_FALSE(r.UseEndPits);
    EXPECT_EQ(r.Count(), 4);
    EXPECT_EQ(s.Position(), s.Size());
}

TEST(History, NonPositiveCountGivesNoMoves) {
    THistory h;
    TMemoryStream s;
    h.SaveToStream(s);
    s.Bytes()[27] = 0xFF;
    s.Bytes()[28] = 0xFF;
    s.Bytes()[29] = 0xFF;
    s.Bytes()[30] = 0xFF;  // C = -1
    s.SetPosition(0);
    THistory r = Sample();
    r.LoadFromStream(s);
    EXPECT_EQ(r.Count(), 0);
    EXPECT_EQ(r.Variant, 0);
}

TEST(History, TruncatedStreamIsCorruptAndLeavesTheHistoryUntouched) {
    const THistory good = Sample();
    const auto full = Serialised(good);
    THistory other;
    other.Start("x", "y", "", "", "europa", "europa", 1, false, 4, 1, 1, 0);
    other.AddMove(1, 1, 1);
    const auto before = Serialised(other);
    // Every cut, from empty to one byte short, must be refused.
    for (std::size_t cut = 0; cut < full.size(); ++cut) {
        TMemoryStream s(std::vector<std::uint8_t>(full.begin(), full.begin() + static_cast<long>(cut)));
        EXPECT_THROW(other.LoadFromStream(s), ECorruptFile) << cut;
        ASSERT_EQ(Serialised(other), before) << cut;
    }
}

TEST(History, HugeMoveCountIsRefusedBeforeAnythingIsAppended) {
    THistory h;
    TMemoryStream s;
    h.SaveToStream(s);
    s.Bytes()[27] = 0xFF;
    s.Bytes()[28] = 0xFF;
    s.Bytes()[29] = 0xFF;
    s.Bytes()[30] = 0x7F;  // two billion entries claimed, none present
    s.SetPosition(0);
    try {
        h.LoadFromStream(s);
        FAIL() << "accepted";
    } catch (const ECorruptFile& e) {
        EXPECT_STREQ(e.what(), "File is corrupt.");
    }
    EXPECT_EQ(h.Count(), 0);
}

TEST(History, SavedGameNamesGetTheExtensionUnlessTheyHaveIt) {
    EXPECT_EQ(WithSavedGameExtension("game"), "game.tsm");
    EXPECT_EQ(WithSavedGameExtension("game.txt"), "game.txt.tsm");
    EXPECT_EQ(WithSavedGameExtension("/a/GAME.TSM"), "/a/GAME.TSM");
    EXPECT_EQ(WithSavedGameExtension("x.Tsm"), "x.Tsm");
    EXPECT_EQ(WithSavedGameExtension("tsm"), "tsm.tsm");
}

#include "game/uTUndoList.h"

#include <gtest/gtest.h>

using namespace tessum;

namespace {

THistory Record(int32_t Variant, int32_t StartPlayer, std::uint8_t Mode) {
    THistory History;
    History.Start("Anna", "Bert", "", "", "europa", "europa", Variant, true, 4, 4, StartPlayer, Mode);
    return History;
}

// Plays Pits (0 for a skip) on the record's board and records them.
void Play(THistory& History, std::initializer_list<int> Pits) {
    TFeld Board;
    std::vector<TReplayNote> Lines;
    ASSERT_TRUE(ReplayRecord(History, 0, History.Count(), Board, Lines));
    for (int Pit : Pits) {
        History.AddMove(3, static_cast<std::uint8_t>(Pit), Board.Player);
        if (Pit == 0) {
            ASSERT_TRUE(Board.MustSkip());
            Board.Skip();
        } else {
            ASSERT_TRUE(Board.IsLegalMove(Pit)) << Pit;
            Board.DoMove(Pit);
        }
    }
}

}  // namespace

TEST(UndoList, AgainstTheComputerTheReplyGoesWithThePersonsMove) {
    const auto ComputerIsSide1 = [](int32_t Side) { return Side == 1; };
    THistory History = Record(1, 1, 1);
    EXPECT_EQ(TUndoList::UndoPoint(History, ComputerIsSide1), -1);
    Play(History, {1});  // the computer opened; the person has not moved yet
    EXPECT_EQ(TUndoList::UndoPoint(History, ComputerIsSide1), -1);
    Play(History, {8, 2, 9, 3});
    EXPECT_EQ(TUndoList::UndoPoint(History, ComputerIsSide1), 3);

    TUndoList Undo;
    const std::vector<TMove> Full = History.Moves;
    ASSERT_TRUE(Undo.Undo(History, ComputerIsSide1));
    EXPECT_EQ(History.Count(), 3);
    ASSERT_TRUE(Undo.Undo(History, ComputerIsSide1));
    EXPECT_EQ(History.Count(), 1);
    EXPECT_FALSE(Undo.Undo(History, ComputerIsSide1));
    EXPECT_TRUE(Undo.CanRedo());
    ASSERT_TRUE(Undo.Redo(History));
    EXPECT_EQ(History.Count(), 3);
    ASSERT_TRUE(Undo.Redo(History));
    ASSERT_EQ(History.Count(), 5);
    for (int I = 0; I < 5; ++I) {
        EXPECT_EQ(History.Items(I).Pit, Full[static_cast<std::size_t>(I)].Pit);
        EXPECT_EQ(History.Items(I).Player, Full[static_cast<std::size_t>(I)].Player);
        EXPECT_EQ(History.Items(I).Seconds, Full[static_cast<std::size_t>(I)].Seconds);
    }
    EXPECT_FALSE(Undo.Redo(History));
}

TEST(UndoList, BetweenPeopleEachMoveGoesAloneAndAForcedSkipStaysWithTheMoveBefore) {
    THistory History = Record(2, 1, 0);
    TUndoList Undo;
    Play(History, {3, 10});
    EXPECT_EQ(TUndoList::UndoPoint(History, nullptr), 1);
    ASSERT_TRUE(Undo.Undo(History, nullptr));
    EXPECT_EQ(History.Count(), 1);
    // A new move after an undo: what was taken back is gone.
    Play(History, {11});
    Undo.Clear();
    EXPECT_FALSE(Undo.CanRedo());

    THistory Skips = Record(1, 1, 0);
    Skips.Moves = {{0, 6, 1}, {0, 0, 2}, {0, 5, 1}};
    EXPECT_EQ(TUndoList::UndoPoint(Skips, nullptr), 2);
    Skips.Moves.pop_back();
    // Only the skip is left after the first move: undo takes both.
    EXPECT_EQ(TUndoList::UndoPoint(Skips, nullptr), 0);
}

TEST(UndoList, AReplayWritesTheLinesTheGameWrote) {
    // Variant 1 with 3 stones, side 2 bare after side 1 empties its row.
    THistory History = Record(1, 1, 0);
    History.StonesPerPit = 3;
    TFeld Board;
    std::vector<TReplayNote> Lines;
    // Play a game to its end with the first legal pit, recording skips.
    ASSERT_TRUE(ReplayRecord(History, 0, 0, Board, Lines));
    std::vector<TReplayNote> Expected;
    bool WillWinShown = false;
    while (!Board.IsGameOver()) {
        if (Board.MustSkip()) {
            Expected.push_back({TReplayNote::MustSkip, Board.Player});
            History.AddMove(1, 0, Board.Player);
            Board.Skip();
        } else {
            int Pit = PitIndex(Board.Player, 1);
            while (!Board.IsLegalMove(Pit)) ++Pit;
            History.AddMove(1, static_cast<std::uint8_t>(Pit), Board.Player);
            Board.DoMove(Pit);
            if (!WillWinShown && Board.WillWin() != 0) {
                Expected.push_back({TReplayNote::WillWin, Board.WillWin()});
                WillWinShown = true;
            }
        }
    }
    Expected.push_back({TReplayNote::End, 0});

    TFeld Replayed;
    ASSERT_TRUE(ReplayRecord(History, 0, History.Count(), Replayed, Lines));
    EXPECT_EQ(Replayed.Pits, Board.Pits);
    EXPECT_EQ(Replayed.Player, Board.Player);
    EXPECT_EQ(Lines, Expected);
    // Lines from a later entry on: those of the earlier entries are left out.
    ASSERT_TRUE(ReplayRecord(History, History.Count() - 1, History.Count(), Replayed, Lines));
    ASSERT_FALSE(Lines.empty());
    EXPECT_EQ(Lines.back(), (TReplayNote{TReplayNote::End, 0}));

    // An entry that does not replay stops it.
    History.Moves.insert(History.Moves.begin(), TMove{0, 14, 1});
    EXPECT_FALSE(ReplayRecord(History, 0, History.Count(), Replayed, Lines));
}

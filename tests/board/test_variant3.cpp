#include "BoardTestUtil.h"
#include "board/uTFeld.h"

#include <gtest/gtest.h>

using namespace tessum;
using namespace tessum::test;

TEST(Variant3, EndingInTheOwnEndPitEarnsOneExtraMoveOnly) {
    TFeld Board = MakeBoard(3, true, {{4, 4, 4, 4, 4, 1}, 0, {4, 4, 4, 4, 4, 4}, 0});
    Board.DoMove(6);
    EXPECT_EQ(Board.Store1(), 1);
    EXPECT_EQ(Board.Player, 1);
    EXPECT_EQ(Board.MovesThisTurn, 1);
    Board.DoMove(3);  // 4 stones: 4, 5, 6, 7 again
    EXPECT_EQ(Board.Store1(), 2);
    EXPECT_EQ(Board.Player, 2);
    EXPECT_EQ(Board.MovesThisTurn, 0);
}

TEST(Variant3, AnEmptyOwnPitCapturesTheOppositePitAndKeepsTheLastStone) {
    TFeld Board = MakeBoard(3, false, {{1, 0, 4, 4, 4, 4}, 0, {4, 4, 4, 4, 6, 4}, 0});
    Board.DoMove(1);
    EXPECT_EQ(Board.Pits[2], 1);
    EXPECT_EQ(Board.Pits[12], 0);
    EXPECT_EQ(Board.Store1(), 6);
    EXPECT_EQ(Board.Player, 1);
    EXPECT_EQ(Board.MovesThisTurn, 1);
}

TEST(Variant3, AnEmptyOppositePitCapturesNothingButStillGivesTheExtraMove) {
    TFeld Board = MakeBoard(3, false, {{1, 0, 4, 4, 4, 4}, 0, {4, 4, 4, 4, 0, 4}, 0});
    std::vector<TEvent> Log;
    Record(Board, Log);
    Board.DoMove(1);
    EXPECT_EQ(Board.Pits[2], 1);
    EXPECT_EQ(Board.Store1(), 0);
    EXPECT_EQ(CountKind(Log, 'e'), 0);
    EXPECT_EQ(Board.Player, 1);
}

TEST(Variant3, TheTurnPassesOnAnOccupiedOwnPitOrTheOtherSide) {
    TFeld Occupied = MakeBoard(3, false, {{1, 2, 4, 4, 4, 4}, 0, {4, 4, 4, 4, 4, 4}, 0});
    Occupied.DoMove(1);
    EXPECT_EQ(Occupied.Pits[2], 3);
    EXPECT_EQ(Occupied.Player, 2);

    TFeld OtherRow = MakeBoard(3, false, {{4, 4, 4, 4, 4, 2}, 0, {0, 0, 4, 4, 4, 4}, 0});
    OtherRow.DoMove(6);  // 8, 9: an empty pit, but not the mover's
    EXPECT_EQ(OtherRow.Pits[9], 1);
    EXPECT_EQ(OtherRow.Store1(), 0);
    EXPECT_EQ(OtherRow.Player, 2);

    TFeld OtherEnd = MakeBoard(3, true, {{4, 4, 4, 4, 4, 4}, 0, {4, 4, 4, 4, 4, 2}, 0}, 2);
    OtherEnd.Pits[6] = 8;  // 7..14: the last stone in side 2's end pit
    OtherEnd.Player = 1;
    OtherEnd.DoMove(6);
    EXPECT_EQ(OtherEnd.Store2(), 1);
    EXPECT_EQ(OtherEnd.Player, 2);
}

TEST(Variant3, ThinRowsAtTheEndOfATurnGoToTheSideThatJustMoved) {
    TFeld Board = MakeBoard(3, false, {{0, 0, 0, 1, 0, 2}, 10, {0, 0, 0, 0, 1, 0}, 10});
    std::vector<TEvent> Log;
    Record(Board, Log);
    Board.DoMove(4);  // into 5, which faces 9 (empty): extra move, nothing swept yet
    ASSERT_EQ(Board.Player, 1);
    EXPECT_EQ(Board.Store1(), 10);
    Board.DoMove(6);  // 6 -> 8, 9: the turn passes with 1 + 3 stones on the rows
    EXPECT_EQ(Board.Player, 2);
    EXPECT_EQ(Board.Store1(), 14);
    EXPECT_EQ(Board.Store2(), 10);
    EXPECT_EQ(Board.OwnSideSum() + Board.OtherSideSum(), 0);
    EXPECT_TRUE(Board.IsGameOver());
    EXPECT_EQ(CountKind(Log, 'c'), 4);
    EXPECT_EQ(CountKind(Log, 'x'), 1);
}

TEST(Variant3, ASkipAlsoSweepsThinRowsToTheSkippingSide) {
    TFeld Board = MakeBoard(3, true, {{0, 0, 0, 0, 0, 0}, 20, {0, 0, 1, 1, 0, 0}, 2});
    ASSERT_TRUE(Board.MustSkip());
    Board.Skip();
    EXPECT_EQ(Board.Player, 2);
    EXPECT_EQ(Board.Store1(), 22);
    EXPECT_EQ(Board.Store2(), 2);
    EXPECT_TRUE(Board.IsGameOver());
}

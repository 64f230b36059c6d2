#include "BoardTestUtil.h"
#include "board/uTFeld.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace tessum;
using namespace tessum::test;

TEST(Variant2, AFourOnTheOtherRowGoesToItsOwnerWhileStonesRemain) {
    TFeld Board = MakeBoard(2, false, {{2, 2, 2, 2, 4, 1}, 0, {3, 1, 1, 2, 2, 2}, 0});
    std::vector<TEvent> Log;
    Record(Board, Log);
    Board.DoMove(5);  // 6, 8 (makes four with two stones to go), 9, 10
    EXPECT_EQ(Board.Pits[8], 0);
    EXPECT_EQ(Board.Store2(), 4);
    EXPECT_EQ(Board.Store1(), 0);
    EXPECT_EQ(Board.Pits[9], 2);
    EXPECT_EQ(Board.Pits[10], 2);
    EXPECT_EQ(Board.Player, 2);
    EXPECT_EQ(CountKind(Log, 'c'), 1);
    EXPECT_EQ(CountKind(Log, 'x'), 1);
    EXPECT_EQ(CountKind(Log, 'e'), 0);
}

TEST(Variant2, AFourMadeByTheLastStoneGoesToTheMover) {
    TFeld Board = MakeBoard(2, false, {{2, 2, 2, 2, 3, 1}, 0, {2, 3, 1, 1, 1, 1}, 0});
    std::vector<TEvent> Log;
    Record(Board, Log);
    Board.DoMove(5);  // 6, 8, 9 (four with the last stone)
    EXPECT_EQ(Board.Pits[9], 0);
    EXPECT_EQ(Board.Store1(), 4);
    EXPECT_EQ(Board.Store2(), 0);
    EXPECT_EQ(CountKind(Log, 'c'), 0);
    const TEvent Store{'e', true, 7, 1, 4};
    EXPECT_NE(std::find(Log.begin(), Log.end(), Store), Log.end());
}

TEST(Variant2, AFourOnTheMoversRowGoesToTheMoverMidSowing) {
    TFeld Board = MakeBoard(2, false, {{3, 3, 0, 0, 2, 2}, 0, {2, 2, 2, 2, 2, 2}, 0});
    Board.DoMove(1);  // 2 (four, two to go), 3, 4
    EXPECT_EQ(Board.Pits[2], 0);
    EXPECT_EQ(Board.Pits[3], 1);
    EXPECT_EQ(Board.Pits[4], 1);
    EXPECT_EQ(Board.Store1(), 4);
    EXPECT_EQ(Board.Hand, 0);
    EXPECT_EQ(Board.Player, 2);
}

TEST(Variant2, SowingStopsAtTheStartPitAndForfeitsTheRest) {
    TFeld Off = MakeBoard(2, false, {{13, 0, 0, 0, 0, 0}, 0, {1, 1, 1, 1, 1, 1}, 0});
    Off.DoMove(1);
    EXPECT_EQ(Off.Pits[1], 1) << "the 12th stone falls back into the start pit";
    for (int32_t Pit = 2; Pit <= 6; ++Pit) EXPECT_EQ(Off.Pits[Pit], 1);
    for (int32_t Pit = 8; Pit <= 13; ++Pit) EXPECT_EQ(Off.Pits[Pit], 2);
    EXPECT_EQ(Off.Store1(), 0);
    EXPECT_EQ(Off.Store2(), 1);
    EXPECT_EQ(Off.Player, 2);

    // With end pits on the ring is 14 long; an end pit reaching four keeps its stones.
    TFeld On = MakeBoard(2, true, {{14, 0, 0, 0, 0, 0}, 3, {0, 0, 0, 0, 0, 0}, 0});
    On.DoMove(1);
    EXPECT_EQ(On.Pits[1], 1);
    EXPECT_EQ(On.Store1(), 4);
    EXPECT_EQ(On.Store2(), 1);
    EXPECT_EQ(On.Hand, 0);
    EXPECT_EQ(On.Player, 2);
}

TEST(Variant2, ClosingSweepWithEndPitsOffGivesEverythingToTheMover) {
    TFeld Board = MakeBoard(2, false, {{0, 0, 0, 0, 0, 1}, 10, {1, 0, 0, 0, 0, 1}, 11});
    Board.DoMove(6);
    EXPECT_EQ(Board.Store1(), 13);
    EXPECT_EQ(Board.Store2(), 11);
    EXPECT_EQ(Board.OwnSideSum() + Board.OtherSideSum(), 0);
    EXPECT_EQ(Board.Player, 1) << "the sweep keeps the turn";
    EXPECT_EQ(Board.MovesThisTurn, 1);
    EXPECT_TRUE(Board.IsGameOver());
}

TEST(Variant2, NoClosingSweepWhenEndPitsAreInPlay) {
    TFeld Board = MakeBoard(2, true, {{0, 0, 0, 0, 0, 1}, 10, {1, 0, 0, 0, 0, 1}, 11});
    Board.DoMove(6);  // into pit 7
    EXPECT_EQ(Board.Store1(), 11);
    EXPECT_EQ(Board.Pits[8], 1);
    EXPECT_EQ(Board.Pits[13], 1);
    EXPECT_EQ(Board.Player, 2);
}

#include "BoardTestUtil.h"
#include "board/uTFeld.h"

#include <gtest/gtest.h>

using namespace tessum;
using namespace tessum::test;

TEST(Variant1, LastStoneAloneOnTheOtherRowCapturesNothing) {
    TFeld Board = MakeBoard(1, false, {{3, 3, 3, 3, 3, 2}, 0, {0, 0, 3, 3, 3, 3}, 0});
    Board.DoMove(6);
    EXPECT_EQ(Board.Pits[6], 0);
    EXPECT_EQ(Board.Pits[7], 0) << "end pits are out of play";
    EXPECT_EQ(Board.Pits[8], 1);
    EXPECT_EQ(Board.Pits[9], 1);
    EXPECT_EQ(Board.Store1(), 0);
    EXPECT_EQ(Board.Store2(), 0);
    EXPECT_EQ(Board.Player, 2);
    EXPECT_EQ(Board.MovesThisTurn, 0);
}

TEST(Variant1, LastStoneInAnEmptyOwnPitTakesItAndTheOppositePit) {
    // Pit 2 sows into 3 and 4; 4 is empty and faces pit 10 with 5 stones.
    TFeld Board = MakeBoard(1, true, {{1, 2, 1, 0, 1, 1}, 0, {1, 1, 5, 1, 1, 1}, 0});
    std::vector<TEvent> Log;
    Record(Board, Log);
    Board.DoMove(2);
    EXPECT_EQ(Board.Store1(), 6);
    EXPECT_EQ(Board.Pits[4], 0);
    EXPECT_EQ(Board.Pits[10], 0);
    EXPECT_EQ(Board.Pits[3], 2);
    EXPECT_EQ(Board.Player, 2);
    const std::vector<TEvent> Expected = {
        {'t', true, 2, 1, 2},  {'t', false, 2, 1, 2}, {'s', true, 3, 1, 1},  {'s', false, 3, 1, 1},
        {'s', true, 4, 1, 1},  {'s', false, 4, 1, 1}, {'t', true, 4, 1, 1},  {'t', false, 4, 1, 1},
        {'t', true, 10, 1, 5}, {'t', false, 10, 1, 5}, {'e', true, 7, 1, 6}, {'e', false, 7, 1, 6},
    };
    EXPECT_EQ(Log, Expected);
}

TEST(Variant1, LastStoneInAnEmptyOwnPitFacingNothingStillTakesTheLoneStone) {
    TFeld Board = MakeBoard(1, false, {{1, 0, 2, 2, 2, 2}, 0, {2, 2, 2, 2, 0, 2}, 0});
    Board.DoMove(1);
    EXPECT_EQ(Board.Pits[2], 0);
    EXPECT_EQ(Board.Store1(), 1);
    EXPECT_EQ(Board.Player, 2);
}

TEST(Variant1, LastStoneInAnOccupiedPitRelaysItsStones) {
    // 1 -> 2,3 (3 now holds 2) -> relay 3 -> 4,5 (5 empty, faces 9 with 2).
    TFeld Board = MakeBoard(1, false, {{2, 0, 1, 0, 0, 3}, 0, {0, 2, 2, 2, 2, 2}, 0});
    std::vector<TEvent> Log;
    Record(Board, Log);
    Board.DoMove(1);
    EXPECT_EQ(CountKind(Log, 't'), 4) << "start, relay, lone stone, opposite pit";
    EXPECT_EQ(Board.Pits[1], 0);
    EXPECT_EQ(Board.Pits[2], 1);
    EXPECT_EQ(Board.Pits[3], 0);
    EXPECT_EQ(Board.Pits[4], 1);
    EXPECT_EQ(Board.Pits[5], 0);
    EXPECT_EQ(Board.Pits[9], 0);
    EXPECT_EQ(Board.Store1(), 3);
    EXPECT_EQ(Board.Player, 2);
}

TEST(Variant1, ALapEndingInEitherEndPitEndsTheTurn) {
    // Own end pit.
    TFeld Own = MakeBoard(1, true, {{2, 2, 2, 2, 2, 1}, 0, {2, 2, 2, 2, 2, 2}, 0});
    Own.DoMove(6);
    EXPECT_EQ(Own.Store1(), 1);
    EXPECT_EQ(Own.Player, 2);
    // The opponent's end pit, reached by the last stone of the first lap.
    TFeld Other = MakeBoard(1, true, {{2, 2, 2, 2, 2, 2}, 0, {2, 2, 2, 2, 2, 1}, 0}, 2);
    Other.Pits[1] = 2;
    Other.Pits[13] = 0;
    Other.Pits[12] = 2;
    Other.Pits[11] = 3;
    // Side 2 plays pit 11 (3 stones) to 12, 13, 14.
    Other.DoMove(11);
    EXPECT_EQ(Other.Store2(), 1);
    EXPECT_EQ(Other.Pits[13], 1);
    EXPECT_EQ(Other.Player, 1);
    // And side 1 sowing into side 2's end pit with end pits on.
    TFeld Far = MakeBoard(1, true, {{2, 2, 2, 2, 2, 8}, 0, {2, 2, 2, 2, 2, 2}, 0});
    Far.DoMove(6);
    EXPECT_EQ(Far.Store1(), 1);
    EXPECT_EQ(Far.Store2(), 1);
    EXPECT_EQ(Far.Pits[13], 3);
    EXPECT_EQ(Far.Player, 2);
}

TEST(Variant1, WithEndPitsOffSowingPassesOverThem) {
    TFeld Board = MakeBoard(1, false, {{1, 1, 1, 1, 1, 13}, 0, {1, 1, 1, 1, 1, 1}, 0});
    std::vector<TEvent> Log;
    Record(Board, Log);
    Board.DoMove(6);
    for (const TEvent& E : Log) {
        if (E.Kind == 's') {
            EXPECT_FALSE(IsEndPit(E.Pit));
        }
    }
    EXPECT_EQ(Board.Store1() + Board.Store2() + Board.OwnSideSum() + Board.OtherSideSum(), 24);
}

// Found by search: from pit 1 the relay comes round forever, so only the lap
// limit ends the move.
TEST(Variant1, ANeverEndingRelayStopsAtTheLapLimitAndPassesTheTurn) {
    TFeld Board = MakeBoard(1, false, {{2, 4, 1, 0, 4, 0}, 0, {2, 1, 0, 1, 0, 1}, 0});
    std::vector<TEvent> Log;
    Record(Board, Log);
    Board.DoMove(1);
    EXPECT_EQ(CountKind(Log, 't'), MaxRelayLaps);
    EXPECT_EQ(CountKind(Log, 'e'), 0) << "the cut-off lap captures nothing";
    EXPECT_EQ(Board.Player, 2);
    EXPECT_EQ(Board.Hand, 0);
    EXPECT_EQ(Board.TotalStones(), 16);
}

#include "BoardTestUtil.h"
#include "board/uTFeld.h"

#include <gtest/gtest.h>

using namespace tessum;
using namespace tessum::test;

TEST(Geometry, PitHelpersRejectEverythingOutsideTheRows) {
    for (int32_t Pit : {-1, 0, 7, 14, 15, 100}) {
        EXPECT_EQ(PitNumber(Pit), -1) << Pit;
        EXPECT_EQ(PitOwner(Pit), -1) << Pit;
        EXPECT_EQ(OppositePit(Pit), 0) << Pit;
    }
    for (int32_t Side : {0, 3, -1}) EXPECT_EQ(OtherPlayer(Side), 0);
    EXPECT_EQ(OtherPlayer(1), 2);
    EXPECT_EQ(OtherPlayer(2), 1);
}

TEST(Geometry, RowNumbersAndOppositesRoundTrip) {
    for (int32_t Side = 1; Side <= 2; ++Side) {
        for (int32_t N = 1; N <= 6; ++N) {
            const int32_t Pit = PitIndex(Side, N);
            EXPECT_EQ(PitNumber(Pit), N);
            EXPECT_EQ(PitOwner(Pit), Side);
            EXPECT_EQ(SideOfPit(Pit), Side);
            const int32_t Across = OppositePit(Pit);
            EXPECT_EQ(PitOwner(Across), OtherPlayer(Side));
            EXPECT_EQ(OppositePit(Across), Pit);
        }
    }
    EXPECT_EQ(OppositePit(1), 13);
    EXPECT_EQ(OppositePit(6), 8);
    EXPECT_EQ(SideOfPit(7), 1);
    EXPECT_EQ(SideOfPit(14), 2);
}

TEST(Board, FreshBoardIsEmptyAndHasNoMoves) {
    TFeld Board;
    EXPECT_EQ(Board.TotalStones(), 0);
    EXPECT_EQ(Board.Player, 0);
    EXPECT_EQ(Board.Variant, 0);
    EXPECT_FALSE(Board.UseEndPits);
    EXPECT_EQ(Board.StonesPerPit, 0);
    for (int32_t Pit = 0; Pit <= 15; ++Pit) EXPECT_FALSE(Board.IsLegalMove(Pit));
    EXPECT_FALSE(Board.OnBeforeSow);
    // Playing on it must neither crash nor invent stones.
    Board.Skip();
    Board.DoMove(1);
    EXPECT_EQ(Board.TotalStones(), 0);
}

TEST(Board, ResetLaysOutTheOpeningAndKeepsSettings) {
    TFeld Board;
    Board.StonesPerPit = 4;
    Board.Variant = 2;
    Board.UseEndPits = true;
    Board.CurrentPit = 9;
    Board.Hand = 3;
    Board.Captured = 2;
    Board.MovesThisTurn = 1;
    Board.Pits[7] = 11;
    Board.Reset();
    for (int32_t Pit = 1; Pit <= 14; ++Pit) EXPECT_EQ(Board.Pits[Pit], IsEndPit(Pit) ? 0 : 4) << Pit;
    EXPECT_EQ(Board.Player, 1);
    EXPECT_EQ(Board.Hand, 0);
    EXPECT_EQ(Board.Captured, 0);
    EXPECT_EQ(Board.MovesThisTurn, 0);
    EXPECT_EQ(Board.TotalStones(), 48);
    EXPECT_EQ(Board.CurrentPit, 9);
    EXPECT_EQ(Board.Variant, 2);
    EXPECT_TRUE(Board.UseEndPits);
}

TEST(Board, LegalMovesAreTheMoversNonEmptyPitsOnly) {
    TFeld Board = MakeBoard(3, true, {{0, 2, 0, 0, 0, 1}, 0, {1, 1, 1, 1, 1, 1}, 0});
    for (int32_t Pit : {-1, 0, 7, 14, 15}) EXPECT_FALSE(Board.IsLegalMove(Pit)) << Pit;
    for (int32_t Pit = 8; Pit <= 13; ++Pit) EXPECT_FALSE(Board.IsLegalMove(Pit)) << Pit;
    EXPECT_TRUE(Board.IsLegalMove(2));
    EXPECT_TRUE(Board.IsLegalMove(6));
    EXPECT_FALSE(Board.IsLegalMove(1));
    EXPECT_FALSE(Board.MustSkip());
}

TEST(Board, SkipAndGameOverFollowTheRows) {
    TFeld Board = MakeBoard(1, true, {{0, 0, 0, 0, 0, 0}, 10, {0, 0, 2, 0, 0, 0}, 10});
    EXPECT_TRUE(Board.MustSkip());
    EXPECT_FALSE(Board.IsGameOver());
    EXPECT_EQ(Board.Player, 1) << "IsGameOver must not leave the other side to move";
    Board.Skip();
    EXPECT_EQ(Board.Player, 2);
    EXPECT_FALSE(Board.MustSkip());
    // A skip while a move exists is refused.
    const TFeld Before = Board;
    Board.Skip();
    EXPECT_EQ(Board.Player, 2);
    EXPECT_EQ(Board.Pits, Before.Pits);

    TFeld Empty = MakeBoard(1, true, {{}, 12, {}, 12});
    EXPECT_TRUE(Empty.IsGameOver());
}

TEST(Board, IllegalMoveChangesNothingAndNotifiesNobody) {
    TFeld Board = MakeBoard(1, false, {{0, 1, 2, 3, 4, 5}, 0, {5, 4, 3, 2, 1, 0}, 0});
    std::vector<TEvent> Log;
    Record(Board, Log);
    const TFeld Before = Board;
    for (int32_t Pit : {0, 1, 7, 8, 14, 15, -3}) Board.DoMove(Pit);
    EXPECT_TRUE(Log.empty());
    EXPECT_EQ(Board.Pits, Before.Pits);
    EXPECT_EQ(Board.Player, 1);
    EXPECT_EQ(Board.MovesThisTurn, 0);
}

TEST(Board, WillWinNeedsStrictlyMoreThanHalf) {
    TFeld Board = MakeBoard(1, true, {{1, 1, 1, 1, 1, 1}, 24, {1, 1, 1, 1, 1, 1}, 18});  // 4 per pit
    ASSERT_EQ(Board.StonesPerPit, 4);
    EXPECT_EQ(Board.WillWin(), 0);
    Board.Pits[7] = 25;
    EXPECT_EQ(Board.WillWin(), 1);
    Board.Pits[7] = 20;
    Board.Pits[14] = 25;
    EXPECT_EQ(Board.WillWin(), 2);
}

TEST(Board, SideSumsFollowThePlayer) {
    TFeld Board = MakeBoard(1, true, {{1, 2, 3, 0, 0, 0}, 0, {0, 0, 0, 0, 0, 10}, 0});
    EXPECT_EQ(Board.OwnSideSum(), 6);
    EXPECT_EQ(Board.OtherSideSum(), 10);
    Board.Player = 2;
    EXPECT_EQ(Board.OwnSideSum(), 10);
    EXPECT_EQ(Board.OtherSideSum(), 6);
    EXPECT_EQ(Board.StoreOf(0), 0);
    EXPECT_EQ(Board.StoreOf(3), 0);
}

TEST(Board, AssignCopiesThePositionButKeepsTheTargetsObservers) {
    TFeld Game;
    std::vector<TEvent> Log;
    Record(Game, Log);
    TFeld Loaded = MakeBoard(3, true, {{0, 0, 0, 0, 0, 1}, 5, {2, 0, 0, 0, 0, 0}, 4}, 1);
    Loaded.MovesThisTurn = 1;
    Loaded.CurrentPit = 3;
    Game.Assign(Loaded);
    EXPECT_EQ(Game.Pits, Loaded.Pits);
    EXPECT_EQ(Game.Variant, 3);
    EXPECT_TRUE(Game.UseEndPits);
    EXPECT_EQ(Game.StonesPerPit, Loaded.StonesPerPit);
    EXPECT_EQ(Game.MovesThisTurn, 1);
    EXPECT_EQ(Game.CurrentPit, 3);
    ASSERT_TRUE(Game.OnBeforeSow);
    Game.DoMove(6);
    EXPECT_FALSE(Log.empty());

    // Copies are scratch boards: playing on them must not reach the game's observers.
    Log.clear();
    TFeld Copy = Game;
    EXPECT_FALSE(Copy.OnBeforeSow);
    Copy.Player = 2;
    Copy.DoMove(8);
    TFeld Preview;
    Preview = Game;
    Preview.Player = 2;
    Preview.DoMove(8);
    EXPECT_TRUE(Log.empty());
}

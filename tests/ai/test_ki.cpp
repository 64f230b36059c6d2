#include "board/uTFeld.h"
#include "ai/uTKI.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <random>
#include <set>
#include <vector>

using namespace tessum;

namespace {

TFeld Position(int32_t Variant, bool UseEndPits, std::array<int32_t, 14> Pits, int32_t Player) {
    TFeld Board;
    Board.Variant = Variant;
    Board.UseEndPits = UseEndPits;
    Board.Player = Player;
    for (int32_t Pit = 1; Pit <= 14; ++Pit) Board.Pits[Pit] = Pits[static_cast<std::size_t>(Pit - 1)];
    Board.StonesPerPit = static_cast<uint8_t>(Board.TotalStones() / 12);
    return Board;
}

TFeld Opening(int32_t Variant, bool UseEndPits, int32_t Stones, int32_t Player = 1) {
    TFeld Board;
    Board.Variant = Variant;
    Board.UseEndPits = UseEndPits;
    Board.StonesPerPit = static_cast<uint8_t>(Stones);
    Board.Reset();
    Board.Player = Player;
    return Board;
}

// Plain minimax over the end-pit difference, written independently of the tree.
int32_t Minimax(const TFeld& Board, int32_t Depth) {
    std::vector<int32_t> Values;
    for (int32_t N = 1; N <= 6; ++N) {
        const int32_t Pit = PitIndex(Board.Player, N);
        if (!Board.IsLegalMove(Pit)) continue;
        TFeld Next = Board;
        Next.DoMove(Pit);
        Values.push_back(Depth > 0 ? Minimax(Next, Depth - 1) : Next.Store1() - Next.Store2());
    }
    if (Values.empty()) return Board.Store1() - Board.Store2();
    return Board.Player == 1 ? *std::max_element(Values.begin(), Values.end())
                             : *std::min_element(Values.begin(), Values.end());
}

// The row numbers whose move reaches the best minimax value at Depth.
std::set<int32_t> BestMoves(const TFeld& Board, int32_t Depth) {
    std::map<int32_t, int32_t> Value;
    for (int32_t N = 1; N <= 6; ++N) {
        const int32_t Pit = PitIndex(Board.Player, N);
        if (!Board.IsLegalMove(Pit)) continue;
        TFeld Next = Board;
        Next.DoMove(Pit);
        Value[N] = Depth > 0 ? Minimax(Next, Depth - 1) : Next.Store1() - Next.Store2();
    }
    std::set<int32_t> Best;
    if (Value.empty()) return Best;
    int32_t Target = Value.begin()->second;
    for (const auto& [N, V] : Value) Target = Board.Player == 1 ? std::max(Target, V) : std::min(Target, V);
    for (const auto& [N, V] : Value)
        if (V == Target) Best.insert(N);
    return Best;
}

// Side 2 to move in variant 1: row 1 captures 3, rows 3 and 5 capture 5 each.
TFeld ThreeCaptures() { return Position(1, false, {4, 0, 4, 0, 2, 0, 0, 1, 0, 1, 0, 1, 0, 0}, 2); }

}  // namespace

TEST(ChooseMove, NoLegalMoveGivesZeroAndTheOnlyMoveIsAlwaysTaken) {
    TFeld Stuck = Position(3, true, {0, 0, 0, 0, 0, 0, 20, 0, 0, 3, 0, 0, 0, 1}, 1);
    TKI Ki(Stuck);
    for (int32_t Level = 0; Level <= 4; ++Level) {
        Ki.Level = Level;
        EXPECT_EQ(Ki.ChooseMove(), 0) << Level;
    }
    TKI Unbound;
    Unbound.Level = 3;
    EXPECT_EQ(Unbound.ChooseMove(), 0);

    TFeld Single = Position(1, true, {0, 0, 0, 5, 0, 0, 10, 1, 1, 1, 1, 1, 1, 3}, 1);
    TKI Only(Single);
    for (int32_t Level = 0; Level <= 3; ++Level) {
        Only.Level = Level;
        for (int Trial = 0; Trial < 5; ++Trial) EXPECT_EQ(Only.ChooseMove(), 4) << Level;
    }
}

TEST(ChooseMove, LeavesTheBoardAndItsObserversUntouched) {
    TFeld Board = Opening(1, true, 6);
    int Notified = 0;
    Board.OnBeforeSow = [&](int32_t, int32_t, int32_t) { ++Notified; };
    Board.OnAfterTake = [&](int32_t, int32_t, int32_t) { ++Notified; };
    const TFeld Before = Board;
    TKI Ki(Board);
    Ki.Level = 3;
    const int32_t Move = Ki.ChooseMove();
    EXPECT_GE(Move, 1);
    EXPECT_LE(Move, 6);
    EXPECT_EQ(Notified, 0);
    EXPECT_EQ(Board.Pits, Before.Pits);
    EXPECT_EQ(Board.Player, Before.Player);
    EXPECT_EQ(Board.CurrentPit, Before.CurrentPit);
    EXPECT_EQ(Board.MovesThisTurn, Before.MovesThisTurn);
}

TEST(ChooseMove, TiesAreBrokenEvenlyAndTheWorseMoveIsNeverTaken) {
    TFeld Board = ThreeCaptures();
    ASSERT_EQ(BestMoves(Board, 0), (std::set<int32_t>{3, 5}));
    SeedSearchRandom(12345);
    TKI Ki(Board);
    for (int32_t Level : {1, 0, 7}) {
        Ki.Level = Level;
        std::map<int32_t, int> Seen;
        constexpr int Trials = 2000;
        for (int Trial = 0; Trial < Trials; ++Trial) ++Seen[Ki.ChooseMove()];
        EXPECT_EQ(Seen.size(), 2u) << "level " << Level;
        EXPECT_NEAR(Seen[3], Trials / 2, Trials / 10) << "level " << Level;
        EXPECT_NEAR(Seen[5], Trials / 2, Trials / 10) << "level " << Level;
    }
}

TEST(ChooseMove, CallsInQuickSuccessionStillVaryWithoutAFixedSeed) {
    // Reseeding from a coarse clock would repeat the same choice within one tick.
    TFeld Board = ThreeCaptures();
    TKI Ki(Board);
    Ki.Level = 1;
    std::set<int32_t> Seen;
    for (int Trial = 0; Trial < 64; ++Trial) Seen.insert(Ki.ChooseMove());
    EXPECT_EQ(Seen, (std::set<int32_t>{3, 5}));
}

TEST(ChooseMove, AFixedSeedRepeatsTheSameChoices) {
    TFeld Board = Opening(3, true, 4);
    TKI Ki(Board);
    Ki.Level = 2;
    auto Play = [&] {
        SeedSearchRandom(99);
        std::vector<int32_t> Choices;
        for (int Trial = 0; Trial < 30; ++Trial) Choices.push_back(Ki.ChooseMove());
        return Choices;
    };
    EXPECT_EQ(Play(), Play());
}

TEST(ChooseMove, LevelTwoRefusesAGainThatTheReplyPunishes) {
    // Side 1, variant 1, end pits off. Row 1 wins a stone at once but leaves
    // the three stones of pit 4 facing pit 10, where side 2's lone stone in
    // pit 9 lands next and takes them; row 4 sows them out of reach.
    TFeld Board = Position(1, false, {1, 0, 0, 3, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0}, 1);
    const std::set<int32_t> Greedy = BestMoves(Board, 0);
    const std::set<int32_t> Deep = BestMoves(Board, 2);
    ASSERT_FALSE(Greedy.empty());
    for (int32_t N : Greedy) ASSERT_EQ(Deep.count(N), 0u) << "the position does not show the trap";
    SeedSearchRandom(5);
    TKI Ki(Board);
    Ki.Level = 1;
    EXPECT_EQ(Ki.ChooseMove(), 1);
    ASSERT_EQ(Deep, (std::set<int32_t>{4}));
    Ki.Level = 2;
    for (int Trial = 0; Trial < 20; ++Trial) EXPECT_EQ(Ki.ChooseMove(), 4);
}

TEST(ChooseMove, EveryChoiceIsMinimaxOptimalInRandomPositions) {
    std::mt19937 Rng(31337);
    SeedSearchRandom(31337);
    int Traps = 0;
    for (int Case = 0; Case < 300; ++Case) {
        const int32_t Variant = 1 + Case % 3;
        TFeld Board = Opening(Variant, Case % 2 == 0, 3 + Case % 6, 1 + (Case / 3) % 2);
        // Walk a few random moves into the game.
        const int Steps = static_cast<int>(Rng() % 20);
        for (int Step = 0; Step < Steps && !Board.IsGameOver(); ++Step) {
            if (Board.MustSkip()) {
                Board.Skip();
                continue;
            }
            int32_t Pit;
            do Pit = PitIndex(Board.Player, 1 + static_cast<int32_t>(Rng() % 6));
            while (!Board.IsLegalMove(Pit));
            Board.DoMove(Pit);
        }
        if (Board.MustSkip()) continue;
        TKI Ki(Board);
        for (int32_t Level = 1; Level <= 2; ++Level) {
            Ki.Level = Level;
            const std::set<int32_t> Best = BestMoves(Board, TKI::DepthOfLevel(Level));
            const int32_t Move = Ki.ChooseMove();
            ASSERT_EQ(Best.count(Move), 1u) << "case " << Case << " level " << Level << " chose " << Move;
        }
        const std::set<int32_t> Greedy = BestMoves(Board, 0), Deep = BestMoves(Board, 2);
        if (std::none_of(Greedy.begin(), Greedy.end(), [&](int32_t N) { return Deep.count(N) > 0; })) ++Traps;
    }
    EXPECT_GT(Traps, 0) << "no position where looking ahead matters; the test proves little";
}

TEST(StochNode, TreeDepthFollowsTheLevelAndLeavesSitAtTheBottom) {
    EXPECT_EQ(TKI::DepthOfLevel(1), 0);
    EXPECT_EQ(TKI::DepthOfLevel(2), 2);
    EXPECT_EQ(TKI::DepthOfLevel(3), 4);
    EXPECT_EQ(TKI::DepthOfLevel(0), 0);
    EXPECT_EQ(TKI::DepthOfLevel(-1), 0);

    TFeld Board = Opening(1, true, 4);
    TStochNode Root;
    Root.Expand(Board, 2);
    std::function<int(const TStochNode&, int)> Check = [&](const TStochNode& Node, int Level) {
        int Count = 1;
        EXPECT_EQ(Node.IsLeaf, Level == 3 || (Level > 0 && Node.Children.empty() && Node.IsLeaf));
        for (const auto& Child : Node.Children) {
            EXPECT_EQ(Child->Parent, &Node);
            EXPECT_EQ(Child->Mover, Node.SideToMove);
            EXPECT_GE(Child->Move, 1);
            EXPECT_LE(Child->Move, 6);
            Count += Check(*Child, Level + 1);
        }
        return Count;
    };
    EXPECT_EQ(Root.Children.size(), 6u);
    EXPECT_GT(Check(Root, 0), 1 + 6 + 6);
    Root.ClearChildren();
    EXPECT_TRUE(Root.Children.empty());
}

TEST(StochNode, AnExtraMoveKeepsTheSideAndItsChildrenAreOrderedForIt) {
    // Variant 3, end pits on: row 6 (one stone) lands in side 1's own end pit.
    TFeld Board = Position(3, true, {1, 2, 3, 1, 2, 1, 0, 2, 2, 2, 2, 2, 2, 0}, 1);
    TStochNode Root;
    Root.Expand(Board, 1);
    ASSERT_EQ(Root.SideToMove, 1);
    const auto It = std::find_if(Root.Children.begin(), Root.Children.end(),
                                 [](const auto& Child) { return Child->Move == 6; });
    ASSERT_NE(It, Root.Children.end());
    TStochNode& Extra = **It;
    EXPECT_EQ(Extra.Mover, 1);
    EXPECT_EQ(Extra.SideToMove, 1) << "the extra move belongs to the same side";
    ASSERT_GT(Extra.Children.size(), 1u);
    for (const auto& Grand : Extra.Children) EXPECT_EQ(Grand->Mover, 1);

    Extra.Evaluate();
    for (std::size_t I = 1; I < Extra.Children.size(); ++I) {
        const int32_t Prev = Extra.Children[I - 1]->Score1 - Extra.Children[I - 1]->Score2;
        const int32_t Next = Extra.Children[I]->Score1 - Extra.Children[I]->Score2;
        EXPECT_GE(Prev, Next) << "side 1's best continuation must come first";
    }
    EXPECT_EQ(Extra.Score1 - Extra.Score2, Extra.Children.front()->Score1 - Extra.Children.front()->Score2);

    // A node where side 2 moved sorts the other way round.
    TStochNode Parent;
    for (int32_t D : {1, -4, 3, -4, 0}) {
        Parent.Children.push_back(std::make_unique<TStochNode>(&Parent));
        Parent.Children.back()->Mover = 2;
        Parent.Children.back()->Score1 = 10 + D;
        Parent.Children.back()->Score2 = 10;
        Parent.Children.back()->Move = static_cast<int32_t>(Parent.Children.size());
    }
    EXPECT_EQ(Parent.CountBest(), 2);
    EXPECT_EQ(Parent.Children.front()->Score1 - Parent.Children.front()->Score2, -4);
    EXPECT_EQ(Parent.Children.back()->Score1 - Parent.Children.back()->Score2, 3);
    Parent.Evaluate();
    EXPECT_TRUE(Parent.BestMove == 2 || Parent.BestMove == 4);
}

#include "board/uTFeld.h"
#include "ai/uTMaster.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <random>
#include <set>
#include <thread>

using namespace tessum;
using namespace std::chrono_literals;

namespace {

TFeld Position(int32_t Variant, bool UseEndPits, std::array<int32_t, 14> Pits, int32_t Player) {
    TFeld Board;
    Board.Variant = Variant;
    Board.UseEndPits = UseEndPits;
    Board.Player = Player;
    for (int32_t Pit = 1; Pit <= 14; ++Pit) Board.Pits[Pit] = Pits[static_cast<std::size_t>(Pit - 1)];
    Board.StonesPerPit = static_cast<uint8_t>(std::max(1, Board.TotalStones() / 12));
    return Board;
}

TFeld Opening(int32_t Variant, bool UseEndPits, int32_t Stones) {
    TFeld Board;
    Board.Variant = Variant;
    Board.UseEndPits = UseEndPits;
    Board.StonesPerPit = static_cast<uint8_t>(Stones);
    Board.Reset();
    return Board;
}

// Solves a position to the end of the game by plain minimax with a memo,
// written without anything of the master's search. Skips are played on, as
// the game does. Gives nothing when a line can run round in a circle, so
// that no true value exists for a finite search to find.
class TSolver {
public:
    // Value for Board.Player of the finished game: its end pit minus the other's.
    std::optional<int32_t> Value(const TFeld& Board) {
        if (Board.IsGameOver()) return Board.StoreOf(Board.Player) - Board.StoreOf(OtherPlayer(Board.Player));
        const auto Key = KeyOf(Board);
        if (auto Known = Memo.find(Key); Known != Memo.end()) return Known->second;
        if (!OnPath.insert(Key).second) return std::nullopt;
        std::optional<int32_t> Best;
        for (const TFeld& Next : Successors(Board)) {
            const auto Found = Value(Next);
            if (!Found) {
                OnPath.erase(Key);
                return std::nullopt;
            }
            const int32_t Mine = Next.Player == Board.Player ? *Found : -*Found;
            if (!Best || Mine > *Best) Best = Mine;
        }
        OnPath.erase(Key);
        Memo[Key] = Best;
        return Best;
    }

    // Row numbers whose move reaches the position's value.
    std::set<int32_t> BestRows(const TFeld& Board) {
        std::set<int32_t> Rows;
        const auto Best = Value(Board);
        for (int32_t N = 1; N <= 6; ++N) {
            if (!Board.IsLegalMove(PitIndex(Board.Player, N))) continue;
            TFeld Next = Board;
            Next.DoMove(PitIndex(Board.Player, N));
            const auto V = Value(Next);
            if (V && (Next.Player == Board.Player ? *V : -*V) == *Best) Rows.insert(N);
        }
        return Rows;
    }

private:
    static std::vector<TFeld> Successors(const TFeld& Board) {
        std::vector<TFeld> Out;
        if (Board.MustSkip()) {
            Out.push_back(Board);
            Out.back().Skip();
            return Out;
        }
        for (int32_t N = 1; N <= 6; ++N) {
            if (!Board.IsLegalMove(PitIndex(Board.Player, N))) continue;
            Out.push_back(Board);
            Out.back().DoMove(PitIndex(Board.Player, N));
        }
        return Out;
    }
    static std::vector<int32_t> KeyOf(const TFeld& Board) {
        std::vector<int32_t> Key(Board.Pits.begin(), Board.Pits.end());
        Key.push_back(Board.Player);
        Key.push_back(Board.MovesThisTurn);
        return Key;
    }

    std::map<std::vector<int32_t>, std::optional<int32_t>> Memo;
    std::set<std::vector<int32_t>> OnPath;
};

// A position late in a game: a few stones left on the rows, the rest shared
// out between the end pits.
TFeld LateGame(std::mt19937_64& Rng, int32_t Variant, bool UseEndPits, int32_t InPlay) {
    std::array<int32_t, 14> Pits{};
    for (int32_t Stone = 0; Stone < InPlay; ++Stone) {
        int32_t Pit;
        do Pit = static_cast<int32_t>(Rng() % 14) + 1;
        while (IsEndPit(Pit));
        ++Pits[static_cast<std::size_t>(Pit - 1)];
    }
    const int32_t Stored = 48 - InPlay;
    Pits[6] = static_cast<int32_t>(Rng() % static_cast<uint64_t>(Stored + 1));
    Pits[13] = Stored - Pits[6];
    TFeld Board = Position(Variant, UseEndPits, Pits, static_cast<int32_t>(Rng() % 2) + 1);
    Board.StonesPerPit = 4;
    return Board;
}

}  // namespace

TEST(Master, NothingToChooseNeedsNoSearch) {
    TMaster Master(10);
    // Side 1 has no stones: it must skip.
    TMasterResult Result = Master.Search(Position(1, true, {0, 0, 0, 0, 0, 0, 20, 1, 1, 0, 0, 0, 0, 26}, 1));
    EXPECT_EQ(Result.Move, 0);
    EXPECT_TRUE(Result.BestMoves.empty());
    // One stone in pit 4: the only move, taken at once.
    Result = Master.Search(Position(3, true, {0, 0, 0, 1, 0, 0, 20, 1, 1, 0, 0, 0, 0, 25}, 1));
    EXPECT_EQ(Result.Move, 4);
    EXPECT_EQ(Result.Depth, 0);
    // A board with nobody to move, as a fresh TFeld has.
    EXPECT_EQ(Master.Search(TFeld{}).Move, 0);
}

namespace {

// Searches Board and compares value, exactness and every best move with the
// solver's. Gives the number of best moves, or 0 when there was nothing to
// compare: a circular line without a true value, or a single legal move.
std::size_t CompareWithTruth(TMaster& Master, const TFeld& Board, const std::string& Where, int32_t* Depth = nullptr) {
    SCOPED_TRACE(Where);
    TSolver Solver;
    const auto Truth = Solver.Value(Board);
    if (!Truth) return 0;
    const TMasterResult Result = Master.Search(Board);
    const std::set<int32_t> Rows = Solver.BestRows(Board);
    if (Rows.size() == 1 && Result.Depth == 0) {
        EXPECT_EQ(Result.Move, *Rows.begin());
        return 0;
    }
    EXPECT_TRUE(Result.Exact);
    EXPECT_EQ(Result.Value, *Truth);
    EXPECT_EQ(std::set<int32_t>(Result.BestMoves.begin(), Result.BestMoves.end()), Rows);
    EXPECT_TRUE(Rows.count(Result.Move));
    if (Depth) *Depth = Result.Depth;
    return Rows.size();
}

}  // namespace

TEST(Master, LateInTheGameItPlaysPerfectlyAndKnowsEveryEqualMove) {
    // One master for all positions, so that what its table keeps from one
    // search must not spoil the next.
    TMaster Master(16);
    Master.Budget = 10s;
    std::mt19937_64 Rng(2026);
    int32_t Checked = 0, WithTies = 0;
    for (int32_t Variant = 1; Variant <= 3; ++Variant) {
        for (bool UseEndPits : {true, false}) {
            for (int32_t Trial = 0; Trial < 40; ++Trial) {
                const TFeld Board = LateGame(Rng, Variant, UseEndPits, 3 + Trial % 6);
                if (Board.MustSkip()) continue;
                const std::size_t Best =
                    CompareWithTruth(Master, Board,
                                     "variant " + std::to_string(Variant) + (UseEndPits ? " with" : " without") +
                                         " end pits, trial " + std::to_string(Trial));
                Checked += Best > 0;
                WithTies += Best > 1;
            }
        }
    }
    // Enough positions, and enough with several best moves, to mean something.
    EXPECT_GT(Checked, 120);
    EXPECT_GT(WithTies, 20);
}

TEST(Master, ATableFarTooSmallStillGivesTrueValues) {
    // Longer endings, deep enough for the table to be used, with room for a
    // few hundred entries: nearly every store throws out another position,
    // and what is left must never pass for the wrong one or a wrong bound.
    // Only the settings whose endings have no circular lines, so that a true
    // value exists; variant 2 endings last long, so fewer stones there.
    TMaster Master(8);
    Master.Budget = 30s;
    std::mt19937_64 Rng(77);
    int32_t Checked = 0, Deep = 0;
    for (int32_t Variant = 1; Variant <= 3; ++Variant) {
        for (int32_t Trial = 0; Trial < 10; ++Trial) {
            const TFeld Board = LateGame(Rng, Variant, true, (Variant == 2 ? 5 : 8) + Trial % 2);
            if (Board.MustSkip()) continue;
            int32_t Depth = 0;
            if (CompareWithTruth(Master, Board, "variant " + std::to_string(Variant) + ", trial " + std::to_string(Trial),
                                 &Depth) == 0)
                continue;
            ++Checked;
            // Deep enough that the table took part.
            if (Depth >= 6) ++Deep;
        }
    }
    EXPECT_GT(Checked, 20);
    EXPECT_GT(Deep, 12);
}

TEST(Master, EqualMovesAreChosenEvenly) {
    // The first late-game position with two or more best moves.
    std::mt19937_64 Rng(5);
    TFeld Board;
    std::set<int32_t> Rows;
    while (Rows.size() < 2) {
        Board = LateGame(Rng, 3, true, 6);
        TSolver Solver;
        if (!Board.MustSkip() && Solver.Value(Board)) Rows = Solver.BestRows(Board);
    }
    TMaster Master(12);
    Master.Seed(7);
    std::map<int32_t, int> Seen;
    constexpr int Trials = 600;
    for (int Trial = 0; Trial < Trials; ++Trial) ++Seen[Master.Search(Board).Move];
    ASSERT_EQ(Seen.size(), Rows.size());
    for (int32_t Row : Rows) EXPECT_NEAR(Seen[Row], Trials / static_cast<int>(Rows.size()), Trials / 8) << Row;
}

TEST(Master, SearchesACopyAndLeavesTheBoardAndItsObserversAlone) {
    TFeld Board = Opening(1, true, 6);
    int Notified = 0;
    Board.OnBeforeSow = [&](int32_t, int32_t, int32_t) { ++Notified; };
    Board.OnAfterTake = [&](int32_t, int32_t, int32_t) { ++Notified; };
    const TFeld Before = Board;
    TMaster Master(12);
    Master.MaxDepth = 6;
    const TMasterResult Result = Master.Search(Board);
    EXPECT_EQ(Notified, 0);
    EXPECT_EQ(Board.Pits, Before.Pits);
    EXPECT_EQ(Board.Player, Before.Player);
    EXPECT_EQ(Result.Depth, 6);
    EXPECT_FALSE(Result.Exact);
    EXPECT_TRUE(Board.IsLegalMove(PitIndex(1, Result.Move)));
}

TEST(Master, TheBudgetEndsTheSearchWithTheDeepestCompletedLook) {
    TMaster Master(16);
    for (int32_t Variant = 1; Variant <= 3; ++Variant) {
        const TFeld Board = Opening(Variant, Variant != 2, 6);
        Master.Budget = 30ms;
        const TMasterResult Result = Master.Search(Board);
        EXPECT_GE(Result.Depth, 2) << Variant;
        EXPECT_FALSE(Result.Exact);
        EXPECT_FALSE(Result.Cancelled);
        EXPECT_TRUE(Board.IsLegalMove(PitIndex(1, Result.Move)));
        EXPECT_TRUE(std::count(Result.BestMoves.begin(), Result.BestMoves.end(), Result.Move));
        // Far beyond the budget only if the clock were never looked at.
        EXPECT_LT(Result.Elapsed, 2s) << Variant;
    }
}

TEST(Master, AnotherThreadCanCancelItAtAnyTime) {
    TMaster Master(16);
    Master.Budget = 60s;
    const TFeld Board = Opening(3, true, 6);
    std::atomic<bool> Cancel{false};
    std::thread Canceller([&] {
        std::this_thread::sleep_for(20ms);
        Cancel = true;
    });
    const auto Start = std::chrono::steady_clock::now();
    const TMasterResult Result = Master.Search(Board, &Cancel);
    Canceller.join();
    EXPECT_TRUE(Result.Cancelled);
    EXPECT_LT(std::chrono::steady_clock::now() - Start, 10s);
    EXPECT_TRUE(Board.IsLegalMove(PitIndex(1, Result.Move)));

    // Cancelled before it begins: still an answer, at once.
    const TMasterResult Early = Master.Search(Board, &Cancel);
    EXPECT_TRUE(Early.Cancelled);
    EXPECT_LE(Early.Depth, 1);
    EXPECT_TRUE(Board.IsLegalMove(PitIndex(1, Early.Move)));

    // Cleared again, the same master searches normally.
    Cancel = false;
    Master.MaxDepth = 5;
    const TMasterResult After = Master.Search(Board, &Cancel);
    EXPECT_FALSE(After.Cancelled);
    EXPECT_EQ(After.Depth, 5);
}

TEST(Master, AnExtraMoveIsValuedForTheSameSide) {
    // Variant 3: pit 6 with one stone ends in side 1's end pit and earns a
    // second move; pit 5's single stone then lands in the emptied pit 6 and
    // captures the 3 opposite in pit 8. Played the other way round, pit 5
    // first, the capture is gone.
    TFeld Board = Position(3, true, {0, 0, 0, 0, 1, 1, 20, 3, 0, 1, 0, 0, 0, 22}, 1);
    Board.StonesPerPit = 4;
    TSolver Solver;
    ASSERT_TRUE(Solver.Value(Board));
    TMaster Master(12);
    const TMasterResult Result = Master.Search(Board);
    EXPECT_EQ(Result.Move, 6);
    EXPECT_TRUE(Result.Exact);
    EXPECT_EQ(Result.Value, *Solver.Value(Board));
    EXPECT_EQ(std::set<int32_t>(Result.BestMoves.begin(), Result.BestMoves.end()), Solver.BestRows(Board));
}

TEST(Master, ANodeLimitMakesTheSearchTheSameOnAnyMachine) {
    const TFeld Board = Opening(2, true, 6);
    auto Search = [&] {
        TMaster Master(16);
        Master.Budget = 60s;
        Master.NodeLimit = 50000;
        Master.Seed(11);
        return Master.Search(Board);
    };
    const TMasterResult First = Search();
    const TMasterResult Second = Search();
    // The clock is looked at every thousand positions or so.
    EXPECT_LE(First.Nodes, 50000u + 1100u);
    EXPECT_GE(First.Depth, 3);
    EXPECT_EQ(First.Nodes, Second.Nodes);
    EXPECT_EQ(First.Depth, Second.Depth);
    EXPECT_EQ(First.Move, Second.Move);
    EXPECT_EQ(First.BestMoves, Second.BestMoves);
}

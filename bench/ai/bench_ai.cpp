#include "board/uTFeld.h"
#include "ai/uTKI.h"
#include "ai/uTMaster.h"

#include <algorithm>
#include <chrono>

#include <benchmark/benchmark.h>

namespace {

using namespace tessum;

TFeld Opening() {
    TFeld Board;
    Board.Variant = 3;
    Board.UseEndPits = true;
    Board.StonesPerPit = 6;
    Board.Reset();
    return Board;
}

void BM_ChooseMove(benchmark::State& State) {
    TFeld Board = Opening();
    TKI Ki(Board);
    Ki.Level = static_cast<int32_t>(State.range(0));
    SeedSearchRandom(1);
    for (auto _ : State) benchmark::DoNotOptimize(Ki.ChooseMove());
}
BENCHMARK(BM_ChooseMove)->DenseRange(1, 3)->Unit(benchmark::kMicrosecond);

// A whole game between two professionals, as the game's own loop plays it.
void BM_SelfPlayGame(benchmark::State& State) {
    SeedSearchRandom(2);
    int64_t Moves = 0;
    for (auto _ : State) {
        TFeld Board = Opening();
        TKI Ki(Board);
        Ki.Level = 3;
        while (!Board.IsGameOver()) {
            const int32_t N = Ki.ChooseMove();
            if (N == 0) Board.Skip();
            else Board.DoMove(PitIndex(Board.Player, N));
            ++Moves;
        }
        benchmark::DoNotOptimize(Board.Pits);
    }
    State.counters["moves"] = benchmark::Counter(static_cast<double>(Moves), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_SelfPlayGame)->Unit(benchmark::kMillisecond);

}  // namespace

namespace {

using namespace tessum;

TFeld Opening(int32_t Variant, bool UseEndPits) {
    TFeld Board;
    Board.Variant = Variant;
    Board.UseEndPits = UseEndPits;
    Board.StonesPerPit = 6;
    Board.Reset();
    return Board;
}

// One master move from each variant's opening with the game's budget of one
// second: how deep the deepest completed iteration went, how many positions
// a second it visits, and how far past the budget it answered.
void BM_MasterOpening(benchmark::State& State) {
    const TFeld Board = Opening(static_cast<int32_t>(State.range(0)), State.range(1) != 0);
    TMaster Master;
    double Depth = 0, Nodes = 0, Seconds = 0, Overshoot = 0;
    for (auto _ : State) {
        Master.Clear();
        const TMasterResult Result = Master.Search(Board);
        Depth += Result.Depth;
        Nodes += static_cast<double>(Result.Nodes);
        Seconds += static_cast<double>(Result.Elapsed.count()) / 1e6;
        Overshoot = std::max(Overshoot, static_cast<double>((Result.Elapsed - TMaster::DefaultBudget).count()) / 1000);
    }
    const double Runs = static_cast<double>(State.iterations());
    State.counters["depth"] = Depth / Runs;
    State.counters["nodes_per_s"] = Nodes / Seconds;
    State.counters["worst_over_budget_ms"] = Overshoot;
}
BENCHMARK(BM_MasterOpening)
    ->ArgsProduct({{1, 2, 3}, {1, 0}})
    ->ArgNames({"variant", "endpits"})
    ->Iterations(2)
    ->Unit(benchmark::kMillisecond);

// The yardstick beside it: alpha-beta on the same boards with nothing else,
// no table, no move ordering, deepened one move at a time for one second.
struct TPlain {
    std::chrono::steady_clock::time_point Deadline;
    uint64_t Nodes = 0;
    bool Out = false;

    int32_t Value(const TFeld& Board, int32_t Depth, int32_t Alpha, int32_t Beta) {
        if ((++Nodes & 1023) == 0 && std::chrono::steady_clock::now() >= Deadline) Out = true;
        if (Out) return 0;
        const int32_t Me = Board.Player;
        const int32_t Diff = Board.StoreOf(Me) - Board.StoreOf(OtherPlayer(Me));
        if (Depth == 0 || Board.IsGameOver()) return Diff;
        TFeld Next;
        if (Board.MustSkip()) {
            Next = Board;
            Next.Skip();
            return -Value(Next, Depth, -Beta, -Alpha);
        }
        int32_t Best = -1000;
        for (int32_t N = 1; N <= RowLength && Best < Beta; ++N) {
            if (!Board.IsLegalMove(PitIndex(Me, N))) continue;
            Next = Board;
            Next.DoMove(PitIndex(Me, N));
            const int32_t V = Next.Player == Me ? Value(Next, Depth - 1, std::max(Alpha, Best), Beta)
                                                : -Value(Next, Depth - 1, -Beta, -std::max(Alpha, Best));
            Best = std::max(Best, V);
        }
        return Best;
    }
};

void BM_PlainAlphaBetaOpening(benchmark::State& State) {
    const TFeld Board = Opening(static_cast<int32_t>(State.range(0)), State.range(1) != 0);
    double Depth = 0, Nodes = 0, Seconds = 0;
    for (auto _ : State) {
        TPlain Plain;
        const auto Start = std::chrono::steady_clock::now();
        Plain.Deadline = Start + TMaster::DefaultBudget;
        int32_t Completed = 0;
        for (int32_t D = 1; D <= TMaster::DepthLimit; ++D) {
            Plain.Value(Board, D, -1000, 1000);
            if (Plain.Out) break;
            Completed = D;
        }
        Depth += Completed;
        Nodes += static_cast<double>(Plain.Nodes);
        Seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - Start).count();
    }
    State.counters["depth"] = Depth / static_cast<double>(State.iterations());
    State.counters["nodes_per_s"] = Nodes / Seconds;
}
BENCHMARK(BM_PlainAlphaBetaOpening)
    ->ArgsProduct({{1, 2, 3}, {1, 0}})
    ->ArgNames({"variant", "endpits"})
    ->Iterations(2)
    ->Unit(benchmark::kMillisecond);

}  // namespace

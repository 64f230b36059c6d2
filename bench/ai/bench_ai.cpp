#include "board/uTFeld.h"
#include "ai/uTKI.h"

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

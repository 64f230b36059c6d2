// The cost of one node of the search: copy the position, play one move.
#include "board/uTFeld.h"

#include <benchmark/benchmark.h>

namespace {

using namespace tessum;

TFeld Opening(int32_t Variant) {
    TFeld Board;
    Board.Variant = Variant;
    Board.UseEndPits = true;
    Board.StonesPerPit = 6;
    Board.Reset();
    return Board;
}

void BM_ScratchMove(benchmark::State& State) {
    const TFeld Board = Opening(static_cast<int32_t>(State.range(0)));
    TFeld Scratch;
    int32_t N = 0;
    for (auto _ : State) {
        // Every opening move in turn, so no single easy move flatters the figure.
        N = N % 6 + 1;
        Scratch.Assign(Board);
        Scratch.DoMove(PitIndex(Board.Player, N));
        benchmark::DoNotOptimize(Scratch.Pits);
    }
}
BENCHMARK(BM_ScratchMove)->DenseRange(1, 3);

}  // namespace

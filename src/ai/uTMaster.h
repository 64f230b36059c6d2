// The master opponent: an alpha-beta search over the end-pit difference with
// iterative deepening, a transposition table and a time budget. It plays on
// the same TFeld rules as the other levels, searching on its own copy of the
// board, so it may run in a worker thread while the game's board lives on.
#pragma once

#include "board/uTFeld.h"

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <random>
#include <vector>

namespace tessum {

// The level at which the master plays, after the three of TKI.
constexpr int32_t MasterLevel = 4;

// What one search found.
struct TMasterResult {
    int32_t Move = 0;        // row number 1..6 chosen for the side to move, 0 when it cannot move
    int32_t Value = 0;       // end-pit difference for that side the deepest completed iteration expects
    int32_t Depth = 0;       // moves looked ahead by that iteration (0: nothing to search)
    bool Exact = false;      // the value is the game's true outcome, not a horizon estimate
    bool Cancelled = false;  // stopped from outside; Move still holds the deepest completed choice
    uint64_t Nodes = 0;      // positions visited, all iterations together
    std::chrono::microseconds Elapsed{0};
    std::vector<int32_t> BestMoves;  // every row number sharing the best value; Move is one of them
};

class TMaster {
public:
    static constexpr std::chrono::milliseconds DefaultBudget{1000};
    static constexpr int32_t DepthLimit = 100;

    // TableBits sets the transposition table to 2^TableBits entries of 16 bytes.
    explicit TMaster(int32_t TableBits = 20);
    TMaster(const TMaster&) = delete;
    TMaster& operator=(const TMaster&) = delete;

    std::chrono::milliseconds Budget = DefaultBudget;
    // Stops deepening below the budget; tests use it for repeatable searches.
    int32_t MaxDepth = DepthLimit;
    // Positions one search may visit besides the time budget, 0 for no
    // limit: a measure of strength that does not depend on how busy the
    // machine is.
    uint64_t NodeLimit = 0;

    // Chooses a move for Board.Player. Board is copied at once and never read
    // again. Setting *Cancel (from any thread) ends the search within a
    // fraction of a millisecond.
    TMasterResult Search(const TFeld& Board, const std::atomic<bool>* Cancel = nullptr);

    // Forgets everything learnt in earlier searches.
    void Clear();
    // Fixes the tie-breaks, for repeatable games.
    void Seed(uint64_t Value) { Random.seed(Value); }

private:
    struct TEntry {
        uint64_t Key = 0;
        int16_t Value = 0;
        uint8_t Depth = 0;
        uint8_t Flags = 0;  // bound kind, and whether the value is proven
        int8_t BestMove = 0;
        uint8_t Generation = 0;  // the search that wrote it
    };
    // Every board the search needs for one level of the tree, made once.
    struct TPly {
        std::array<TFeld, RowLength> Children;
        TFeld SkipBoard;
    };

    int32_t Negamax(const TFeld& Board, int32_t Depth, int32_t Alpha, int32_t Beta, int32_t Ply);
    int32_t ChildValue(const TFeld& Child, int32_t Mover, int32_t Depth, int32_t Alpha, int32_t Beta, int32_t Ply);
    bool TimeUp();
    void Store(uint64_t Key, int32_t Value, int32_t Depth, int32_t Bound, bool Proven, int32_t BestMove);

    // Two entries share a cache line's half: one look at memory finds both.
    struct alignas(32) TBucket {
        std::array<TEntry, 2> Ways;
    };
    std::vector<TBucket> Table;
    uint64_t TableMask = 0;
    uint8_t Generation = 0;
    std::vector<TPly> Plies;
    std::array<std::array<uint32_t, RowLength + 1>, 3> History{};
    std::mt19937_64 Random;

    // State of the search under way.
    const std::atomic<bool>* CancelFlag = nullptr;
    std::chrono::steady_clock::time_point Deadline;
    int32_t Stones = 0;  // a move never adds or loses a stone
    uint64_t Nodes = 0;
    uint64_t NextCheck = 0;
    bool Aborted = false;
    bool HitHorizon = false;
};

}  // namespace tessum

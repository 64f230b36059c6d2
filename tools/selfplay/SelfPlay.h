// Computer-against-computer games on the board model, without a window.
#pragma once

#include "board/uTFeld.h"

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace tessum::selfplay {

struct TOptions {
    int32_t Games = 10;
    int32_t Variant = 3;
    int32_t Stones = 6;
    bool UseEndPits = true;
    int32_t Level1 = 3;
    int32_t Level2 = 2;
    int32_t BudgetMs = 1000;  // the master's time for one move
    int64_t Nodes = 0;        // and the positions it may visit, 0 for no limit
    bool Alternate = false;   // sides begin in turn instead of by the match draw
    std::optional<uint64_t> Seed;
    bool Verbose = false;
    int32_t DelayMs = -1;  // pause after each move shown with Verbose; -1 leaves it to main
    bool Help = false;
};

// Reads the command line (without the program name); on failure returns
// nothing and says why in Error.
std::optional<TOptions> ParseOptions(const std::vector<std::string>& Args, std::string& Error);
std::string Usage();

struct TGameResult {
    int32_t Starter = 0;  // side that moved first
    int32_t Store1 = 0;
    int32_t Store2 = 0;
    int32_t Moves = 0;  // moves and skips
    int32_t Skips = 0;
    bool Finished = false;  // false only if the move limit cut the game off
    // What the master's searches took, over the moves where it had a choice.
    int32_t Searches = 0;
    int32_t ExactSearches = 0;  // moves whose value was the game's true outcome
    int64_t DepthSum = 0;
    int32_t MinDepth = 0, MaxDepth = 0;
    uint64_t Nodes = 0;
    int64_t SearchMicros = 0;
    int64_t WorstMicros = 0;
    int32_t Winner() const { return Store1 > Store2 ? 1 : Store2 > Store1 ? 2 : 0; }
};

// No real game comes near this; it only guards the tool against a game that
// cycles for ever.
constexpr int32_t MoveLimit = 10000;

// Plays one game; the starting side is drawn from Rng, or is Starter when
// that is 1 or 2. With Out set, every move and the board after it are
// written there.
TGameResult PlayGame(const TOptions& Options, std::mt19937_64& Rng, std::ostream* Out, int32_t Starter = 0);

// Plays Options.Games games and writes the per-game lines and the summary.
// Returns the results in order.
std::vector<TGameResult> Run(const TOptions& Options, std::ostream& Out);

// The board as it is drawn on screen: side 1's row on top, pit 1 at its right
// end; side 2's row below, pit 8 at its left end; end pit 7 left, 14 right.
// Highlight marks one pit (0 for none).
std::string DrawBoard(const TFeld& Board, int32_t Highlight);

}  // namespace tessum::selfplay

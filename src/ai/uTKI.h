// The computer opponent: a minimax search over the difference between the two
// end pits, with ties broken at random.
#pragma once

#include "board/uTFeld.h"

#include <cstdint>
#include <memory>
#include <random>
#include <vector>

namespace tessum {

// The generator behind every tie-break of the search. It is seeded once per
// run from the system's entropy source, so that two searches in the same
// instant still choose independently; tests fix the seed to get repeatable play.
std::mt19937_64& SearchRandom();
void SeedSearchRandom(uint64_t Seed);

// One position of the search tree; owns its subtree.
class TStochNode {
public:
    explicit TStochNode(TStochNode* Parent = nullptr) : Parent(Parent) {}
    TStochNode(const TStochNode&) = delete;
    TStochNode& operator=(const TStochNode&) = delete;
    ~TStochNode() = default;

    TStochNode* Parent;
    int32_t Score1 = 0;  // Store1 after the move to this node; backed-up value after Evaluate
    int32_t Score2 = 0;
    bool IsLeaf = false;
    std::vector<std::unique_ptr<TStochNode>> Children;  // one per legal move, row order until sorted
    int32_t Move = 0;        // row number 1..6 of the move leading here
    int32_t SideToMove = 0;  // Player in this node's position, set by Expand
    int32_t Mover = 0;       // side that made Move
    int32_t BestMove = 0;    // Move of the chosen child, 0 without children

    void ClearChildren() { Children.clear(); }
    // Builds the tree of all legal continuations of Board, Depth moves below the next one.
    void Expand(const TFeld& Board, int32_t Depth);
    // Backs the children's values up by minimax and picks one of the best at random.
    void Evaluate();
    // Sorts the children best first and returns how many share the best value.
    int32_t CountBest();
    int32_t Decide() {
        Evaluate();
        return BestMove;
    }
    // Negative when A is better than B for the side that moved to both.
    static int32_t CompareNodes(const TStochNode& A, const TStochNode& B);
};

class TKI {
public:
    TKI() = default;
    explicit TKI(TFeld& Board) : Board(&Board) {}

    TFeld* Board = nullptr;  // the game's board, not owned
    int32_t Level = 0;       // 1 rookie, 2 advanced, 3 professional

    // Moves looked ahead below the computer's own move.
    static int32_t DepthOfLevel(int32_t Level);
    // Row number 1..6 of the move for Board->Player, 0 when that side cannot move.
    int32_t ChooseMove() const;
};

}  // namespace tessum

#include "ai/uTKI.h"

#include <algorithm>
#include <chrono>

namespace tessum {

namespace {

uint64_t EntropySeed() {
    try {
        std::random_device Device;
        return (static_cast<uint64_t>(Device()) << 32) ^ Device();
    } catch (...) {
        // No entropy source: the clock still differs from run to run.
        return static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()) ^
               static_cast<uint64_t>(std::chrono::system_clock::now().time_since_epoch().count());
    }
}

}  // namespace

std::mt19937_64& SearchRandom() {
    static std::mt19937_64 Generator(EntropySeed());
    return Generator;
}

void SeedSearchRandom(uint64_t Seed) { SearchRandom().seed(Seed); }

void TStochNode::Expand(const TFeld& Board, int32_t Depth) {
    ClearChildren();
    SideToMove = Board.Player;
    Children.reserve(RowLength);
    TFeld Scratch;
    for (int32_t N = 1; N <= RowLength; ++N) {
        const int32_t Pit = PitIndex(Board.Player, N);
        if (!Board.IsLegalMove(Pit)) continue;
        Scratch.Assign(Board);
        Scratch.DoMove(Pit);
        Children.push_back(std::make_unique<TStochNode>(this));
        TStochNode& Child = *Children.back();
        Child.Mover = SideToMove;
        Child.Score1 = Scratch.Store1();
        Child.Score2 = Scratch.Store2();
        Child.Move = N;
        if (Depth > 0) Child.Expand(Scratch, Depth - 1);
        else Child.IsLeaf = true;
    }
}

void TStochNode::Evaluate() {
    for (auto& Child : Children) Child->Evaluate();
    if (Children.empty()) return;
    const int32_t Best = CountBest();
    std::uniform_int_distribution<int32_t> Pick(0, Best - 1);
    const TStochNode& Chosen = *Children[static_cast<std::size_t>(Pick(SearchRandom()))];
    Score1 = Chosen.Score1;
    Score2 = Chosen.Score2;
    BestMove = Chosen.Move;
}

int32_t TStochNode::CountBest() {
    std::sort(Children.begin(), Children.end(),
              [](const auto& A, const auto& B) { return CompareNodes(*A, *B) < 0; });
    const int32_t Diff = Children.front()->Score1 - Children.front()->Score2;
    int32_t Count = 0;
    for (const auto& Child : Children) {
        if (Child->Score1 - Child->Score2 != Diff) break;
        ++Count;
    }
    return Count;
}

int32_t TStochNode::CompareNodes(const TStochNode& A, const TStochNode& B) {
    const int32_t R = (B.Score1 - B.Score2) - (A.Score1 - A.Score2);
    return A.Mover == 2 ? -R : R;
}

int32_t TKI::DepthOfLevel(int32_t Level) {
    switch (Level) {
    case 2: return 2;
    case 3: return 4;
    default: return 0;
    }
}

int32_t TKI::ChooseMove() const {
    if (Board == nullptr) return 0;
    TStochNode Root;
    Root.Expand(*Board, DepthOfLevel(Level));
    return Root.Decide();
}

}  // namespace tessum

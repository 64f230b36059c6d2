#include "ai/uTMaster.h"

#include <algorithm>

namespace tessum {

namespace {

constexpr int32_t Infinity = 1000;  // beyond any end-pit difference

constexpr uint8_t LowerBound = 1;
constexpr uint8_t UpperBound = 2;
constexpr uint8_t ExactBound = LowerBound | UpperBound;
constexpr uint8_t ProvenBit = 4;
// A proven entry holds the game's true bound, so it serves a search of any depth.
constexpr uint8_t ProvenDepth = 255;

// How many positions pass between two looks at the clock and the cancel flag:
// a few tens of microseconds of search.
constexpr uint64_t CheckInterval = 1024;

// Near the leaves a position is cheaper to search again than to look up: the
// table's memory is far away, and its entries there would crowd out the
// deeper ones that save real work.
constexpr int32_t TableMinDepth = 4;
// Below this depth the moves are tried by their history alone, each made just
// before it is searched: sorting by immediate gain would make every move,
// also those a cut-off makes unnecessary.
constexpr int32_t OrderMinDepth = 3;

uint64_t Mix(uint64_t X) {
    X ^= X >> 30;
    X *= 0xBF58476D1CE4E5B9ull;
    X ^= X >> 27;
    X *= 0x94D049BB133111EBull;
    X ^= X >> 31;
    return X;
}

// The position as the rules see it between moves: stones per pit, side to
// move, moves already made in this turn, and the rule settings, since the
// table outlives a game. Counts above 255 never occur in a game of at most
// 96 stones; they would only share keys, never overrun anything.
uint64_t KeyOf(const TFeld& Board) {
    uint64_t Low = 0, High = 0;
    for (int32_t Pit = 1; Pit <= 7; ++Pit) Low = Low << 8 | (static_cast<uint32_t>(Board.Pits[Pit]) & 0xFF);
    for (int32_t Pit = 8; Pit <= 14; ++Pit) High = High << 8 | (static_cast<uint32_t>(Board.Pits[Pit]) & 0xFF);
    const uint64_t Rules = static_cast<uint64_t>(Board.Player & 3) | static_cast<uint64_t>(Board.MovesThisTurn & 3) << 2 |
                           static_cast<uint64_t>(Board.Variant & 3) << 4 | static_cast<uint64_t>(Board.UseEndPits) << 6;
    return Mix(Low) ^ Mix(High << 8 | Rules | 0x80ull);
}

uint64_t EntropySeed() {
    try {
        std::random_device Device;
        return (static_cast<uint64_t>(Device()) << 32) ^ Device();
    } catch (...) {
        return static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    }
}

int32_t DiffFor(const TFeld& Board, int32_t Side) { return Board.StoreOf(Side) - Board.StoreOf(OtherPlayer(Side)); }

}  // namespace

TMaster::TMaster(int32_t TableBits) : Random(EntropySeed()) {
    TableBits = std::clamp(TableBits, 4, 28);
    Table.resize(std::size_t{1} << (TableBits - 1));
    TableMask = Table.size() - 1;
    // A skip does not use up depth, so a line can hold up to twice as many boards.
    Plies.resize(2 * DepthLimit + 8);
}

void TMaster::Clear() {
    std::fill(Table.begin(), Table.end(), TBucket{});
    for (auto& Side : History) Side.fill(0);
}

bool TMaster::TimeUp() {
    NextCheck = Nodes + CheckInterval;
    if (CancelFlag && CancelFlag->load(std::memory_order_relaxed)) return true;
    if (NodeLimit != 0 && Nodes >= NodeLimit) return true;
    return std::chrono::steady_clock::now() >= Deadline;
}

void TMaster::Store(uint64_t Key, int32_t Value, int32_t Depth, int32_t Bound, bool Proven, int32_t BestMove) {
    auto& Ways = Table[Key & TableMask].Ways;
    const int32_t StoredDepth = Proven ? ProvenDepth : std::min(Depth, ProvenDepth - 1);
    // The position's own entry if it has one; else whichever of the two is
    // left from an earlier search, or else the shallower.
    TEntry* Entry = &Ways[0];
    if (Ways[1].Key == Key) Entry = &Ways[1];
    else if (Ways[0].Key != Key) {
        const auto Worth = [this](const TEntry& E) { return E.Generation == Generation ? E.Depth + 1 : 0; };
        if (Worth(Ways[1]) < Worth(Ways[0])) Entry = &Ways[1];
    }
    Entry->Key = Key;
    Entry->Value = static_cast<int16_t>(Value);
    Entry->Depth = static_cast<uint8_t>(StoredDepth);
    Entry->Flags = static_cast<uint8_t>(Bound | (Proven ? ProvenBit : 0));
    Entry->BestMove = static_cast<int8_t>(BestMove);
    Entry->Generation = Generation;
}

int32_t TMaster::ChildValue(const TFeld& Child, int32_t Mover, int32_t Depth, int32_t Alpha, int32_t Beta,
                            int32_t Ply) {
    // In variant 3 a side may move twice in a row: then the value keeps its sign.
    if (Child.Player == Mover) return Negamax(Child, Depth, Alpha, Beta, Ply);
    return -Negamax(Child, Depth, -Beta, -Alpha, Ply);
}

int32_t TMaster::Negamax(const TFeld& Board, int32_t Depth, int32_t Alpha, int32_t Beta, int32_t Ply) {
    if (++Nodes >= NextCheck && TimeUp()) Aborted = true;
    if (Aborted) return 0;

    const int32_t Me = Board.Player;
    const int32_t Diff = DiffFor(Board, Me);
    if (Board.IsGameOver()) return Diff;
    // Whatever happens, the stones still in play decide at most this much.
    const int32_t InPlay = Stones - Board.Store1() - Board.Store2();
    if (Diff - InPlay >= Beta) return Diff - InPlay;
    if (Diff + InPlay <= Alpha) return Diff + InPlay;

    TPly& Level = Plies[static_cast<std::size_t>(Ply)];
    if (Board.MustSkip()) {
        // The game plays the skip at once; it costs no depth.
        Level.SkipBoard.Assign(Board);
        Level.SkipBoard.Skip();
        return ChildValue(Level.SkipBoard, Me, Depth, Alpha, Beta, Ply + 1);
    }
    if (Depth <= 0) {
        HitHorizon = true;
        return Diff;
    }

    const bool UseTable = Depth >= TableMinDepth;
    const uint64_t Key = UseTable ? KeyOf(Board) : 0;
    int32_t TableMove = 0;
    const TEntry* Found = nullptr;
    if (UseTable) {
        const auto& Ways = Table[Key & TableMask].Ways;
        if (Ways[0].Key == Key) Found = &Ways[0];
        else if (Ways[1].Key == Key) Found = &Ways[1];
    }
    if (Found) {
        TableMove = Found->BestMove;
        const bool Proven = (Found->Flags & ProvenBit) != 0;
        if (Proven || Found->Depth >= Depth) {
            const int32_t Bound = Found->Flags & ExactBound;
            const int32_t Value = Found->Value;
            if (Bound == ExactBound || (Bound == LowerBound && Value >= Beta) ||
                (Bound == UpperBound && Value <= Alpha)) {
                if (!Proven) HitHorizon = true;
                return Value;
            }
        }
    }

    const bool OuterHorizon = HitHorizon;
    HitHorizon = false;
    int32_t Best = -Infinity, BestRow = 0, A = Alpha;
    // Tries one move; true when it refutes the position and the rest need no look.
    auto Try = [&](const TFeld& Next, int32_t Row, bool First) {
        int32_t Value;
        if (First) {
            Value = ChildValue(Next, Me, Depth - 1, A, Beta, Ply + 1);
        } else {
            // Later moves only have to show that they are no better.
            Value = ChildValue(Next, Me, Depth - 1, A, A + 1, Ply + 1);
            if (Value > A && Value < Beta && !Aborted) Value = ChildValue(Next, Me, Depth - 1, A, Beta, Ply + 1);
        }
        if (Aborted || Value <= Best) return Aborted;
        Best = Value;
        BestRow = Row;
        if (Value > A) A = Value;
        if (A < Beta) return false;
        History[static_cast<std::size_t>(Me)][static_cast<std::size_t>(Row)] += static_cast<uint32_t>(Depth * Depth);
        return true;
    };

    // The table's move first, alone: it often refutes the position before
    // any other move has been made.
    bool Done = false;
    const bool HaveTableMove = TableMove >= 1 && TableMove <= RowLength && Board.IsLegalMove(PitIndex(Me, TableMove));
    if (HaveTableMove) {
        TFeld& Next = Level.Children[0];
        Next.Assign(Board);
        Next.DoMove(PitIndex(Me, TableMove));
        Done = Try(Next, TableMove, true);
    }
    if (!Done && Depth < OrderMinDepth) {
        // Moves that refuted other positions first, by insertion.
        const auto& Score = History[static_cast<std::size_t>(Me)];
        const auto ScoreOf = [&Score](int32_t Row) { return Score[static_cast<std::size_t>(Row)]; };
        std::array<int32_t, RowLength> Rows{};
        std::size_t Count = 0;
        for (int32_t N = 1; N <= RowLength; ++N) {
            if (N == TableMove || !Board.IsLegalMove(PitIndex(Me, N))) continue;
            std::size_t J = Count++;
            for (; J > 0 && ScoreOf(Rows[J - 1]) < ScoreOf(N); --J) Rows[J] = Rows[J - 1];
            Rows[J] = N;
        }
        TFeld& Next = Level.Children[0];
        for (std::size_t I = 0; I < Count && !Done; ++I) {
            Next.Assign(Board);
            Next.DoMove(PitIndex(Me, Rows[I]));
            Done = Try(Next, Rows[I], I == 0 && !HaveTableMove);
        }
    } else if (!Done) {
        // Make the other moves, then try them best-looking first: the largest
        // immediate gain, an extra move, and moves that refuted other
        // positions before.
        int32_t Count = 0;
        std::array<int32_t, RowLength> Rows{};
        std::array<int64_t, RowLength> Order{};
        std::array<int32_t, RowLength> Index{};
        for (int32_t N = 1; N <= RowLength; ++N) {
            const int32_t Pit = PitIndex(Me, N);
            if (N == TableMove || !Board.IsLegalMove(Pit)) continue;
            TFeld& Child = Level.Children[static_cast<std::size_t>(Count)];
            Child.Assign(Board);
            Child.DoMove(Pit);
            const int64_t Gain = DiffFor(Child, Me) - Diff;
            const bool Again = Child.Player == Me && !Child.IsGameOver();
            Order[static_cast<std::size_t>(Count)] =
                ((Gain + 128) << 21) + (Again ? int64_t{1} << 20 : 0) +
                std::min<uint32_t>(History[static_cast<std::size_t>(Me)][static_cast<std::size_t>(N)], (1u << 20) - 1);
            Rows[static_cast<std::size_t>(Count)] = N;
            Index[static_cast<std::size_t>(Count)] = Count;
            ++Count;
        }
        for (int32_t I = 1; I < Count; ++I) {
            const int32_t Moving = Index[static_cast<std::size_t>(I)];
            int32_t J = I;
            for (; J > 0 && Order[static_cast<std::size_t>(Index[static_cast<std::size_t>(J - 1)])] <
                                Order[static_cast<std::size_t>(Moving)];
                 --J)
                Index[static_cast<std::size_t>(J)] = Index[static_cast<std::size_t>(J - 1)];
            Index[static_cast<std::size_t>(J)] = Moving;
        }
        for (int32_t I = 0; I < Count && !Done; ++I) {
            const std::size_t Child = static_cast<std::size_t>(Index[static_cast<std::size_t>(I)]);
            Done = Try(Level.Children[Child], Rows[Child], I == 0 && !HaveTableMove);
        }
    }
    if (Aborted) return 0;
    const bool Horizon = HitHorizon;
    HitHorizon = OuterHorizon || Horizon;
    const uint8_t Bound = Best <= Alpha ? UpperBound : Best >= Beta ? LowerBound : ExactBound;
    if (UseTable) Store(Key, Best, Depth, Bound, !Horizon, BestRow);
    return Best;
}

TMasterResult TMaster::Search(const TFeld& Board, const std::atomic<bool>* Cancel) {
    const auto Start = std::chrono::steady_clock::now();
    TMasterResult Result;
    TFeld Root;
    Root.Assign(Board);
    const int32_t Me = Root.Player;
    if (Me != 1 && Me != 2) return Result;

    std::vector<int32_t> Rows;
    for (int32_t N = 1; N <= RowLength; ++N)
        if (Root.IsLegalMove(PitIndex(Me, N))) Rows.push_back(N);
    if (Rows.empty()) return Result;
    if (Rows.size() == 1) {
        // Nothing to choose; the caller need not wait.
        Result.Move = Rows.front();
        Result.BestMoves = Rows;
        Result.Elapsed = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - Start);
        return Result;
    }

    CancelFlag = Cancel;
    Stones = Root.TotalStones();
    Deadline = Start + Budget;
    Nodes = 0;
    NextCheck = CheckInterval;
    Aborted = false;
    ++Generation;
    for (auto& Side : History)
        for (auto& Score : Side) Score /= 8;

    std::array<TFeld, RowLength> Children;
    for (std::size_t I = 0; I < Rows.size(); ++I) {
        Children[static_cast<std::size_t>(Rows[I] - 1)].Assign(Root);
        Children[static_cast<std::size_t>(Rows[I] - 1)].DoMove(PitIndex(Me, Rows[I]));
    }
    // First iteration: the greedy order; later ones: the previous iteration's values.
    std::array<int32_t, RowLength + 1> Values{};
    for (int32_t N : Rows) Values[static_cast<std::size_t>(N)] = DiffFor(Children[static_cast<std::size_t>(N - 1)], Me);

    const int32_t Limit = std::clamp(MaxDepth, 1, DepthLimit);
    for (int32_t Depth = 1; Depth <= Limit; ++Depth) {
        if (Depth > 1 && Cancel && Cancel->load(std::memory_order_relaxed)) break;
        std::stable_sort(Rows.begin(), Rows.end(), [&Values](int32_t A, int32_t B) {
            return Values[static_cast<std::size_t>(A)] > Values[static_cast<std::size_t>(B)];
        });
        HitHorizon = false;
        int32_t Best = -Infinity;
        std::vector<int32_t> Ties;
        std::array<int32_t, RowLength + 1> NewValues{};
        for (int32_t N : Rows) {
            // A window just below the best so far: a move that equals it
            // comes back with its exact value, so every tie is seen.
            const int32_t Alpha = Best == -Infinity ? -Infinity : Best - 1;
            const int32_t Value = ChildValue(Children[static_cast<std::size_t>(N - 1)], Me, Depth - 1, Alpha, Infinity, 1);
            if (Aborted) break;
            NewValues[static_cast<std::size_t>(N)] = Value;
            if (Value > Best) {
                Best = Value;
                Ties.assign(1, N);
            } else if (Value == Best) {
                Ties.push_back(N);
            }
        }
        if (Aborted) break;
        Values = NewValues;
        Result.Depth = Depth;
        Result.Value = Best;
        Result.BestMoves = Ties;
        Result.Exact = !HitHorizon;
        // Every line reached the end of the game: deeper looks change nothing.
        if (Result.Exact) break;
    }

    Result.Cancelled = Cancel && Cancel->load(std::memory_order_relaxed);
    if (Result.BestMoves.empty()) Result.BestMoves.assign(1, Rows.front());
    std::sort(Result.BestMoves.begin(), Result.BestMoves.end());
    std::uniform_int_distribution<std::size_t> Pick(0, Result.BestMoves.size() - 1);
    Result.Move = Result.BestMoves[Pick(Random)];
    Result.Nodes = Nodes;
    Result.Elapsed = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - Start);
    CancelFlag = nullptr;
    return Result;
}

}  // namespace tessum

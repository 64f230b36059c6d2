#include "board/uTFeld.h"

namespace tessum {

void TFeld::Assign(const TFeld& Source) {
    Pits = Source.Pits;
    Hand = Source.Hand;
    Captured = Source.Captured;
    CurrentPit = Source.CurrentPit;
    Player = Source.Player;
    MovesThisTurn = Source.MovesThisTurn;
    Variant = Source.Variant;
    UseEndPits = Source.UseEndPits;
    StonesPerPit = Source.StonesPerPit;
}

void TFeld::Reset() {
    MovesThisTurn = 0;
    Player = 1;
    Hand = 0;
    Captured = 0;
    for (int32_t Pit = 1; Pit <= PitCount; ++Pit) Pits[Pit] = IsEndPit(Pit) ? 0 : StonesPerPit;
}

bool TFeld::IsLegalMove(int32_t Pit) const {
    return IsPlayingPit(Pit) && PitOwner(Pit) == Player && Pits[Pit] > 0;
}

bool TFeld::MustSkipFor(int32_t Side) const {
    if (Side != 1 && Side != 2) return true;
    for (int32_t N = 1; N <= RowLength; ++N)
        if (Pits[PitIndex(Side, N)] > 0) return false;
    return true;
}

int32_t TFeld::WillWin() const {
    const int32_t Half = 6 * StonesPerPit;
    if (Pits[7] > Half) return 1;
    if (Pits[14] > Half) return 2;
    return 0;
}

int32_t TFeld::RowSum(int32_t Side) const {
    int32_t Sum = 0;
    for (int32_t N = 1; N <= RowLength; ++N) Sum += Pits[PitIndex(Side, N)];
    return Sum;
}

int32_t TFeld::OwnSideSum() const { return RowSum(Player == 1 ? 1 : 2); }
int32_t TFeld::OtherSideSum() const { return RowSum(Player == 1 ? 2 : 1); }

int32_t TFeld::TotalStones() const {
    int32_t Sum = Hand + Captured;
    for (int32_t Count : Pits) Sum += Count;
    return Sum;
}

namespace {

// Successor of every pit in the sowing ring, with and without the end pits;
// index 0 starts the ring for a board that has never moved.
constexpr std::array<int8_t, PitCount + 1> NextWithEndPits = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 1};
constexpr std::array<int8_t, PitCount + 1> NextWithoutEndPits = {1, 2, 3, 4, 5, 6, 8, 8, 9, 10, 11, 12, 13, 1, 1};

}  // namespace

int32_t TFeld::NextPit() const {
    const int32_t Pit = CurrentPit >= 0 && CurrentPit <= PitCount ? CurrentPit : 0;
    return (UseEndPits ? NextWithEndPits : NextWithoutEndPits)[static_cast<std::size_t>(Pit)];
}

void TFeld::SowHand() {
    if (OnBeforeSow || OnAfterSow) {
        while (Hand > 0) SowOne();
        return;
    }
    // Nobody watches (the search's scratch boards): the same steps without the calls.
    const auto& Next = UseEndPits ? NextWithEndPits : NextWithoutEndPits;
    int32_t Pit = CurrentPit >= 0 && CurrentPit <= PitCount ? CurrentPit : 0;
    for (; Hand > 0; --Hand) {
        Pit = Next[static_cast<std::size_t>(Pit)];
        ++Pits[Pit];
    }
    CurrentPit = Pit;
}

void TFeld::SowOne() {
    if (Hand == 0) return;
    CurrentPit = NextPit();
    Notify(OnBeforeSow, CurrentPit, Player, 1);
    ++Pits[CurrentPit];
    --Hand;
    Notify(OnAfterSow, CurrentPit, Player, 1);
}

void TFeld::Take() {
    const int32_t N = Pits[CurrentPit];
    if (N == 0) return;
    Notify(OnBeforeTake, CurrentPit, Player, N);
    Hand += N;
    Pits[CurrentPit] = 0;
    Notify(OnAfterTake, CurrentPit, Player, N);
}

void TFeld::StoreToMover(int32_t Count) {
    if (Count == 0) return;
    const int32_t EndPit = EndPitOf(Player);
    Notify(OnBeforeStore, EndPit, Player, Count);
    Pits[EndPit] += Count;
    Hand -= Count;
    Notify(OnAfterStore, EndPit, Player, Count);
}

void TFeld::StoreHandToOther() {
    const int32_t Count = Hand;
    if (Count == 0) return;
    const int32_t EndPit = EndPitOf(OtherPlayer(Player));
    Notify(OnBeforeStore, EndPit, Player, Count);
    Pits[EndPit] += Count;
    Hand = 0;
    Notify(OnAfterStore, EndPit, Player, Count);
}

void TFeld::Capture() {
    const int32_t N = Pits[CurrentPit];
    if (N == 0) return;
    Notify(OnBeforeCapture, CurrentPit, Player, N);
    Captured += N;
    Pits[CurrentPit] = 0;
    Notify(OnAfterCapture, CurrentPit, Player, N);
}

void TFeld::StoreCapturedToOther() {
    const int32_t Count = Captured;
    if (Count == 0) return;
    const int32_t EndPit = EndPitOf(OtherPlayer(Player));
    Notify(OnBeforeStoreCaptured, EndPit, Player, Count);
    Pits[EndPit] += Count;
    Captured = 0;
    Notify(OnAfterStoreCaptured, EndPit, Player, Count);
}

void TFeld::TakeAll() {
    for (int32_t Pit = 1; Pit <= PitCount; ++Pit) {
        if (IsEndPit(Pit) || Pits[Pit] == 0) continue;
        CurrentPit = Pit;
        Take();
    }
}

void TFeld::CaptureAll() {
    for (int32_t Pit = 1; Pit <= PitCount; ++Pit) {
        if (IsEndPit(Pit) || Pits[Pit] == 0) continue;
        CurrentPit = Pit;
        Capture();
    }
}

void TFeld::EndTurn() {
    Player = OtherPlayer(Player);
    MovesThisTurn = 0;
    // Once both rows are nearly bare the remaining stones can hardly be
    // fought over; they go to the side that has just finished its turn.
    if (Variant == 3 && OtherSideSum() <= 3 && OwnSideSum() <= 3) {
        CaptureAll();
        StoreCapturedToOther();
    }
}

void TFeld::DoMove(int32_t Pit) {
    if (!IsLegalMove(Pit)) return;
    ++MovesThisTurn;
    switch (Variant) {
    case 1: MoveVariant1(Pit); break;
    case 2: MoveVariant2(Pit); break;
    case 3: MoveVariant3(Pit); break;
    default: break;
    }
}

void TFeld::Skip() {
    if (Player != 1 && Player != 2) return;
    if (MustSkip()) EndTurn();
}

// Relay sowing: a last stone that lands in an occupied pit picks that pit up
// and sows on, lap after lap, until it lands alone or in an end pit.
void TFeld::MoveVariant1(int32_t Pit) {
    int32_t Start = Pit;
    for (int32_t Lap = 1;; ++Lap) {
        CurrentPit = Start;
        Take();
        SowHand();
        const int32_t Last = CurrentPit;
        if (IsEndPit(Last) || Lap >= MaxRelayLaps) break;
        if (Pits[Last] != 1) {
            Start = Last;
            continue;
        }
        if (SideOfPit(Last) == Player) {
            Take();
            CurrentPit = OppositePit(Last);
            Take();
            StoreToMover(Hand);
        }
        break;
    }
    EndTurn();
}

// Fours: a pit reaching exactly four is emptied at once, to its owner while
// the hand still carries stones on the other row, otherwise to the mover.
void TFeld::MoveVariant2(int32_t Pit) {
    const int32_t Start = Pit;
    CurrentPit = Start;
    Take();
    while (Hand > 0) {
        SowOne();
        const int32_t P = CurrentPit;
        if (P == Start) break;
        if (Pits[P] != 4 || IsEndPit(P)) continue;
        if (PitOwner(P) == OtherPlayer(Player) && Hand > 0) {
            Capture();
            StoreCapturedToOther();
        } else {
            const int32_t Before = Hand;
            Take();
            StoreToMover(Hand - Before);
        }
    }
    // Sowing came round to the start pit: the rest of the hand is forfeited.
    StoreHandToOther();
    if (OtherSideSum() > 3 || OwnSideSum() > 3 || UseEndPits) {
        EndTurn();
        return;
    }
    // Closing sweep: the mover clears both rows and the game is over.
    TakeAll();
    StoreToMover(Hand);
}

// Extra move: a last stone in the mover's own end pit or in an empty pit of
// the mover's row (which also captures the opposite pit) earns a second move.
void TFeld::MoveVariant3(int32_t Pit) {
    CurrentPit = Pit;
    Take();
    SowHand();
    const int32_t Last = CurrentPit;
    if (SideOfPit(Last) != Player) {
        EndTurn();
        return;
    }
    if (!IsEndPit(Last)) {
        if (Pits[Last] != 1) {
            EndTurn();
            return;
        }
        CurrentPit = OppositePit(Last);
        Take();
        StoreToMover(Hand);
    }
    if (MovesThisTurn >= 2) EndTurn();
}

}  // namespace tessum

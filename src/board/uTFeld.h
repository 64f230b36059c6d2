// The board of one game and the rules that move its stones.
//
// Pits are numbered 1 to 14: 1..6 are side 1's row, 7 its end pit, 8..13 side
// 2's row, 14 its end pit; stones travel in ascending order and wrap from 14
// to 1. The search copies a board for every node it looks at, so the state is
// a small fixed-size value and a board without observers never allocates.
#pragma once

#include <array>
#include <cstdint>
#include <functional>

namespace tessum {

constexpr int32_t PitCount = 14;
constexpr int32_t RowLength = 6;
// The lap at which a variant 1 relay is cut off, so a move always ends.
constexpr int32_t MaxRelayLaps = 9999;

constexpr bool IsEndPit(int32_t Pit) { return Pit == 7 || Pit == 14; }
constexpr bool IsPlayingPit(int32_t Pit) { return (Pit >= 1 && Pit <= 6) || (Pit >= 8 && Pit <= 13); }

// Side a pit lies on, end pits included; 0 outside 1..14.
constexpr int32_t SideOfPit(int32_t Pit) { return Pit >= 1 && Pit <= PitCount ? (Pit - 1) / 7 + 1 : 0; }

// Number 1..6 of a playing pit within its row, -1 for anything else.
constexpr int32_t PitNumber(int32_t Pit) {
    if (Pit >= 1 && Pit <= 6) return Pit;
    if (Pit >= 8 && Pit <= 13) return Pit - 7;
    return -1;
}

// Side owning a playing pit, -1 for anything else (end pits included).
constexpr int32_t PitOwner(int32_t Pit) {
    if (Pit >= 1 && Pit <= 6) return 1;
    if (Pit >= 8 && Pit <= 13) return 2;
    return -1;
}

// Pit of row number N (1..6) of Side.
constexpr int32_t PitIndex(int32_t Side, int32_t N) { return Side * 7 + N - 7; }

// The playing pit across the board, 0 for anything that is not a playing pit.
constexpr int32_t OppositePit(int32_t Pit) { return IsPlayingPit(Pit) ? 14 - Pit : 0; }

constexpr int32_t OtherPlayer(int32_t Side) {
    if (Side == 1) return 2;
    if (Side == 2) return 1;
    return 0;
}

constexpr int32_t EndPitOf(int32_t Side) { return Side * 7; }

// Fourteen counts addressed by pit number 1..14.
struct TPits {
    std::array<int32_t, PitCount> Counts{};

    int32_t& operator[](int32_t Pit) { return Counts[static_cast<std::size_t>(Pit - 1)]; }
    int32_t operator[](int32_t Pit) const { return Counts[static_cast<std::size_t>(Pit - 1)]; }
    auto begin() { return Counts.begin(); }
    auto end() { return Counts.end(); }
    auto begin() const { return Counts.begin(); }
    auto end() const { return Counts.end(); }
    friend bool operator==(const TPits&, const TPits&) = default;
};

// Observer of one step of a move: the pit concerned, the side moving
// (Player at that moment) and the number of stones involved.
using TFeldEvent = std::function<void(int32_t Pit, int32_t Side, int32_t Count)>;

class TFeld {
public:
    TPits Pits;                // stones per pit; 7 and 14 hold each side's winnings
    int32_t Hand = 0;          // picked up, not yet sown or put away
    int32_t Captured = 0;      // taken from pits on their way to an end pit
    int32_t CurrentPit = 0;    // last pit emptied or sown into
    int32_t Player = 0;        // side to move, 1 or 2
    int32_t MovesThisTurn = 0; // moves since the turn last passed
    int32_t Variant = 0;       // 1, 2 or 3
    bool UseEndPits = false;   // whether sowing drops stones into the end pits
    uint8_t StonesPerPit = 0;  // stones in every playing pit at set-up

    // Before-notifications fire before any count changes, after-notifications
    // once the change is made; handlers may read the board in between.
    TFeldEvent OnBeforeSow, OnAfterSow;                      // one stone into a pit
    TFeldEvent OnBeforeTake, OnAfterTake;                    // a pit's stones into the hand
    TFeldEvent OnBeforeStore, OnAfterStore;                  // hand stones into an end pit
    TFeldEvent OnBeforeCapture, OnAfterCapture;              // a pit's stones into the capture buffer
    TFeldEvent OnBeforeStoreCaptured, OnAfterStoreCaptured;  // the buffer into an end pit

    TFeld() = default;
    // A copy carries the position only: observers belong to the board they
    // were connected to, never to previews or scratch copies.
    TFeld(const TFeld& Source) { Assign(Source); }
    TFeld& operator=(const TFeld& Source) {
        Assign(Source);
        return *this;
    }

    // Takes over Source's position and settings; this board's observers stay.
    void Assign(const TFeld& Source);
    // Sets up the opening position for the current StonesPerPit; side 1 moves.
    void Reset();

    bool IsLegalMove(int32_t Pit) const;
    bool MustSkip() const { return MustSkipFor(Player); }
    bool IsGameOver() const { return MustSkipFor(Player) && MustSkipFor(OtherPlayer(Player)); }
    // The side already holding more than half of all stones, else 0.
    int32_t WillWin() const;
    int32_t OwnSideSum() const;
    int32_t OtherSideSum() const;
    int32_t Store1() const { return Pits[7]; }
    int32_t Store2() const { return Pits[14]; }
    int32_t StoreOf(int32_t Side) const { return Side == 1 || Side == 2 ? Pits[EndPitOf(Side)] : 0; }
    // All stones on the board, in the hand and in the capture buffer.
    int32_t TotalStones() const;

    // Plays one move from Pit; a pit that is not a legal move is ignored.
    void DoMove(int32_t Pit);
    // Passes the turn when the side to move has no legal move; otherwise nothing.
    void Skip();

private:
    bool MustSkipFor(int32_t Side) const;
    int32_t RowSum(int32_t Side) const;
    int32_t NextPit() const;
    void SowOne();
    void SowHand();  // sows until the hand is empty
    void Take();
    void StoreToMover(int32_t Count);
    void StoreHandToOther();
    void Capture();
    void StoreCapturedToOther();
    void TakeAll();
    void CaptureAll();
    void EndTurn();
    void MoveVariant1(int32_t Pit);
    void MoveVariant2(int32_t Pit);
    void MoveVariant3(int32_t Pit);

    static void Notify(const TFeldEvent& Event, int32_t Pit, int32_t Side, int32_t Count) {
        if (Event) Event(Pit, Side, Count);
    }
};

}  // namespace tessum

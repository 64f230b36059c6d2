// Positions for rule tests, written the way the board is read: side 1's row,
// side 1's end pit, side 2's row, side 2's end pit.
#pragma once

#include "board/uTFeld.h"

#include <array>
#include <cstdint>
#include <initializer_list>
#include <vector>

namespace tessum::test {

struct TRows {
    std::array<int32_t, 6> Row1{};
    int32_t End1 = 0;
    std::array<int32_t, 6> Row2{};
    int32_t End2 = 0;
};

// A board of the given variant whose pits hold exactly Rows, with StonesPerPit
// chosen so that the 12 x StonesPerPit total matches (callers keep it even).
inline TFeld MakeBoard(int32_t Variant, bool UseEndPits, const TRows& Rows, int32_t Player = 1) {
    TFeld Board;
    Board.Variant = Variant;
    Board.UseEndPits = UseEndPits;
    Board.Player = Player;
    for (int32_t N = 1; N <= 6; ++N) {
        Board.Pits[N] = Rows.Row1[static_cast<std::size_t>(N - 1)];
        Board.Pits[N + 7] = Rows.Row2[static_cast<std::size_t>(N - 1)];
    }
    Board.Pits[7] = Rows.End1;
    Board.Pits[14] = Rows.End2;
    Board.StonesPerPit = static_cast<uint8_t>(Board.TotalStones() / 12);
    return Board;
}

// One notification as an observer saw it.
struct TEvent {
    char Kind;  // 's' sow, 't' take, 'e' store, 'c' capture, 'x' store captured
    bool Before;
    int32_t Pit, Side, Count;
    friend bool operator==(const TEvent&, const TEvent&) = default;
};

// Connects all ten slots of Board to a log.
inline void Record(TFeld& Board, std::vector<TEvent>& Log) {
    auto Slot = [&Log](char Kind, bool Before) {
        return [&Log, Kind, Before](int32_t Pit, int32_t Side, int32_t Count) {
            Log.push_back({Kind, Before, Pit, Side, Count});
        };
    };
    Board.OnBeforeSow = Slot('s', true);
    Board.OnAfterSow = Slot('s', false);
    Board.OnBeforeTake = Slot('t', true);
    Board.OnAfterTake = Slot('t', false);
    Board.OnBeforeStore = Slot('e', true);
    Board.OnAfterStore = Slot('e', false);
    Board.OnBeforeCapture = Slot('c', true);
    Board.OnAfterCapture = Slot('c', false);
    Board.OnBeforeStoreCaptured = Slot('x', true);
    Board.OnAfterStoreCaptured = Slot('x', false);
}

inline int32_t CountKind(const std::vector<TEvent>& Log, char Kind) {
    int32_t N = 0;
    for (const TEvent& E : Log)
        if (E.Kind == Kind && E.Before) ++N;
    return N;
}

}  // namespace tessum::test

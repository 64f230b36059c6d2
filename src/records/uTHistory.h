// The record of one game: its settings, the two players, and every move with
// the side that made it and the seconds it took. It is also the saved game:
// loading a ".tsm" file reads a history, which the controller then replays.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "archive/Streams.h"

namespace tessum {

struct TMove {
    std::int32_t Seconds = 0;  // time the mover spent on this move
    std::uint8_t Pit = 0;      // pit played, or 0 for a forced skip
    std::int32_t Player = 0;   // side that moved, 1 or 2
};

class THistory {
public:
    std::vector<TMove> Moves;
    std::int32_t Variant = 0;
    bool UseEndPits = false;
    std::uint8_t StonesPerPit = 0;
    std::int32_t Level = 0;
    std::int32_t StartPlayer = 0;
    std::uint8_t Mode = 0;
    std::string Name1, Name2;
    std::string EMail1, EMail2;
    std::string Land1, Land2;

    // Key of the cipher that guards saved games; shared with every file ever written.
    static constexpr const char* FileKey = "Qm7Zr2VbT9xLp4HsWc8Nd";
    // The single container entry of a saved game.
    static constexpr const char* EntryName = "his";

    // Begins the record of a new game: drops all moves, stores the settings.
    void Start(const std::string& Name1, const std::string& Name2, const std::string& EMail1,
               const std::string& EMail2, const std::string& Land1, const std::string& Land2,
               std::int32_t Variant, bool UseEndPits, std::uint8_t StonesPerPit, std::int32_t Level,
               std::int32_t StartPlayer, std::uint8_t Mode);
    void AddMove(std::int32_t Seconds, std::uint8_t Pit, std::int32_t Player);
    // Drops the moves; the settings and players stay.
    void Clear() { Moves.clear(); }

    int Count() const { return static_cast<int>(Moves.size()); }
    // Index is 0-based; out of range throws std::out_of_range.
    const TMove& Items(int Index) const;

    // Moves actually played, skips left out.
    int CountMoves() const;
    int CountMovesOf(std::int32_t Player) const;
    // Total seconds of one side, skips included. 64 bits, so a hostile file
    // cannot overflow it.
    std::int64_t SumSeconds(std::int32_t Player) const;

    void SaveToStream(TStream& Stream) const;
    // Reads the layout at the stream's position. A stream that ends early or
    // holds more moves than its bytes can carry throws ECorruptFile
    // ("File is corrupt.") and leaves this history as it was.
    void LoadFromStream(TStream& Stream);

    // Whole saved-game file: a compressed, encrypted container holding "his".
    void SaveToContainerStream(TStream& Dest) const;
    void LoadFromContainerStream(TStream& Source);

    // Written through a temporary sibling, so a failed save keeps the old file.
    void SaveToFile(const std::string& FileName) const;
    // A missing file leaves the history as it is. A damaged one, one written
    // with another key, or one without the entry throws ECorruptFile and also
    // leaves it as it is.
    void LoadFromFile(const std::string& FileName);
};

// The name the save command writes to: ".tsm" is appended unless the name
// already ends in it, in any letter case.
std::string WithSavedGameExtension(const std::string& FileName);

}  // namespace tessum

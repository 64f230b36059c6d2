// Taking moves back and playing them again. The record of the game is the
// one truth: an undo cuts entries off its end and keeps them for a redo, and
// everything shown (board, clocks, counters, notes) is then rebuilt from the
// shortened record, exactly as if the game had been replayed up to there.
#pragma once

#include "board/uTFeld.h"
#include "records/uTHistory.h"

#include <cstdint>
#include <functional>
#include <vector>

namespace tessum {

// One line a replay of a record writes under the note it began with.
struct TReplayNote {
    enum TKind { WillWin, MustSkip, End };
    TKind Kind = WillWin;
    int32_t Side = 0;  // the side the line names; 0 for End
    friend bool operator==(const TReplayNote&, const TReplayNote&) = default;
};

// Sets Board up as Record began and plays its first Count entries on it.
// Lines gets the note lines the game wrote for entries From to Count - 1,
// the will-win line counting as not yet written at From. False, with Board
// left at the entry that failed, when an entry does not replay.
bool ReplayRecord(const THistory& Record, int32_t From, int32_t Count, TFeld& Board, std::vector<TReplayNote>& Lines);

class TUndoList {
public:
    using TIsComputer = std::function<bool(int32_t Side)>;

    // How many entries of Record an undo keeps: everything before the last
    // move a person made, so that the computer's replies and the skips after
    // it go too. -1 when no person has moved yet.
    static int32_t UndoPoint(const THistory& Record, const TIsComputer& IsComputer);

    bool CanUndo(const THistory& Record, const TIsComputer& IsComputer) const {
        return UndoPoint(Record, IsComputer) >= 0;
    }
    bool CanRedo() const { return !Taken.empty(); }
    // Cuts the entries after the undo point off Record and keeps them.
    bool Undo(THistory& Record, const TIsComputer& IsComputer);
    // Puts back the entries the last undo took.
    bool Redo(THistory& Record);
    // A new move or a new game: what was taken back is gone for good.
    void Clear() { Taken.clear(); }

private:
    std::vector<std::vector<TMove>> Taken;  // one group per undo, the latest last
};

}  // namespace tessum

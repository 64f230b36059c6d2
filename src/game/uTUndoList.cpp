#include "game/uTUndoList.h"

namespace tessum {

bool ReplayRecord(const THistory& Record, int32_t From, int32_t Count, TFeld& Board,
                  std::vector<TReplayNote>& Lines) {
    Board.StonesPerPit = Record.StonesPerPit;
    Board.UseEndPits = Record.UseEndPits;
    Board.Variant = Record.Variant;
    Board.Reset();
    Board.Player = Record.StartPlayer;
    Lines.clear();
    bool WillWinShown = false;
    for (int32_t Index = 0; Index < Count && Index < Record.Count(); ++Index) {
        const TMove& Move = Record.Items(Index);
        const bool Noted = Index >= From;
        if (Move.Pit != 0) {
            if (!Board.IsLegalMove(Move.Pit)) return false;
            Board.DoMove(Move.Pit);
            if (Noted && !WillWinShown && Board.WillWin() != 0) {
                Lines.push_back({TReplayNote::WillWin, Board.WillWin()});
                WillWinShown = true;
            }
        } else {
            if (!Board.MustSkip()) return false;
            if (Noted) Lines.push_back({TReplayNote::MustSkip, Board.Player});
            Board.Skip();
        }
        if (Noted && Board.IsGameOver()) Lines.push_back({TReplayNote::End, 0});
    }
    return true;
}

int32_t TUndoList::UndoPoint(const THistory& Record, const TIsComputer& IsComputer) {
    for (int32_t Index = Record.Count() - 1; Index >= 0; --Index) {
        const TMove& Move = Record.Items(Index);
        if (Move.Pit != 0 && !(IsComputer && IsComputer(Move.Player))) return Index;
    }
    return -1;
}

bool TUndoList::Undo(THistory& Record, const TIsComputer& IsComputer) {
    const int32_t Keep = UndoPoint(Record, IsComputer);
    if (Keep < 0) return false;
    Taken.emplace_back(Record.Moves.begin() + Keep, Record.Moves.end());
    Record.Moves.resize(static_cast<std::size_t>(Keep));
    return true;
}

bool TUndoList::Redo(THistory& Record) {
    if (Taken.empty()) return false;
    Record.Moves.insert(Record.Moves.end(), Taken.back().begin(), Taken.back().end());
    Taken.pop_back();
    return true;
}

}  // namespace tessum

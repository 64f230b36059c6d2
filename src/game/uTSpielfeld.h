// TSpielfeld: the controller of the one game the program shows.
//
// It owns the board, the computer opponent, the record of the game, the
// settings, the board layers, the hands and every picture the board is
// composed of. It starts and loads games, plays each move on the board while
// the board's notifications drive the hands or stone frames and the sounds,
// records every move with the seconds it took, writes the notes, passes the
// turn when a side cannot move and ends the game. Who moves when is the turn
// driver's business (TTurnDriver); this class only offers the steps.
//
// Everything the window has to learn it is told through ISpielfeldWindow:
// repaint, an error, the result of a finished game, that the game finished,
// that the side to move must skip. The window calls ShowLanguagePictures()
// after creation and after every change of the translation's language (then
// Layers().PaintAll() and Refresh()), and SkipAnimation() on the Escape key.
// Everything runs on the user-interface thread; the animation waits with the
// pumping waits, so window events keep being handled during a move.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "graphics/Graphics.h"
#include "board/uTFeld.h"
#include "game/uTHands.h"
#include "game/uTMoveAnimator.h"
#include "records/uTHistory.h"
#include "ai/uTKI.h"
#include "game/uTSettings.h"
#include "game/uTUndoList.h"
#include "graphics/uTSpielfeldLayers.h"
#include "i18n/TextFormat.h"

namespace tessum {

class TMultiLanguage;

// What the controller tells the window that shows it. Every notification
// comes on the user-interface thread; the ones about the course of the game
// (GameFinished, MustSkip) come at the end of the step that caused them.
class ISpielfeldWindow {
public:
    virtual ~ISpielfeldWindow() = default;
    // The application's error display: a message box with Message, after
    // which the program goes on.
    virtual void ShowError(const std::string& Message) = 0;
    // The board picture changed; show ShownPicture() soon.
    virtual void Repaint() = 0;
    // The result of a game just finished, for a message box.
    virtual void ShowResult(const std::string& Message) = 0;
    // The game is over; Rank1 / Rank2 are the 1-based highscore places the
    // sides reached, -1 for none.
    virtual void GameFinished(std::int32_t Rank1, std::int32_t Rank2) = 0;
    // The side to move has no legal move and must pass (PassTurn).
    virtual void MustSkip() = 0;
};

class TSpielfeld : private IAnimationHost {
public:
    // Loads the settings and every picture ("game.gfx", "steine.gfx",
    // "mulden.gfx", "hands.gfx" from the program's folder). Without a window
    // errors and results show in message dialogs.
    explicit TSpielfeld(TMultiLanguage* Translation, ISpielfeldWindow* Window = nullptr);
    // Saves the settings first.
    TSpielfeld(const TSpielfeld&) = delete;
    TSpielfeld& operator=(const TSpielfeld&) = delete;
    ~TSpielfeld() override;

    void NewGame(const std::string& Name1, const std::string& Name2, const std::string& EMail1,
                 const std::string& EMail2, const std::string& Land1, const std::string& Land2, int StonesPerPit,
                 bool UseEndPits, int Variant, int Level, std::uint8_t Mode, int StartSide);
    // True when the file's moves replayed and the game was taken over. A file
    // that cannot be read is reported through the error display and gives
    // false; either way a failed load leaves the game in progress as it was
    // (only the clocks, names and variant of the file stay on display).
    bool LoadGame(const std::string& FileName);
    // One legal pit of the side to move, animated, recorded and checked; any
    // other pit is ignored.
    void PlayMove(int Pit);
    // Records and carries out the skip of a side that cannot move; ignored
    // while it can.
    void PassTurn();

    // The board, the record and the rest, for reading; what changes them
    // goes through the operations above.
    const TFeld& Board() const override { return *Board_; }
    const THistory& History() const { return *History_; }
    TTessumSettings& Settings() { return *Settings_; }
    const TTessumSettings& Settings() const { return *Settings_; }
    TSpielfeldLayers& Layers() { return *Layers_; }
    TMoveAnimator& Animator() { return *Animator_; }
    TTessumHands& Hands() { return Animator_->Hands(); }
    TKI& Opponent() { return *Opponent_; }
    TMultiLanguage* Translation() const { return Translation_; }

    // A game is in progress and accepts moves.
    bool IsRunning() const override { return Running_; }
    // A move is being played and animated.
    bool IsMoveInProgress() const { return MoveInProgress_; }
    // While true the window shows the animation frame instead of the board.
    bool IsAnimating() const { return Animating_; }
    // The will-win note has been written in this game.
    bool WillWinShown() const { return WillWinShown_; }
    // The Escape key: the rest of the current move is not animated.
    void SkipAnimation(bool Skip = true) { SkipAnimation_ = Skip; }
    bool AnimationSkipped() const override { return SkipAnimation_; }
    // 1-based highscore place side 1 or 2 reached in the game that finished
    // last, -1 for none.
    std::int32_t Rank(int Side) const { return Side == 1 ? Rank1_ : Side == 2 ? Rank2_ : -1; }
    // Folder of the highscore tables; the program's folder unless a test says otherwise.
    void SetHighscoreFolder(std::string Folder) { HighscoreFolder_ = std::move(Folder); }

    bool IsComputer(int Side) const;

    // Undo and redo while a person is to move (never between two computers):
    // the record is cut back to before that person's last move, or the cut
    // entries are put back, and the board, clocks, counters, notes and
    // overview are rebuilt from the record as a replay would leave them.
    bool CanUndo() const;
    bool CanRedo() const;
    bool Undo();
    bool Redo();
    // A person took a move back or was shown a hint in this game, so its
    // result does not enter the highscore table.
    bool Assisted() const { return Assisted_; }
    void SetAssisted() { Assisted_ = true; }
    // Puts the board into a position of the caller's making (tests, tools);
    // the record does not follow.
    void SetPosition(const TPits& Pits, int Player);
    // The side to move is the computer's and the game runs.
    bool ComputerToMove() const { return Running_ && IsComputer(Board_->Player); }
    // The computer's choice for the side to move: a pit, or 0 for a skip.
    int ComputerMove();
    int PitAt(int X, int Y) const { return PitAtPoint(X, Y); }

    void Refresh() override;
    void BeginUpdate() { Updating_ = true; }
    void EndUpdate() { Updating_ = false; }
    bool IsUpdating() const { return Updating_; }

    // The picture the window shows now: the frame while animating, else the board.
    const TBitmap& ShownPicture() const { return Animating_ ? *FramePicture_ : *BoardPicture_; }
    // Background plus all layers: shown between moves.
    const TBitmap& BoardPicture() const { return *BoardPicture_; }
    // One animation frame: the board with hands or a highlight over it.
    TBitmap& FramePicture() { return *FramePicture_; }
    // The background with the language legends; the layers restore from it.
    const TBitmap& BackgroundPicture() const { return *BackgroundPicture_; }
    // Marks the pit a stone is about to fall into; white is transparent.
    const TBitmap& HighlightPicture() const { return Animator_->HighlightPicture(); }

    // Draws the legends of the current language onto the background.
    void ShowLanguagePictures();
    // Shows Pit in the overview (the pointer rests on it), -1 for none.
    void ShowPreview(int Pit);

    // A side's clock in seconds (the value of its clock layer).
    std::int32_t Clock(int Side);
    void SetClock(int Side, std::int32_t Seconds);
    // The name of side 1 or 2 from the record.
    const std::string& PlayerName(int Side) const;

    std::string Text(const char* Key) const;

private:
    void LoadPictures(TBitmap& HighlightPicture);
    void RecordMove(int Pit);
    void RebuildFromRecord();
    void CheckAfterMove();
    void UpdateLayers();
    // Ends the game: highscore entries, result sound and message. True when
    // at least one side reached a place.
    bool FinishGame();
    // Notes: "notestart" and "noteload" replace the text, the others append a line.
    void SetNote(const std::string& Text);
    void AppendNote(const std::string& Line);
    // "Player X has won." or "Drawn." for the board as it stands.
    std::string ResultLine() const;
    void PlaySound(const char* Name) const;
    void ShowError(const std::string& Message) const;
    void ShowResult(const std::string& Message) const;
    // IAnimationHost.
    std::uint8_t AnimationKind() const override;
    bool SoundOn() const override;

    TMultiLanguage* Translation_ = nullptr;  // not owned
    // The window's side of the seam; not owned, may be null.
    ISpielfeldWindow* Window_ = nullptr;
    std::string HighscoreFolder_;
    std::unique_ptr<TTessumSettings> Settings_;
    std::unique_ptr<TFeld> Board_;
    std::unique_ptr<TKI> Opponent_;
    std::unique_ptr<THistory> History_;
    bool Animating_ = false;
    // Update bracket: while true the window does not repaint.
    bool Updating_ = false;
    bool SkipAnimation_ = false;
    bool Running_ = false;
    bool MoveInProgress_ = false;
    bool WillWinShown_ = false;
    std::int32_t Rank1_ = -1;
    std::int32_t Rank2_ = -1;
    TUndoList UndoList_;
    bool Assisted_ = false;
    // The note a game began with ("notestart", or "noteload" for a loaded
    // game) and the first record entry whose note lines follow it.
    const char* NoteHeadKey_ = "notestart";
    int NoteBase_ = 0;

    std::unique_ptr<TBitmap> BackgroundPicture_;
    std::unique_ptr<TBitmap> BoardPicture_;
    std::unique_ptr<TBitmap> FramePicture_;
    std::unique_ptr<TBitmap> OverviewEnglish_, PreviewEnglish_, OverviewGerman_, PreviewGerman_;
    std::unique_ptr<TSpielfeldLayers> Layers_;
    std::unique_ptr<TMoveAnimator> Animator_;
};

// The result sound of a finished game by mode and winner (0 drawn).
const char* ResultSound(std::uint8_t Mode, int Winner);

}  // namespace tessum

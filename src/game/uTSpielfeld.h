// TSpielfeld: the controller of the one game the program shows.
//
// It owns the board, the computer opponent, the record of the game, the
// settings, the board layers, the hands and every picture the board is
// composed of. It starts and loads games, plays each move on the board while
// the board's notifications drive the hands or stone frames and the sounds,
// records every move with the seconds it took, writes the notes, passes the
// turn when a side cannot move and ends the game. Who moves when is the turn
// driver's business (the main window); this class only offers the steps.
//
// The seam to the window (what the host must do):
//   - Repaint: call Layers->SetOnPaint(handler) once after creation. Every
//     layer change and every animation frame calls that handler; it should
//     show ShownPicture() (nothing while IsUpdating()) on the board area.
//   - Give an ISpielfeldWindow: the application's error display. Without
//     one, the errors the controller catches (a saved game or highscore table
//     that cannot be read or written) show in an error message dialog.
//   - Call ShowLanguagePictures() after creation and after every change of the
//     translation component's language (then Layers->PaintAll() and Refresh()).
//   - Set SkipAnimation on the Escape key; read Running / MoveInProgress,
//     Board, History, Settings and Rank1 / Rank2 as the turn driver needs.
// Everything runs on the user-interface thread; the animation waits with the
// pumping waits, so window events keep being handled during a move.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <variant>

#include "graphics/Graphics.h"
#include "board/uTFeld.h"
#include "game/uTHands.h"
#include "records/uTHistory.h"
#include "ai/uTKI.h"
#include "game/uTSettings.h"
#include "graphics/uTSpielfeldLayers.h"

namespace tessum {

class TMultiLanguage;

// What the controller needs of the window that shows it.
class ISpielfeldWindow {
public:
    virtual ~ISpielfeldWindow() = default;
    // The application's error display: a message box with Message, after
    // which the program goes on.
    virtual void ShowError(const std::string& Message) = 0;
};

// One argument of FormatText.
using TFormatArg = std::variant<std::int64_t, std::string>;

// Fills a translated pattern the way the program's texts expect: %s, %d and
// %u with an optional width ("%2d", "%-8s") and precision ("%2.2d"), "%%"
// for a percent sign. It never trusts the pattern: a missing argument gives
// an empty text and an unknown directive is copied as it stands, so a slip in
// a translation cannot crash the program.
std::string FormatText(std::string_view Pattern, std::initializer_list<TFormatArg> Args);

class TSpielfeld {
public:
    TMultiLanguage* Translation = nullptr;  // not owned
    std::unique_ptr<TTessumSettings> Settings;
    std::unique_ptr<TFeld> Board;
    std::unique_ptr<TKI> Opponent;
    std::unique_ptr<THistory> History;
    // While true the window shows FramePicture instead of BoardPicture.
    bool Animating = false;
    // Update bracket: while true the window does not repaint.
    bool Updating = false;
    // Set by the Escape key: the rest of the current move is not animated.
    bool SkipAnimation = false;
    // A game is in progress and accepts moves.
    bool Running = false;
    // A move is being played and animated.
    bool MoveInProgress = false;
    // The will-win note has been written in this game.
    bool WillWinShown = false;
    // 1-based highscore places of the game just finished, -1 for none.
    std::int32_t Rank1 = -1;
    std::int32_t Rank2 = -1;

    // The background with the language legends; the layers restore from it.
    std::unique_ptr<TBitmap> BackgroundPicture;
    // Background plus all layers: shown between moves.
    std::unique_ptr<TBitmap> BoardPicture;
    // One animation frame: BoardPicture with hands or a highlight over it.
    std::unique_ptr<TBitmap> FramePicture;
    // Marks the pit a stone is about to fall into; white is transparent.
    std::unique_ptr<TBitmap> HighlightPicture;
    std::unique_ptr<TBitmap> OverviewEnglish, PreviewEnglish, OverviewGerman, PreviewGerman;
    std::unique_ptr<TSpielfeldLayers> Layers;
    std::unique_ptr<TTessumHands> Hands;

    // The window's side of the seam; not owned, may be null.
    ISpielfeldWindow* Window = nullptr;
    // Folder of the highscore tables; the program's folder unless a test says otherwise.
    std::string HighscoreFolder;

    // Loads the settings and every picture ("game.gfx", "steine.gfx",
    // "mulden.gfx", "hands.gfx" from the program's folder).
    explicit TSpielfeld(TMultiLanguage* Translation, ISpielfeldWindow* Window = nullptr);
    // Saves the settings first.
    ~TSpielfeld();
    TSpielfeld(const TSpielfeld&) = delete;
    TSpielfeld& operator=(const TSpielfeld&) = delete;

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

    bool IsComputer(int Side) const;
    int PitAt(int X, int Y) const { return PitAtPoint(X, Y); }
    bool IsRunning() const { return Running; }

    void Refresh();
    void BeginUpdate() { Updating = true; }
    void EndUpdate() { Updating = false; }
    bool IsUpdating() const { return Updating; }

    // The picture the window shows now: FramePicture while animating, else BoardPicture.
    const TBitmap& ShownPicture() const { return Animating ? *FramePicture : *BoardPicture; }

    // Draws the legends of the current language onto the background.
    void ShowLanguagePictures();

    // A side's clock in seconds (the value of its clock layer).
    std::int32_t Clock(int Side);
    void SetClock(int Side, std::int32_t Seconds);
    // The name of side 1 or 2 from the record.
    const std::string& PlayerName(int Side) const;

    // The steps below are called by the operations above; they are public so
    // that the window and the tests can drive single steps.
    void LoadPictures();
    void RecordMove(int Pit);
    void CheckAfterMove();
    void UpdateLayers();
    // Ends the game: highscore entries, result sound and message. True when
    // at least one side reached a place.
    bool FinishGame();
    // Copies the board onto FramePicture with Pit (1..14) highlighted, shows
    // it and waits until Milliseconds have passed since the call.
    void ShowStoneFrame(int Pit, std::uint32_t Milliseconds);

    // Notes: "notestart" and "noteload" replace the text, the others append a line.
    void SetNote(const std::string& Text);
    void AppendNote(const std::string& Line);
    std::string Text(const char* Key) const;

    // The board's notifications.
    void BoardBeforeTake(int Pit, int Side, int Count);
    void BoardAfterTake(int Pit, int Side, int Count);
    void BoardBeforeSow(int Pit, int Side, int Count);
    void BoardAfterSow(int Pit, int Side, int Count);
    void BoardBeforeStore(int Pit, int Side, int Count);
    void BoardAfterStore(int Pit, int Side, int Count);

private:
    void PlaySound(const char* Name) const;
    void ShowError(const std::string& Message) const;
    void ShowResult(const std::string& Message) const;
    // The sound a stone falling into Pit makes, given what lies there already.
    const char* SowSound(int Pit) const;
    std::uint8_t AnimationKind() const;
};

// The sound of putting Count stones into an end pit already holding Before;
// nullptr when none plays.
const char* StoreSound(int Count, int Before);
// The result sound of a finished game by mode and winner (0 drawn).
const char* ResultSound(std::uint8_t Mode, int Winner);

}  // namespace tessum

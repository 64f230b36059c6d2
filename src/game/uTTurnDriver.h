// TTurnDriver: who moves when.
//
// It decides when a person's click counts, when the computer moves, when the
// clocks run, when a side that cannot move skips, and what happens once a
// game is over (highscore table, another game?). It owns the clock timer and
// the computer timer and works the controller through its operations; of the
// window it needs only what ITurnWindow offers.
//
// Pacing of computer-against-computer games: the next computer move is always
// started by the computer timer from the event loop, never from inside the
// wait after the previous move, so a game of any length (and the next game
// started from the final question) runs at a constant stack depth. In that
// mode the timer waits ComputerPause instead of ComputerDelayMs.
//
// The master (level 4) thinks on a thread of its own while the window stays
// responsive and the clock stands still; its answer comes back through the
// event loop. Escape makes it answer at once with the best move found so
// far; a new or loaded game, an undo, the quit question and the end of the
// driver abandon it. The same search gives the hint for a person.
//
// A command that opens a window of its own stops the clock for as long as it
// runs with a TClockStop on its stack:
//     const TClockStop Stop(Driver);
// The clock is resumed on every way out, also by exception.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "ai/uTMaster.h"

class QObject;

namespace tessum {

class TMasterThread;

class TSpielfeld;

inline constexpr int ComputerDelayMs = 250;
inline constexpr int ComputerPauseMs = 1000;
inline constexpr int ClockTickMs = 1000;

// The pointer shapes the turn driver works with.
enum class TPointer { Arrow, Hourglass, HandPoint };

// A timer of the event loop. The program's are QTimers; tests give timers of
// a clock they move on by hand.
class ITurnTimer {
public:
    virtual ~ITurnTimer() = default;
    // (Re)starts the timer: OnTimeout after Milliseconds, and every
    // Milliseconds after that while Repeating.
    virtual void Start(int Milliseconds, bool Repeating) = 0;
    virtual void Stop() = 0;
    virtual bool IsActive() const = 0;
    // Milliseconds left until the next timeout; 0 when due, -1 when inactive.
    virtual int RemainingTime() const = 0;

    std::function<void()> OnTimeout;
};

// Makes the timer called Name ("tZeit", "tKI").
using TTimerFactory = std::function<std::unique_ptr<ITurnTimer>(const char* Name)>;
std::unique_ptr<ITurnTimer> MakeEventLoopTimer(const char* Name);

// What the turn driver needs of the window.
class ITurnWindow {
public:
    virtual ~ITurnWindow() = default;
    // Menus and board take input or not. The window itself keeps taking the
    // Escape key, which cuts a long animation short.
    virtual void SetInputEnabled(bool Enabled) = 0;
    virtual TPointer Pointer() const = 0;
    virtual void SetPointer(TPointer Pointer) = 0;
    // The hover hint: how many stones lie in Pit, shown at the board point X, Y.
    virtual int HintPit() const = 0;
    virtual bool HintShown() const = 0;
    virtual void ShowHint(int Pit, int Stones, int X, int Y) = 0;
    virtual void HideHint() = 0;
    // The highscore command with the places of the game just finished (-1 for none).
    virtual void ShowHighscore(std::int32_t Rank1, std::int32_t Rank2) = 0;
    // The new-game command.
    virtual void StartNewGame() = 0;
    // A yes/no question; true for yes.
    virtual bool Ask(const std::string& Question) = 0;
    // Whether there is a game to save may have changed.
    virtual void CommandsChanged() = 0;
    // The application's error display.
    virtual void ShowError(const std::string& Message) = 0;
    // Marks the pit the hint recommends, -1 for none.
    virtual void ShowBestPit(int Pit) { (void)Pit; }
    // Where the mouse is on the board, when it is there and no other window
    // covers that spot; the pointer is worked out again there after a move.
    virtual bool MouseOnBoard(int& X, int& Y) const {
        (void)X;
        (void)Y;
        return false;
    }
    // Whether one of the window's dialogs (or a message) is open: the
    // computer waits until it closes, and no side's clock runs.
    virtual bool DialogOpen() const { return false; }
};

class TTurnDriver {
public:
    TTurnDriver(TSpielfeld& Game, ITurnWindow& Window, const TTimerFactory& Timers = MakeEventLoopTimer);
    ~TTurnDriver();
    TTurnDriver(const TTurnDriver&) = delete;
    TTurnDriver& operator=(const TTurnDriver&) = delete;

    // The pause before a computer move when the computer plays both sides.
    int ComputerPause = ComputerPauseMs;
    // The master's time for a move or a hint.
    std::chrono::milliseconds MasterBudget = TMaster::DefaultBudget;

    void StopClock();
    // Runs the clock while a game runs and no move is under way.
    void ResumeClock();
    // Arms the computer timer when the computer is to move, else disarms it.
    void ArmComputer();
    // A person's or the computer's move on a legal pit; ignored otherwise.
    void MakeMove(int Pit);
    // The forced skip of the side to move.
    void MakeSkip();
    // A game was started or loaded: the pointer is reset and the computer
    // armed when it is to move.
    void GameStarted();
    // The clock timer's tick: one second more for the side to move.
    void tZeitTimer();
    // The computer timer: the computer moves or skips.
    void tKITimer();

    // The pointer over the board: hand, preview and hint over a pit the
    // person to move may take.
    void MouseMove(int X, int Y);
    // The click: a move when the pointer showed the hand over a legal pit.
    void MouseDown(int X, int Y);

    // The controller's notifications, forwarded by the window.
    void GameFinished(std::int32_t Rank1, std::int32_t Rank2);
    void MustSkip();

    // Holds the computer timer (the quit question) and gives it back with
    // the time it had left.
    void HoldComputer();
    void ReleaseComputer();

    // The master is searching, for the computer's move or for a hint.
    bool Thinking() const { return Search_ != 0; }
    bool ThinkingForHint() const { return Search_ != 0 && SearchIsHint_; }
    // Escape: the master answers now with the best move it has found.
    void HurryComputer();
    // The hint for the person to move: the master's best pit, marked until
    // the next move. Using it keeps the game out of the highscore table.
    void AskForHint();
    bool CanHint() const;
    // The pit the hint marks, -1 for none.
    int BestPit() const { return BestPit_; }
    // Takes the person's last move back (with the computer's reply), or
    // plays the moves taken back again.
    void Undo();
    void Redo();
    // The window is closing: a move under way finishes without showing more
    // (no result, highscore or question), and no move, skip or computer turn
    // starts after it, so the program ends at once.
    void Shutdown();
    bool ShuttingDown() const { return ShuttingDown_; }

    // Runs a command or event handler; an exception that escapes it reaches
    // the error display, and a window left without input by it takes input again.
    void Guarded(const std::function<void()>& Handler);

    bool ClockRunning() const { return Clock_->IsActive(); }
    bool ComputerArmed() const { return Computer_->IsActive(); }

private:
    struct TOutcome {
        bool Finished = false;
        bool MustSkip = false;
        std::int32_t Rank1 = -1;
        std::int32_t Rank2 = -1;
    };
    TOutcome TakeOutcome();
    void AskForAnotherGame();
    void StartThinking(bool ForHint);
    // Forgets the search under way; its answer never arrives.
    void Abandon();
    void Answered(std::uint64_t Search, const TMasterResult& Result);
    void ClearBestPit();
    // After a move or skip: the pointer, hint and preview for where the mouse
    // is now, as if it had just moved there.
    void PointAgain();

    TSpielfeld& Game_;
    ITurnWindow& Window_;
    std::unique_ptr<ITurnTimer> Clock_;
    std::unique_ptr<ITurnTimer> Computer_;
    // What the controller reported during the step under way.
    TOutcome Outcome_;
    // The computer timer's state while held.
    bool Held_ = false;
    bool ShuttingDown_ = false;
    int HeldRemaining_ = -1;
    // Where the master's answers are delivered on the user-interface thread.
    // Declared before the master, which must let go of it first.
    std::unique_ptr<QObject> Receiver_;
    std::unique_ptr<TMasterThread> Master_;
    std::uint64_t Search_ = 0;  // the search whose answer is awaited, 0 for none
    bool SearchIsHint_ = false;
    int BestPit_ = -1;
};

// Stops the clock for its lifetime; see above.
class TClockStop {
public:
    explicit TClockStop(TTurnDriver& Driver) : Driver_(Driver) { Driver_.StopClock(); }
    ~TClockStop() { Driver_.ResumeClock(); }
    TClockStop(const TClockStop&) = delete;
    TClockStop& operator=(const TClockStop&) = delete;

private:
    TTurnDriver& Driver_;
};

}  // namespace tessum

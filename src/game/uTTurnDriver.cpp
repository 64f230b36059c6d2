#include "game/uTTurnDriver.h"

#include <QObject>
#include <QTimer>

#include <algorithm>
#include <exception>
#include <utility>

#include "ai/uTMasterThread.h"
#include "game/uTSpielfeld.h"

namespace tessum {

namespace {

class TEventLoopTimer final : public ITurnTimer {
public:
    explicit TEventLoopTimer(const char* Name) {
        timer_.setObjectName(Name);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (OnTimeout) OnTimeout();
        });
    }
    void Start(int Milliseconds, bool Repeating) override {
        timer_.setSingleShot(!Repeating);
        timer_.start(std::max(Milliseconds, 0));
    }
    void Stop() override { timer_.stop(); }
    bool IsActive() const override { return timer_.isActive(); }
    int RemainingTime() const override { return timer_.remainingTime(); }

private:
    QTimer timer_;
};

}  // namespace

std::unique_ptr<ITurnTimer> MakeEventLoopTimer(const char* Name) { return std::make_unique<TEventLoopTimer>(Name); }

TTurnDriver::TTurnDriver(TSpielfeld& Game, ITurnWindow& Window, const TTimerFactory& Timers)
    : Game_(Game), Window_(Window), Clock_(Timers("tZeit")), Computer_(Timers("tKI")),
      Receiver_(std::make_unique<QObject>()) {
    Clock_->OnTimeout = [this] { Guarded([this] { tZeitTimer(); }); };
    Computer_->OnTimeout = [this] { Guarded([this] { tKITimer(); }); };
}

TTurnDriver::~TTurnDriver() {
    Clock_->Stop();
    Computer_->Stop();
    // The worker ends before the receiver of its answers goes.
    Master_.reset();
}

void TTurnDriver::Guarded(const std::function<void()>& Handler) {
    try {
        Handler();
    } catch (const std::exception& E) {
        if (!Game_.IsMoveInProgress()) {
            Window_.SetInputEnabled(true);
            Window_.SetPointer(TPointer::Arrow);
        }
        Window_.ShowError(E.what());
    }
}

void TTurnDriver::StopClock() { Clock_->Stop(); }

void TTurnDriver::ResumeClock() {
    // The computer's thinking costs it no time, however long it takes.
    if (Game_.IsRunning() && !Game_.IsMoveInProgress() && !(Thinking() && !SearchIsHint_)) {
        if (!Clock_->IsActive()) Clock_->Start(ClockTickMs, true);
    } else {
        Clock_->Stop();
    }
    Window_.CommandsChanged();
}

void TTurnDriver::Shutdown() {
    ShuttingDown_ = true;
    // A search still running would answer into a window that is going away.
    Abandon();
    Clock_->Stop();
    Computer_->Stop();
    Game_.SkipAnimation();
}

void TTurnDriver::ArmComputer() {
    if (!ShuttingDown_ && Game_.ComputerToMove()) {
        // Between two computer moves the board shows the last one for a while;
        // the pause is the timer's, so no wait piles up inside another.
        Computer_->Start(Game_.History().Mode == 2 ? ComputerPause : ComputerDelayMs, false);
    } else {
        Computer_->Stop();
    }
}

void TTurnDriver::GameStarted() {
    Abandon();
    ClearBestPit();
    Window_.SetPointer(TPointer::Arrow);
    ArmComputer();
}

void TTurnDriver::tZeitTimer() {
    if (!Game_.IsRunning() || Game_.IsMoveInProgress()) return;
    // Nobody's time runs while a dialog is open, also one that no command
    // holds the clock for, such as the message that the desktop could not
    // open the help, which arrives later from the event loop.
    if (Window_.DialogOpen()) return;
    const int Side = Game_.Board().Player;
    Game_.SetClock(Side, Game_.Clock(Side) + 1);
}

void TTurnDriver::tKITimer() {
    Computer_->Stop();
    if (ShuttingDown_ || Game_.IsMoveInProgress() || !Game_.ComputerToMove()) return;
    // Nothing happens behind a dialog: the computer waits for it to close.
    if (Window_.DialogOpen()) {
        Computer_->Start(ComputerDelayMs, false);
        return;
    }
    // Thinking takes a while at the higher levels; the player sees that.
    Window_.SetPointer(TPointer::Hourglass);
    if (Game_.Opponent().Level == MasterLevel) {
        StartThinking(false);
        return;
    }
    const int Pit = Game_.ComputerMove();
    if (Pit == 0) {
        MakeSkip();
        return;
    }
    if (!Game_.Board().IsLegalMove(Pit)) {
        PointAgain();
        return;
    }
    MakeMove(Pit);
}

void TTurnDriver::GameFinished(std::int32_t Rank1, std::int32_t Rank2) {
    Outcome_.Finished = true;
    Outcome_.Rank1 = Rank1;
    Outcome_.Rank2 = Rank2;
}

void TTurnDriver::MustSkip() { Outcome_.MustSkip = true; }

TTurnDriver::TOutcome TTurnDriver::TakeOutcome() { return std::exchange(Outcome_, TOutcome{}); }

void TTurnDriver::MakeMove(int Pit) {
    if (ShuttingDown_ || !Game_.IsRunning() || !Game_.Board().IsLegalMove(Pit)) return;
    // A hint still being worked out is for a position about to pass.
    if (SearchIsHint_) Abandon();
    ClearBestPit();
    Window_.HideHint();
    StopClock();
    Window_.SetPointer(TPointer::Hourglass);
    Window_.SetInputEnabled(false);
    TakeOutcome();
    try {
        Game_.PlayMove(Pit);
    } catch (...) {
        Window_.SetInputEnabled(true);
        Window_.SetPointer(TPointer::Arrow);
        throw;
    }
    const TOutcome Outcome = TakeOutcome();
    // Closed while the move was shown: the program ends with nothing more on screen.
    if (ShuttingDown_) return;
    if (Outcome.Finished) Window_.ShowHighscore(Outcome.Rank1, Outcome.Rank2);
    Window_.SetInputEnabled(true);
    Window_.SetPointer(TPointer::Arrow);
    ResumeClock();
    // A game that ended with this move asks here; one that ends with the
    // forced skip asks inside MakeSkip. Either way the question comes once.
    if (Outcome.MustSkip) MakeSkip();
    ArmComputer();
    PointAgain();
    if (Outcome.Finished) AskForAnotherGame();
}

void TTurnDriver::PointAgain() {
    // The mouse may have left the board and come back while it took no input;
    // without a fresh look the hand would not return until the next movement.
    Window_.SetPointer(TPointer::Arrow);
    int X = -1, Y = -1;
    if (Window_.MouseOnBoard(X, Y)) MouseMove(X, Y);
}

void TTurnDriver::MakeSkip() {
    if (ShuttingDown_ || !Game_.IsRunning()) return;
    StopClock();
    TakeOutcome();
    Game_.PassTurn();
    const TOutcome Outcome = TakeOutcome();
    if (Outcome.Finished) Window_.ShowHighscore(Outcome.Rank1, Outcome.Rank2);
    ResumeClock();
    ArmComputer();
    PointAgain();
    if (Outcome.Finished) AskForAnotherGame();
}

void TTurnDriver::AskForAnotherGame() {
    if (Window_.Ask(Game_.Text("msganothergame"))) Window_.StartNewGame();
}

void TTurnDriver::MouseMove(int X, int Y) {
    if (Game_.IsMoveInProgress()) return;
    const TFeld& Board = Game_.Board();
    const int Pit = Game_.PitAt(X, Y);
    const bool PersonToMove = Game_.IsRunning() && !Game_.IsComputer(Board.Player);

    TPointer Wanted = TPointer::Arrow;
    if (PersonToMove && Pit >= 1 && Board.IsLegalMove(Pit)) {
        Wanted = TPointer::HandPoint;
        Game_.ShowPreview(Pit);
    }
    if (Window_.Pointer() != Wanted) Window_.SetPointer(Wanted);

    if (PersonToMove && Pit >= 1 && Pit != Window_.HintPit()) Window_.ShowHint(Pit, Board.Pits[Pit], X, Y);
    if (Pit == -1 && Window_.HintShown()) Window_.HideHint();
}

void TTurnDriver::MouseDown(int X, int Y) {
    if (!Game_.IsRunning() || Game_.IsMoveInProgress() || Game_.IsComputer(Game_.Board().Player)) return;
    if (Window_.Pointer() != TPointer::HandPoint) return;
    const int Pit = Game_.PitAt(X, Y);
    if (!Game_.Board().IsLegalMove(Pit)) return;
    MakeMove(Pit);
}

void TTurnDriver::HoldComputer() {
    // A search under way starts afresh on release: its answer must not
    // arrive while the question is open.
    if (Thinking() && !SearchIsHint_) {
        Abandon();
        Held_ = true;
        HeldRemaining_ = 0;
        return;
    }
    Held_ = Computer_->IsActive();
    HeldRemaining_ = Computer_->RemainingTime();
    Computer_->Stop();
}

void TTurnDriver::ReleaseComputer() {
    if (Held_) Computer_->Start(std::max(HeldRemaining_, 0), false);
    Held_ = false;
}

void TTurnDriver::StartThinking(bool ForHint) {
    if (!Master_) Master_ = std::make_unique<TMasterThread>();
    SearchIsHint_ = ForHint;
    QObject* Receiver = Receiver_.get();
    Search_ = Master_->Start(Game_.Board(), MasterBudget, [this, Receiver](std::uint64_t Search, const TMasterResult& Result) {
        // On the worker thread: hand the answer to the user-interface thread.
        QMetaObject::invokeMethod(
            Receiver, [this, Search, Result] { Guarded([&] { Answered(Search, Result); }); }, Qt::QueuedConnection);
    });
    if (!ForHint) StopClock();
}

void TTurnDriver::Abandon() {
    if (Search_ == 0) return;
    Search_ = 0;
    Master_->Cancel();
}

void TTurnDriver::HurryComputer() {
    if (Thinking() && !SearchIsHint_) Master_->Hurry();
}

void TTurnDriver::Answered(std::uint64_t Search, const TMasterResult& Result) {
    if (Search != Search_ || ShuttingDown_) return;
    Search_ = 0;
    if (SearchIsHint_) {
        if (!Game_.IsRunning() || Game_.IsMoveInProgress() || Game_.ComputerToMove() || Result.Move == 0) return;
        BestPit_ = PitIndex(Game_.Board().Player, Result.Move);
        Game_.SetAssisted();
        Window_.ShowBestPit(BestPit_);
        Window_.CommandsChanged();
        return;
    }
    ResumeClock();
    if (Game_.IsMoveInProgress()) return;
    if (!Game_.ComputerToMove()) {
        PointAgain();
        return;
    }
    if (Result.Move == 0) {
        MakeSkip();
        return;
    }
    MakeMove(PitIndex(Game_.Board().Player, Result.Move));
}

void TTurnDriver::ClearBestPit() {
    if (BestPit_ < 0) return;
    BestPit_ = -1;
    Window_.ShowBestPit(-1);
}

bool TTurnDriver::CanHint() const {
    return Game_.IsRunning() && !Game_.IsMoveInProgress() && !Game_.ComputerToMove() && !Thinking() &&
           !Game_.Board().MustSkip();
}

void TTurnDriver::AskForHint() {
    if (!CanHint()) return;
    ClearBestPit();
    StartThinking(true);
    Window_.CommandsChanged();
}

void TTurnDriver::Undo() {
    if (!Game_.CanUndo()) return;
    Abandon();
    ClearBestPit();
    Window_.HideHint();
    Game_.Undo();
    ResumeClock();
    ArmComputer();
    // A search abandoned here leaves the thinking hourglass behind.
    PointAgain();
}

void TTurnDriver::Redo() {
    if (!Game_.CanRedo()) return;
    Abandon();
    ClearBestPit();
    Window_.HideHint();
    Game_.Redo();
    ResumeClock();
    ArmComputer();
    // A search abandoned here leaves the thinking hourglass behind.
    PointAgain();
}

}  // namespace tessum

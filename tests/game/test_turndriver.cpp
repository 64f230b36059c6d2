// The turn driver against a window of the test's making and a clock the test
// moves on: who may move when, the computer's pacing, the clocks, forced
// skips and the end of a game, without real time passing.
#include <gtest/gtest.h>

#include <QCoreApplication>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <thread>
#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "FakeClock.h"
#include "SpielfeldTest.h"
#include "game/uTTurnDriver.h"

namespace tessum::test {
namespace {

class TFakeTurnWindow final : public ITurnWindow {
public:
    bool InputEnabled = true;
    TPointer Shown = TPointer::Arrow;
    int Hint = -1;
    bool HintVisible = false;
    int HintStones = -1;
    std::vector<std::pair<std::int32_t, std::int32_t>> Highscores;
    std::vector<std::string> Questions;
    std::vector<std::string> Errors;
    int CommandUpdates = 0;
    // Answers to the yes/no questions, first to last; no when used up.
    std::vector<bool> Answers;
    std::function<void()> OnNewGame;
    std::function<void()> OnHighscore;

    void SetInputEnabled(bool Enabled) override { InputEnabled = Enabled; }
    TPointer Pointer() const override { return Shown; }
    void SetPointer(TPointer Pointer) override { Shown = Pointer; }
    int HintPit() const override { return Hint; }
    bool HintShown() const override { return HintVisible; }
    void ShowHint(int Pit, int Stones, int, int) override {
        Hint = Pit;
        HintStones = Stones;
        HintVisible = true;
    }
    void HideHint() override {
        Hint = -1;
        HintVisible = false;
    }
    void ShowHighscore(std::int32_t Rank1, std::int32_t Rank2) override {
        Highscores.emplace_back(Rank1, Rank2);
        if (OnHighscore) OnHighscore();
    }
    void StartNewGame() override {
        if (OnNewGame) OnNewGame();
    }
    bool Ask(const std::string& Question) override {
        Questions.push_back(Question);
        if (Answers.empty()) return false;
        const bool Yes = Answers.front();
        Answers.erase(Answers.begin());
        return Yes;
    }
    void CommandsChanged() override { ++CommandUpdates; }
    void ShowError(const std::string& Message) override { Errors.push_back(Message); }
    void ShowBestPit(int Pit) override { BestPit = Pit; }
    int BestPit = -1;
    bool Dialog = false;
    bool DialogOpen() const override { return Dialog; }
};

class TurnDriverTest : public SpielfeldTest {
protected:
    void SetUp() override {
        SpielfeldTest::SetUp();
        Driver = std::make_unique<TTurnDriver>(*S, Window, Clock.Factory());
        Host->OnFinished = [this](std::int32_t R1, std::int32_t R2) { Driver->GameFinished(R1, R2); };
        Host->OnMustSkip = [this] { Driver->MustSkip(); };
        Window.OnNewGame = [this] { NewGame(); };
        S->Settings().Sound = false;
    }
    void TearDown() override {
        Driver.reset();
        SpielfeldTest::TearDown();
    }

    // What the new-game command does once the dialog is confirmed.
    void NewGame() {
        const TClockStop Stop(*Driver);
        ++NewGames;
        StartGame(Variant, Stones, true, Mode, StartSide);
        Driver->GameStarted();
    }

    // What a player does: point at the pit, then press.
    void ClickPit(int Pit) {
        const TPoint C = RectCenter(PitRects[static_cast<std::size_t>(Pit)]);
        Driver->MouseMove(C.X, C.Y);
        Driver->MouseDown(C.X, C.Y);
    }
    int FirstLegalPit() const {
        for (int Row = 1; Row <= 6; ++Row)
            if (S->Board().IsLegalMove(PitIndex(S->Board().Player, Row))) return PitIndex(S->Board().Player, Row);
        return 0;
    }

    TFakeTurnWindow Window;
    std::unique_ptr<TTurnDriver> Driver;
    int NewGames = 0;
    int Variant = 1;
    int Stones = 4;
    std::uint8_t Mode = 0;
    int StartSide = 1;
};

TEST_F(TurnDriverTest, ClicksCountOnlyOnAPitTheHandPointedAt) {
    NewGame();
    ASSERT_TRUE(S->IsRunning());
    EXPECT_TRUE(Driver->ClockRunning());
    EXPECT_FALSE(Driver->ComputerArmed());
    const int Own = FirstLegalPit();
    const TPoint OwnAt = RectCenter(PitRects[static_cast<std::size_t>(Own)]);

    // Without a movement over the pit the pointer is no hand: ignored.
    Driver->MouseDown(OwnAt.X, OwnAt.Y);
    EXPECT_EQ(S->History().CountMoves(), 0);

    // The other side's pit keeps the arrow but shows its count; the end pit too.
    const int Theirs = PitIndex(2, 1);
    const TPoint TheirsAt = RectCenter(PitRects[static_cast<std::size_t>(Theirs)]);
    Driver->MouseMove(TheirsAt.X, TheirsAt.Y);
    EXPECT_EQ(Window.Pointer(), TPointer::Arrow);
    EXPECT_EQ(Window.Hint, Theirs);
    EXPECT_EQ(Window.HintStones, 4);
    Driver->MouseDown(TheirsAt.X, TheirsAt.Y);
    ClickPit(7);
    EXPECT_EQ(S->History().CountMoves(), 0);

    // Pointing at a legal pit, then pressing over a wrong one: refused.
    Driver->MouseMove(OwnAt.X, OwnAt.Y);
    EXPECT_EQ(Window.Pointer(), TPointer::HandPoint);
    EXPECT_EQ(S->Layers().Overview().Value, Own) << "the preview follows the pointer";
    Driver->MouseDown(TheirsAt.X, TheirsAt.Y);
    EXPECT_EQ(S->History().CountMoves(), 0);

    // Off the board the hint goes.
    Driver->MouseMove(-1, -1);
    EXPECT_EQ(Window.Hint, -1);
    EXPECT_FALSE(Window.HintVisible);

    ClickPit(Own);
    EXPECT_EQ(S->History().CountMoves(), 1);
    EXPECT_EQ(Window.Pointer(), TPointer::Arrow);
    EXPECT_TRUE(Window.InputEnabled);
    EXPECT_TRUE(Driver->ClockRunning());
}

TEST_F(TurnDriverTest, DuringAMoveInputIsOffTheClockStandsAndTicksAddNothing) {
    NewGame();
    int Frames = 0;
    Host->OnFrame = [&] {
        if (!S->IsMoveInProgress()) return;
        ++Frames;
        EXPECT_FALSE(Window.InputEnabled);
        EXPECT_EQ(Window.Pointer(), TPointer::Hourglass);
        EXPECT_FALSE(Driver->ClockRunning());
        const int Before = S->Clock(S->Board().Player);
        Driver->tZeitTimer();
        EXPECT_EQ(S->Clock(S->Board().Player), Before);
        // Neither a click nor the computer's timer starts a move inside a move.
        ClickPit(FirstLegalPit());
        Driver->tKITimer();
    };
    ClickPit(FirstLegalPit());
    EXPECT_GT(Frames, 0);
    EXPECT_EQ(S->History().CountMoves(), 1);
    EXPECT_TRUE(Window.InputEnabled);
}

TEST_F(TurnDriverTest, ClockRunsOnlyWhileASideWaitsAndEveryCommandStopsIt) {
    const int Idle = S->Clock(1);
    Driver->tZeitTimer();
    EXPECT_EQ(S->Clock(1), Idle) << "no game, no time";
    Driver->ResumeClock();
    EXPECT_FALSE(Driver->ClockRunning());

    StartSide = 2;
    NewGame();
    Clock.Advance(3000);
    EXPECT_EQ(S->Clock(2), 3);
    EXPECT_EQ(S->Clock(1), 0);
    {
        const TClockStop Stop(*Driver);
        EXPECT_FALSE(Driver->ClockRunning());
        Clock.Advance(5000);
    }
    EXPECT_TRUE(Driver->ClockRunning());
    EXPECT_EQ(S->Clock(2), 3) << "a command's window took no time from the player";
    // Nor does a dialog that came up on its own, with no command around it.
    Window.Dialog = true;
    Clock.Advance(4000);
    EXPECT_EQ(S->Clock(2), 3);
    Window.Dialog = false;
    Clock.Advance(1000);
    EXPECT_EQ(S->Clock(2), 4);

    // A command that fails still gives the clock back, and the error is shown.
    Window.InputEnabled = false;
    Window.Shown = TPointer::Hourglass;
    Driver->Guarded([&] {
        const TClockStop Stop(*Driver);
        throw std::runtime_error("disk full");
    });
    EXPECT_TRUE(Driver->ClockRunning());
    ASSERT_EQ(Window.Errors.size(), 1u);
    EXPECT_EQ(Window.Errors[0], "disk full");
    EXPECT_TRUE(Window.InputEnabled);
    EXPECT_EQ(Window.Pointer(), TPointer::Arrow);
}

TEST_F(TurnDriverTest, ComputerAgainstPersonMovesOnlyByItsTimer) {
    Mode = 1;
    StartSide = 1;
    NewGame();
    int Guard = 0;
    while (S->IsRunning() && Guard++ < 3000) {
        if (S->IsComputer(S->Board().Player)) {
            ASSERT_TRUE(Driver->ComputerArmed());
            EXPECT_EQ(Clock.NextDue(), ComputerDelayMs);
            // The person's clicks on the computer's row do nothing.
            Window.Hint = -1;
            for (int Row = 1; Row <= 6; ++Row) ClickPit(PitIndex(1, Row));
            EXPECT_EQ(Window.Hint, -1);
            const int Before = S->History().CountMoves();
            Clock.Advance(ComputerDelayMs - 1);
            EXPECT_EQ(S->History().CountMoves(), Before);
            Clock.Advance(1);
            ASSERT_GT(S->History().CountMoves(), Before);
        } else {
            EXPECT_FALSE(Driver->ComputerArmed());
            const int Pit = FirstLegalPit();
            ASSERT_GT(Pit, 0);
            ClickPit(Pit);
        }
    }
    EXPECT_FALSE(S->IsRunning());
    ASSERT_EQ(Window.Highscores.size(), 1u);
    EXPECT_EQ(Window.Highscores[0].first, -1) << "the computer's side has no place";
    EXPECT_GE(Window.Highscores[0].second, 1);
    EXPECT_EQ(Window.Questions.size(), 1u);
    EXPECT_EQ(Host->Results.size(), 1u);
    EXPECT_FALSE(Driver->ComputerArmed());
    EXPECT_FALSE(Driver->ClockRunning());
}

// Deepest point of the stack seen while each move was painted.
struct TStackProbe {
    std::uintptr_t Deepest = UINTPTR_MAX;
    void Sample() {
        volatile char Here = 0;
        Deepest = std::min(Deepest, reinterpret_cast<std::uintptr_t>(&Here));
    }
};

TEST_F(TurnDriverTest, ComputerAgainstComputerRunsHundredsOfMovesAtConstantDepth) {
    Mode = 2;
    Variant = 2;
    Stones = 8;
    Driver->ComputerPause = 1;
    Window.Answers = {true, true, true, true, true};
    TStackProbe Probe;
    std::vector<std::uintptr_t> DeepestPerGame;
    Host->OnFrame = [&] { Probe.Sample(); };
    int Moves = 0;
    Window.OnHighscore = [&] {
        Moves += S->History().CountMoves();
        DeepestPerGame.push_back(Probe.Deepest);
        Probe = {};
    };
    NewGame();
    for (int Timeouts = 0; Timeouts < 20000 && Clock.RunNext(); ++Timeouts) {
    }
    EXPECT_EQ(NewGames, 6);
    EXPECT_EQ(Window.Highscores.size(), 6u);
    EXPECT_EQ(Window.Questions.size(), 6u);
    EXPECT_FALSE(S->IsRunning());
    EXPECT_GE(Moves, 200);
    for (const auto& Ranks : Window.Highscores) EXPECT_EQ(Ranks, std::make_pair(-1, -1));
    ASSERT_EQ(DeepestPerGame.size(), 6u);
    // Nested waits would sink the stack by a chain of frames per move; no
    // later game may reach deeper than the first.
    const auto Spread = static_cast<std::intptr_t>(DeepestPerGame.front()) -
                        static_cast<std::intptr_t>(*std::min_element(DeepestPerGame.begin(), DeepestPerGame.end()));
    EXPECT_LT(Spread, 16 * 1024);
    EXPECT_FALSE(Driver->ComputerArmed());
}

// Random person games played move by move: after every move the side to move
// can move, as forced skips happen inside the move, and each finished game
// brings exactly one highscore table and one question.
TEST_F(TurnDriverTest, ForcedSkipsAndOneQuestionPerFinishedGame) {
    int Finished = 0;
    int Skips = 0;
    Stones = 3;
    for (Variant = 1; Variant <= 3; ++Variant) {
        for (int Round = 0; Round < 3; ++Round) {
            NewGame();
            std::uint32_t Seed = static_cast<std::uint32_t>(Round * 7 + Variant);
            while (S->IsRunning()) {
                std::vector<int> Legal;
                for (int Row = 1; Row <= 6; ++Row)
                    if (S->Board().IsLegalMove(PitIndex(S->Board().Player, Row)))
                        Legal.push_back(PitIndex(S->Board().Player, Row));
                ASSERT_FALSE(Legal.empty());
                Seed = Seed * 1103515245u + 12345u;
                Driver->MakeMove(Legal[(Seed >> 16) % Legal.size()]);
                if (S->IsRunning()) {
                    EXPECT_FALSE(S->Board().MustSkip());
                }
            }
            ++Finished;
            for (const TMove& Move : S->History().Moves)
                if (Move.Pit == 0) ++Skips;
            EXPECT_EQ(Window.Highscores.size(), static_cast<std::size_t>(Finished));
            EXPECT_EQ(Window.Questions.size(), static_cast<std::size_t>(Finished));
            EXPECT_FALSE(Driver->ClockRunning());
        }
    }
    EXPECT_GT(Skips, 0) << "no game needed a forced skip";
    EXPECT_EQ(Window.Questions.front(), S->Text("msganothergame"));
}

TEST_F(TurnDriverTest, TheHighscoreOfAFinishedGameShowsThePlacesReached) {
    // Side 1 sows its last stone into its end pit and ends the game.
    NewGame();
    TPits Pits{};
    Pits[6] = 1;
    Pits[7] = 20;
    Pits[14] = 15;
    S->SetPosition(Pits, 1);
    Window.Answers = {true};
    Driver->MakeMove(6);
    ASSERT_EQ(Window.Highscores.size(), 1u);
    EXPECT_EQ(Window.Highscores[0], std::make_pair(1, 2));
    EXPECT_EQ(NewGames, 2) << "yes to another game starts one";
    EXPECT_TRUE(S->IsRunning());
}

TEST_F(TurnDriverTest, TheQuitQuestionHoldsTheComputerWithTheTimeItHadLeft) {
    Mode = 1;
    StartSide = 1;
    NewGame();
    ASSERT_TRUE(Driver->ComputerArmed());
    Clock.Advance(100);
    Driver->HoldComputer();
    EXPECT_FALSE(Driver->ComputerArmed());
    Clock.Advance(10000);
    EXPECT_EQ(S->History().CountMoves(), 0);
    Driver->ReleaseComputer();
    EXPECT_EQ(Clock.NextDue(), ComputerDelayMs - 100);
    Clock.Advance(ComputerDelayMs - 100);
    EXPECT_GT(S->History().CountMoves(), 0);

    // Held while not armed, it stays unarmed.
    Driver->StopClock();
    S->SetPosition(S->Board().Pits, 2);
    Driver->ArmComputer();
    Driver->HoldComputer();
    Driver->ReleaseComputer();
    EXPECT_FALSE(Driver->ComputerArmed());
}

// The master thinks on its own thread: its answer comes through the event
// loop, in real time, so these tests give it a short budget and wait.
class MasterDriverTest : public TurnDriverTest {
protected:
    void SetUp() override {
        TurnDriverTest::SetUp();
        Driver->MasterBudget = std::chrono::milliseconds(20);
        Mode = 1;
        StartSide = 1;
    }
    void NewMasterGame() {
        const TClockStop Stop(*Driver);
        StartGame(Variant, Stones, true, Mode, StartSide, MasterLevel);
        Driver->GameStarted();
    }
    // Handles events until the master has answered; false after 10 s.
    bool AwaitAnswer() {
        const auto Limit = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (Driver->Thinking()) {
            if (std::chrono::steady_clock::now() > Limit) return false;
            QCoreApplication::processEvents();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        QCoreApplication::processEvents();
        return true;
    }
    // Lets events pass for a while, for answers that must not come.
    void Linger(int Milliseconds) {
        const auto Until = std::chrono::steady_clock::now() + std::chrono::milliseconds(Milliseconds);
        while (std::chrono::steady_clock::now() < Until) {
            QCoreApplication::processEvents();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
};

TEST_F(MasterDriverTest, TheMasterThinksWithTheClockStoppedAndThenMoves) {
    NewMasterGame();
    ASSERT_TRUE(Driver->ComputerArmed());
    ASSERT_TRUE(Clock.RunNext());  // the computer timer
    EXPECT_TRUE(Driver->Thinking());
    EXPECT_FALSE(Driver->ClockRunning());
    EXPECT_EQ(S->History().Count(), 0);
    // The window takes input meanwhile.
    EXPECT_TRUE(Window.InputEnabled);
    ASSERT_TRUE(AwaitAnswer());
    ASSERT_GE(S->History().Count(), 1);
    EXPECT_EQ(S->History().Items(0).Player, 1);
    EXPECT_EQ(S->History().Level, MasterLevel);
    if (!S->ComputerToMove()) {
        EXPECT_TRUE(Driver->ClockRunning());
        EXPECT_FALSE(Driver->Thinking());
    }
}

TEST_F(MasterDriverTest, ANewGameEscapeAndTheQuitQuestionDealWithTheSearchCleanly) {
    Driver->MasterBudget = std::chrono::seconds(60);
    NewMasterGame();
    ASSERT_TRUE(Clock.RunNext());
    ASSERT_TRUE(Driver->Thinking());
    // A new game between people: the search is dropped, nothing is played.
    Mode = 0;
    NewGame();
    EXPECT_FALSE(Driver->Thinking());
    Linger(50);
    EXPECT_EQ(S->History().Count(), 0);
    EXPECT_TRUE(Driver->ClockRunning());

    // Escape: the master plays at once what it has found so far.
    Mode = 1;
    NewMasterGame();
    ASSERT_TRUE(Clock.RunNext());
    ASSERT_TRUE(Driver->Thinking());
    Linger(20);
    Driver->HurryComputer();
    ASSERT_TRUE(AwaitAnswer());
    EXPECT_GE(S->History().Count(), 1);

    // The quit question: the search stops while it is open and starts again after No.
    NewMasterGame();
    ASSERT_TRUE(Clock.RunNext());
    ASSERT_TRUE(Driver->Thinking());
    Driver->HoldComputer();
    EXPECT_FALSE(Driver->Thinking());
    Linger(30);
    EXPECT_EQ(S->History().Count(), 0);
    Driver->ReleaseComputer();
    EXPECT_TRUE(Driver->ComputerArmed());
    Driver->MasterBudget = std::chrono::milliseconds(20);
    ASSERT_TRUE(Clock.RunNext());
    EXPECT_TRUE(Driver->Thinking());
    ASSERT_TRUE(AwaitAnswer());
    EXPECT_GE(S->History().Count(), 1);

    // Destroyed while thinking: no answer reaches a driver that is gone.
    NewMasterGame();
    Driver->MasterBudget = std::chrono::seconds(60);
    ASSERT_TRUE(Clock.RunNext());
    ASSERT_TRUE(Driver->Thinking());
    Driver.reset();
    Linger(30);
    EXPECT_EQ(S->History().Count(), 0);
}

TEST_F(MasterDriverTest, TheHintMarksTheMastersPitUntilTheNextMoveAndCountsAsHelp) {
    Mode = 0;
    NewGame();
    EXPECT_TRUE(Driver->CanHint());
    Driver->AskForHint();
    EXPECT_TRUE(Driver->ThinkingForHint());
    // The person's clock keeps running while the hint is worked out.
    EXPECT_TRUE(Driver->ClockRunning());
    EXPECT_FALSE(Driver->CanHint());
    ASSERT_TRUE(AwaitAnswer());
    ASSERT_GE(Window.BestPit, 1);
    EXPECT_TRUE(S->Board().IsLegalMove(Window.BestPit));
    EXPECT_EQ(Driver->BestPit(), Window.BestPit);
    EXPECT_TRUE(S->Assisted());
    ClickPit(FirstLegalPit());
    EXPECT_EQ(Window.BestPit, -1);
    EXPECT_EQ(Driver->BestPit(), -1);

    // A hint asked for and overtaken by a move never arrives.
    Driver->MasterBudget = std::chrono::seconds(60);
    Driver->AskForHint();
    ASSERT_TRUE(Driver->Thinking());
    ClickPit(FirstLegalPit());
    EXPECT_FALSE(Driver->Thinking());
    Linger(30);
    EXPECT_EQ(Window.BestPit, -1);

    // No hint for the computer, nor between games.
    Mode = 1;
    NewMasterGame();
    EXPECT_FALSE(Driver->CanHint());
}

TEST_F(MasterDriverTest, UndoAgainstTheMasterGivesThePersonTheTurnAndASavedMasterGameLoadsAtItsLevel) {
    NewMasterGame();
    ASSERT_TRUE(Clock.RunNext());
    ASSERT_TRUE(AwaitAnswer());
    while (S->ComputerToMove()) {
        ASSERT_TRUE(Clock.RunNext());
        ASSERT_TRUE(AwaitAnswer());
    }
    const int Before = S->History().Count();
    ClickPit(FirstLegalPit());
    while (S->IsRunning() && S->ComputerToMove()) {
        ASSERT_TRUE(Clock.RunNext());
        ASSERT_TRUE(AwaitAnswer());
    }
    ASSERT_TRUE(S->IsRunning());
    ASSERT_TRUE(S->CanUndo());
    Driver->Undo();
    EXPECT_EQ(S->History().Count(), Before);
    EXPECT_FALSE(S->ComputerToMove());
    EXPECT_TRUE(Driver->ClockRunning());
    EXPECT_FALSE(Driver->ComputerArmed());
    Driver->Redo();
    EXPECT_GT(S->History().Count(), Before);

    const std::string File = (std::filesystem::path(folder_) / "master.tsm").string();
    S->History().SaveToFile(File);
    Mode = 0;
    NewGame();
    EXPECT_EQ(S->Opponent().Level, 1);
    ASSERT_TRUE(S->LoadGame(File));
    Driver->GameStarted();
    EXPECT_EQ(S->Opponent().Level, MasterLevel);
    EXPECT_EQ(S->History().Level, MasterLevel);
    // The person is to move; after the move the master answers.
    ClickPit(FirstLegalPit());
    if (S->IsRunning() && S->ComputerToMove()) {
        ASSERT_TRUE(Clock.RunNext());
        EXPECT_TRUE(Driver->Thinking());
        ASSERT_TRUE(AwaitAnswer());
    }
}

}  // namespace
}  // namespace tessum::test

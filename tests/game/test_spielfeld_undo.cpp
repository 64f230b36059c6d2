// Taking moves back and playing them again on the controller: everything shown
// must be what the game showed when it stood at that point.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <random>

#include "SpielfeldTest.h"
#include "highscore/uTHighscore.h"

namespace tessum::test {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

// Everything of a game the window shows or the next move builds on.
struct TShown {
    TPits Pits;
    int Player = 0, MovesThisTurn = 0, Hand = 0;
    std::int32_t Clock1 = 0, Clock2 = 0;
    int Moves = 0, Moves1 = 0, Moves2 = 0, CurrentPlayer = 0, Overview = 0;
    std::string Notes;
    bool WillWinShown = false, Running = false;
    std::vector<std::tuple<int, int, int>> Record;  // side, pit, seconds
    friend bool operator==(const TShown&, const TShown&) = default;
};

std::ostream& operator<<(std::ostream& Out, const TShown& S) {
    Out << "player " << S.Player << ", clocks " << S.Clock1 << "/" << S.Clock2 << ", moves " << S.Moves << " ("
        << S.Moves1 << "/" << S.Moves2 << "), record of " << S.Record.size() << ", pits";
    for (int Count : S.Pits) Out << ' ' << Count;
    return Out << ", notes \"" << S.Notes << "\"";
}

class Undo : public SpielfeldTest {
protected:
    void SetUp() override {
        SpielfeldTest::SetUp();
        S->Settings().Sound = false;
    }

    TShown Shown() const {
        TShown Out;
        Out.Pits = S->Board().Pits;
        Out.Player = S->Board().Player;
        Out.MovesThisTurn = S->Board().MovesThisTurn;
        Out.Hand = S->Board().Hand;
        Out.Clock1 = S->Clock(1);
        Out.Clock2 = S->Clock(2);
        Out.Moves = S->Layers().Runde(0).Value;
        Out.Moves1 = S->Layers().Runde(1).Value;
        Out.Moves2 = S->Layers().Runde(2).Value;
        Out.CurrentPlayer = S->Layers().AktSpieler().Value;
        Out.Overview = S->Layers().Overview().Value;
        Out.Notes = S->Layers().Notes().Text;
        Out.WillWinShown = S->WillWinShown();
        Out.Running = S->IsRunning();
        for (const TMove& M : S->History().Moves) Out.Record.emplace_back(M.Player, M.Pit, M.Seconds);
        return Out;
    }

    // The side to move thinks Seconds and then plays a random legal pit, or skips.
    void NewMove(std::mt19937_64& Rng) {
        const int Side = S->Board().Player;
        S->SetClock(Side, S->Clock(Side) + static_cast<std::int32_t>(Rng() % 20));
        if (S->Board().MustSkip()) {
            S->PassTurn();
            return;
        }
        std::vector<int> Legal;
        for (int N = 1; N <= 6; ++N)
            if (S->Board().IsLegalMove(PitIndex(Side, N))) Legal.push_back(PitIndex(Side, N));
        S->PlayMove(Legal[Rng() % Legal.size()]);
    }

    // A person's turn as the turn driver leaves it: a forced skip is played at once.
    void SkipIfForced() {
        while (S->IsRunning() && S->Board().MustSkip()) S->PassTurn();
    }
};

TEST_F(Undo, AThousandRandomGamesOfMovesUndosAndRedosShowWhatTheGameShowedThen) {
    std::mt19937_64 Rng(18);
    int Undos = 0, Redos = 0, Replays = 0;
    for (int Game = 0; Game < 1000; ++Game) {
        const int Variant = static_cast<int>(Rng() % 3) + 1;
        const bool UseEndPits = Variant == 1 || Rng() % 2 == 0;
        const int Stones = static_cast<int>(Rng() % 3) + (Variant == 2 ? 4 : 3);
        const std::uint8_t Mode = static_cast<std::uint8_t>(Rng() % 2);
        const int StartSide = static_cast<int>(Rng() % 2) + 1;
        StartGame(Variant, Stones, UseEndPits, Mode, StartSide);
        // What the game showed right after each record it reached by playing,
        // the record being the key: a replay of that record from the start.
        std::map<std::vector<std::tuple<int, int, int>>, TShown> Played;
        Played[{}] = Shown();
        const int Actions = static_cast<int>(Rng() % 40) + 1;
        for (int Action = 0; Action < Actions && S->IsRunning(); ++Action) {
            const auto Choice = Rng() % 10;
            if (Choice < 3 && S->CanUndo()) {
                ASSERT_TRUE(S->Undo());
                ++Undos;
            } else if (Choice < 5 && S->CanRedo()) {
                ASSERT_TRUE(S->Redo());
                ++Redos;
            } else {
                NewMove(Rng);
                SkipIfForced();
                const TShown Now = Shown();
                Played[Now.Record] = Now;
                continue;
            }
            EXPECT_TRUE(S->Assisted());
            const TShown Now = Shown();
            const auto Then = Played.find(Now.Record);
            ASSERT_NE(Then, Played.end()) << "game " << Game << ": a record the game never reached";
            ASSERT_EQ(Now, Then->second) << "game " << Game << ", action " << Action;
            ++Replays;
        }
    }
    // The random walk really went back and forth.
    EXPECT_GT(Undos, 2000);
    EXPECT_GT(Redos, 800);
    EXPECT_EQ(Replays, Undos + Redos);
}

TEST_F(Undo, AgainstTheComputerTheReplyIsTakenBackAndNothingBeforeThePersonsFirstMove) {
    StartGame(3, 4, true, 1, 1);
    std::mt19937_64 Rng(4);
    EXPECT_FALSE(S->CanUndo());  // the computer is to move
    while (S->Board().Player == 1) NewMove(Rng);
    EXPECT_FALSE(S->CanUndo());  // the person has not moved yet
    const TShown BeforePerson = Shown();
    NewMove(Rng);
    while (S->IsRunning() && S->Board().Player == 1) NewMove(Rng);
    ASSERT_TRUE(S->IsRunning());
    ASSERT_TRUE(S->CanUndo());
    ASSERT_TRUE(S->Undo());
    EXPECT_EQ(Shown(), BeforePerson);
    EXPECT_FALSE(S->CanUndo());
    ASSERT_TRUE(S->Redo());
    EXPECT_FALSE(S->CanRedo());
    EXPECT_EQ(S->Board().Player, 2);

    // A new move drops what was taken back.
    ASSERT_TRUE(S->Undo());
    EXPECT_TRUE(S->CanRedo());
    NewMove(Rng);
    EXPECT_FALSE(S->CanRedo());

    // Between two computers there is nothing to take back.
    StartGame(1, 3, true, 2, 1);
    NewMove(Rng);
    NewMove(Rng);
    EXPECT_FALSE(S->CanUndo());
    EXPECT_FALSE(S->Undo());
}

TEST_F(Undo, SavingAfterAnUndoSavesTheShortenedRecordAndLoadingStartsAfresh) {
    StartGame(2, 4, false, 0, 1);
    std::mt19937_64 Rng(9);
    for (int I = 0; I < 6 && S->IsRunning(); ++I) NewMove(Rng);
    ASSERT_TRUE(S->Undo());
    ASSERT_TRUE(S->Undo());
    const TShown Shortened = Shown();
    const std::string File = (std::filesystem::path(folder_) / "undone.tsm").string();
    S->History().SaveToFile(File);

    StartGame(1, 3, true);
    EXPECT_FALSE(S->Assisted());
    EXPECT_FALSE(S->CanRedo());
    ASSERT_TRUE(S->LoadGame(File));
    EXPECT_EQ(Shown().Record, Shortened.Record);
    EXPECT_EQ(Shown().Pits, Shortened.Pits);
    EXPECT_FALSE(S->Assisted());
    EXPECT_FALSE(S->CanRedo());
    // Undo reaches back before the load; the notes start from the load's.
    ASSERT_TRUE(S->Undo());
    EXPECT_EQ(SplitNoteLines(S->Layers().Notes().Text), std::vector<std::string>{"Game has been loaded"});
    EXPECT_EQ(S->Clock(1), static_cast<std::int32_t>(S->History().SumSeconds(1)));
    EXPECT_EQ(S->Clock(2), static_cast<std::int32_t>(S->History().SumSeconds(2)));
}

TEST_F(Undo, AGameWithAnUndoDoesNotEnterTheHighscoreAndTheMessageSaysSo) {
    S->Settings().Sound = true;
    auto PlayToTheEnd = [&](bool TakeBack) {
        StartGame(1, 3, true);
        std::mt19937_64 Rng(3);
        NewMove(Rng);
        NewMove(Rng);
        if (TakeBack) {
            ASSERT_TRUE(S->Undo());
            EXPECT_TRUE(S->Assisted());
        }
        while (S->IsRunning()) NewMove(Rng);
    };
    PlayToTheEnd(true);
    THighscore Table;
    Table.LoadFromFile(HighscoreFileName(folder_, 1));
    EXPECT_EQ(Table.Count(), 0);
    ASSERT_EQ(Host->Results.size(), 1u);
    EXPECT_THAT(Host->Results.back(), HasSubstr("does not enter the highscore"));
    EXPECT_THAT(Host->Results.back(), Not(HasSubstr("rank in highscore")));

    PlayToTheEnd(false);
    Table.LoadFromFile(HighscoreFileName(folder_, 1));
    EXPECT_EQ(Table.Count(), 2);
    ASSERT_EQ(Host->Results.size(), 2u);
    EXPECT_THAT(Host->Results.back(), Not(HasSubstr("does not enter the highscore")));
}

}  // namespace
}  // namespace tessum::test

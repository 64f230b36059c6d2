// The controller playing, recording, skipping and loading games.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <numeric>

#include "SpielfeldTest.h"

namespace tessum::test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

TEST(ResultSounds, ByModeAndWinner) {
    EXPECT_STREQ(ResultSound(0, 0), "gewonnen");
    EXPECT_STREQ(ResultSound(0, 1), "gewonnen");
    EXPECT_STREQ(ResultSound(0, 2), "gewonnen");
    EXPECT_STREQ(ResultSound(1, 0), "unentschieden");
    EXPECT_STREQ(ResultSound(1, 1), "verloren");
    EXPECT_STREQ(ResultSound(1, 2), "gewonnen");
    EXPECT_STREQ(ResultSound(2, 0), "unentschieden");
    EXPECT_STREQ(ResultSound(2, 1), "gewonnen");
    EXPECT_STREQ(ResultSound(2, 2), "gewonnen");

    EXPECT_STREQ(StoreSound(1, 0), "1steininmulde");
    EXPECT_STREQ(StoreSound(1, 5), "4steininmulde");
    EXPECT_STREQ(StoreSound(2, 0), "wenigsteineinstirnmulde");
    EXPECT_STREQ(StoreSound(4, 9), "wenigsteineinstirnmulde");
    EXPECT_STREQ(StoreSound(5, 0), "vielesteineinstirnmulde");
    EXPECT_STREQ(StoreSound(999, 0), "vielesteineinstirnmulde");
    EXPECT_EQ(StoreSound(0, 0), nullptr);
    EXPECT_EQ(StoreSound(1000, 0), nullptr);
}

TEST_F(SpielfeldTest, NothingRunsUntilAGameStartsAndPitsAreHitTested) {
    EXPECT_FALSE(S->IsRunning());
    EXPECT_FALSE(S->IsMoveInProgress());
    EXPECT_FALSE(S->IsUpdating());
    EXPECT_EQ(S->Rank(1), -1);
    EXPECT_EQ(S->Rank(2), -1);
    EXPECT_EQ(S->BoardPicture().Width(), BoardWidth);
    EXPECT_EQ(S->BoardPicture().Height(), BoardHeight);
    EXPECT_EQ(&S->ShownPicture(), &S->BoardPicture());
    EXPECT_EQ(S->PitAt(545, 185), 1);
    EXPECT_EQ(S->PitAt(70, 200), 7);
    EXPECT_EQ(S->PitAt(10, 10), -1);
}

TEST_F(SpielfeldTest, ComputerSidesFollowTheMode) {
    StartGame(1, 4, true, 0);
    EXPECT_FALSE(S->IsComputer(1));
    EXPECT_FALSE(S->IsComputer(2));
    StartGame(1, 4, true, 1);
    EXPECT_TRUE(S->IsComputer(1));
    EXPECT_FALSE(S->IsComputer(2));
    StartGame(1, 4, true, 2);
    EXPECT_TRUE(S->IsComputer(1));
    EXPECT_TRUE(S->IsComputer(2));
    EXPECT_FALSE(S->IsComputer(0));
    EXPECT_FALSE(S->IsComputer(3));
}

TEST_F(SpielfeldTest, NewGameSetsUpBoardRecordAndDisplay) {
    StartGame(2, 5, false, 1, 2, 3);
    EXPECT_TRUE(S->IsRunning());
    EXPECT_FALSE(S->IsUpdating());
    EXPECT_EQ(S->Board().Player, 2);
    EXPECT_EQ(S->Board().Variant, 2);
    EXPECT_EQ(S->Board().Pits[3], 5);
    EXPECT_EQ(S->Board().Pits[7], 0);
    EXPECT_EQ(S->Opponent().Level, 3);
    EXPECT_EQ(S->History().Count(), 0);
    EXPECT_EQ(S->History().StartPlayer, 2);
    EXPECT_EQ(S->History().Mode, 1);
    EXPECT_EQ(S->History().Land2, "europa");
    EXPECT_EQ(S->Clock(1), 0);
    EXPECT_EQ(S->Clock(2), 0);
    EXPECT_EQ(S->Layers().Variante().Value, 2);
    EXPECT_EQ(S->Layers().AktSpieler().Value, 2);
    EXPECT_EQ(S->Layers().AktSpieler().Names[1], "Bob");
    EXPECT_EQ(S->Layers().Mulde(10).Value, 5);
    EXPECT_EQ(S->Layers().Notes().Text, "new game");
    EXPECT_THAT(Sounds.Played, ElementsAre("vielesteineinstirnmulde"));
    EXPECT_GT(Host->Repaints, 0);

    S->Settings().Sound = false;
    StartGame(1, 4, true);
    EXPECT_EQ(Sounds.Played.size(), 1u);
}

class WholeGame : public SpielfeldTest, public ::testing::WithParamInterface<int> {};

TEST_P(WholeGame, PlaysToTheEndRecordingEveryMoveAndItsTime) {
    const int Variant = GetParam();
    StartGame(Variant, Variant == 2 ? 4 : 3, Variant != 3);
    const int Total = S->Board().TotalStones();
    int Turns = 0;
    while (S->IsRunning() && Turns < 2000) {
        const int Side = S->Board().Player;
        const int Recorded = S->History().Count();
        PlayOneTurn(3);
        ++Turns;
        ASSERT_FALSE(S->IsMoveInProgress());
        ASSERT_FALSE(S->IsAnimating());
        ASSERT_EQ(S->History().Count(), Recorded + 1);
        const TMove& Last = S->History().Items(S->History().Count() - 1);
        EXPECT_EQ(Last.Player, Side);
        EXPECT_EQ(Last.Seconds, 3);
        EXPECT_EQ(S->Board().TotalStones(), Total);
        EXPECT_EQ(S->Board().Hand, 0);
        for (int P = 1; P <= 14; ++P) ASSERT_EQ(S->Layers().Mulde(P).Value, S->Board().Pits[P]) << "pit " << P;
        EXPECT_EQ(S->Layers().Runde(0).Value, S->History().CountMoves());
        EXPECT_EQ(S->Layers().Runde(1).Value, S->History().CountMovesOf(1));
        EXPECT_EQ(S->Layers().AktSpieler().Value, S->Board().Player);
        EXPECT_EQ(S->Layers().Overview().Value, -1);
    }
    ASSERT_FALSE(S->IsRunning()) << "game did not end";
    EXPECT_TRUE(S->Board().IsGameOver());
    EXPECT_EQ(S->Board().Store1() + S->Board().Store2(), Total);
    EXPECT_EQ(NoteLines().back(), "game over");
    EXPECT_EQ(S->History().SumSeconds(1), S->Clock(1));
    EXPECT_EQ(S->History().SumSeconds(2), S->Clock(2));

    // Without animation a move is silent: only the new game and the result sound.
    ASSERT_EQ(Sounds.Played.size(), 2u);
    EXPECT_EQ(Sounds.Played.front(), "vielesteineinstirnmulde");
    EXPECT_EQ(Sounds.Played.back(), "gewonnen");

    ASSERT_EQ(Host->Results.size(), 1u);
    const std::string Message = Host->Results[0];
    if (S->Board().Store1() == S->Board().Store2())
        EXPECT_THAT(Message, HasSubstr("Drawn."));
    else
        EXPECT_THAT(Message, HasSubstr(S->Board().Store1() > S->Board().Store2() ? "Player Ann has won." : "Player Bob has won."));
    EXPECT_THAT(Message, HasSubstr("Player Ann has captured"));
    EXPECT_THAT(Message, HasSubstr("Player Bob has captured"));
    EXPECT_TRUE(Exists("hs" + std::to_string(Variant) + ".dat"));
    // Both entered an empty table: places 1 and 2.
    EXPECT_EQ(S->Rank(1) + S->Rank(2), 3);
    EXPECT_TRUE(Host->Errors.empty());

    // After the end, clocks and clicks are the driver's to ignore; a stray move
    // must not be recorded either.
    EXPECT_FALSE(S->Board().IsLegalMove(1));
}

INSTANTIATE_TEST_SUITE_P(Variants, WholeGame, ::testing::Values(1, 2, 3));

TEST_F(SpielfeldTest, ForcedSkipIsRecordedWithItsTimeAndTheTurnComesBack) {
    StartGame(1, 3, true);
    // Side 1's single stone in pit 1 falls into empty pit 2: captured with its
    // (empty) opposite pit, and side 2 is left with an empty row.
    SetPosition({0, 1, 0, 0, 2, 0, 0, 20, 0, 0, 0, 0, 0, 0, 13}, 1);
    S->SetClock(1, 4);
    S->PlayMove(1);
    ASSERT_EQ(S->Board().Player, 2);
    ASSERT_TRUE(S->Board().MustSkip());
    ASSERT_FALSE(S->Board().IsGameOver());
    EXPECT_TRUE(S->IsRunning());

    S->SetClock(2, 7);
    S->PassTurn();
    EXPECT_EQ(NoteLines().back(), "Bob has to skip");
    ASSERT_EQ(S->History().Count(), 2);
    const TMove& Skip = S->History().Items(1);
    EXPECT_EQ(Skip.Pit, 0);
    EXPECT_EQ(Skip.Player, 2);
    EXPECT_EQ(Skip.Seconds, 7);
    EXPECT_EQ(S->History().Items(0).Seconds, 4);
    EXPECT_EQ(S->Board().Player, 1);
    EXPECT_TRUE(S->IsRunning());
    EXPECT_EQ(S->Layers().Runde(0).Value, 1);  // skips are not moves
    EXPECT_EQ(S->Layers().AktSpieler().Value, 1);
}

TEST_F(SpielfeldTest, IllegalRequestsAreIgnoredAndNeverRecorded) {
    StartGame(1, 3, true);
    const TPits Before = S->Board().Pits;
    for (int Pit : {0, 7, 8, 14, 15, -1}) S->PlayMove(Pit);
    S->PassTurn();  // side 1 can move
    EXPECT_EQ(S->History().Count(), 0);
    EXPECT_EQ(S->Board().Pits, Before);
    EXPECT_EQ(S->Board().Player, 1);
    EXPECT_EQ(S->Layers().Notes().Text, "new game");
}

TEST_F(SpielfeldTest, WillWinNoteOncePerGame) {
    StartGame(1, 3, true);
    // 19 of 36 stones already in side 1's end pit: decided.
    SetPosition({0, 1, 1, 1, 1, 1, 1, 19, 1, 1, 1, 1, 1, 1, 5}, 1);
    S->PlayMove(6);  // into the end pit, the turn passes
    EXPECT_EQ(NoteLines().back(), "Ann will win");
    EXPECT_TRUE(S->WillWinShown());
    S->PlayMove(13);
    S->PlayMove(5);
    auto Lines = NoteLines();
    EXPECT_EQ(std::count(Lines.begin(), Lines.end(), "Ann will win"), 1);
    EXPECT_THAT(Lines, ElementsAre("new game", "Ann will win"));
}

TEST_F(SpielfeldTest, LoadGameRestoresBoardClocksAndRecord) {
    StartGame(3, 4, true, 0, 2, 2);
    for (int I = 0; I < 6 && S->IsRunning(); ++I) PlayOneTurn(5 + I);
    const TPits Pits = S->Board().Pits;
    const int Player = S->Board().Player;
    const int Count = S->History().Count();
    const std::int32_t Clock1 = S->Clock(1), Clock2 = S->Clock(2);
    const std::string File = Path("game.tsm");
    S->History().SaveToFile(File);

    StartGame(1, 6, true, 1, 1, 1);
    S->PlayMove(1);

    ASSERT_TRUE(S->LoadGame(File));
    EXPECT_EQ(S->Board().Pits, Pits);
    EXPECT_EQ(S->Board().Player, Player);
    EXPECT_EQ(S->Board().Variant, 3);
    EXPECT_EQ(S->History().Count(), Count);
    EXPECT_EQ(S->History().Mode, 0);
    EXPECT_EQ(S->Opponent().Level, 2);
    EXPECT_EQ(S->Clock(1), Clock1);
    EXPECT_EQ(S->Clock(2), Clock2);
    EXPECT_EQ(S->Layers().Variante().Value, 3);
    EXPECT_EQ(S->Layers().Notes().Text, "Game has been loaded");
    EXPECT_FALSE(S->WillWinShown());
    EXPECT_TRUE(S->IsRunning());
    EXPECT_FALSE(S->IsUpdating());
    for (int P = 1; P <= 14; ++P) EXPECT_EQ(S->Layers().Mulde(P).Value, Pits[P]);

    // The board keeps its observers: the next move is animated and heard again.
    S->Settings().Animation = AnimationStones;
    Sounds.Played.clear();
    Host->OnFrame = [this] { S->SkipAnimation(); };  // Escape after the first frame
    PlayOneTurn(1);
    EXPECT_THAT(Sounds.Played, ElementsAre("4steinausmulde"));
}

TEST_F(SpielfeldTest, LoadingAFinishedGameShowsItWithoutRunning) {
    StartGame(2, 4, false);
    while (S->IsRunning()) PlayOneTurn(1);
    const TPits Final = S->Board().Pits;
    S->History().SaveToFile(Path("over.tsm"));
    const auto Messages = Host->Results.size();
    StartGame(1, 3, true);
    ASSERT_TRUE(S->LoadGame(Path("over.tsm")));
    EXPECT_FALSE(S->IsRunning());
    EXPECT_EQ(S->Board().Pits, Final);
    // Not entered into the table a second time, no result message either.
    EXPECT_EQ(Host->Results.size(), Messages);
    // The notes say that the game is over and how it ended.
    const std::vector<std::string> Notes = NoteLines();
    ASSERT_EQ(Notes.size(), 3u);
    EXPECT_EQ(Notes[0], S->Text("noteload"));
    EXPECT_EQ(Notes[1], S->Text("noteend"));
    const int Store1 = Final[7], Store2 = Final[14];
    if (Store1 == Store2)
        EXPECT_EQ(Notes[2], "Drawn.");
    else
        EXPECT_EQ(Notes[2], "Player " + std::string(Store1 > Store2 ? "Ann" : "Bob") + " has won.");

    // An unfinished game loaded says only that it was loaded.
    StartGame(1, 4, true);
    PlayOneTurn(4);
    S->History().SaveToFile(Path("half.tsm"));
    ASSERT_TRUE(S->LoadGame(Path("half.tsm")));
    EXPECT_EQ(NoteLines(), std::vector<std::string>{S->Text("noteload")});
}

class LoadFailure : public SpielfeldTest {
protected:
    void SetUp() override {
        SpielfeldTest::SetUp();
        StartGame(1, 4, true, 1, 1, 2);
        PlayOneTurn(4);
        PlayOneTurn(6);
        S->SetClock(S->Board().Player, S->Clock(S->Board().Player) + 9);
        pits_ = S->Board().Pits;
        player_ = S->Board().Player;
        count_ = S->History().Count();
        clock1_ = S->Clock(1);
        clock2_ = S->Clock(2);
    }

    void ExpectGameUnchanged() {
        EXPECT_EQ(S->Board().Pits, pits_);
        EXPECT_EQ(S->Board().Player, player_);
        EXPECT_EQ(S->History().Count(), count_);
        EXPECT_EQ(S->History().Name1, "Ann");
        EXPECT_EQ(S->History().Mode, 1);
        EXPECT_EQ(S->Opponent().Level, 2);
        EXPECT_EQ(S->Clock(1), clock1_);
        EXPECT_EQ(S->Clock(2), clock2_);
        EXPECT_EQ(S->Layers().AktSpieler().Names[0], "Ann");
        EXPECT_EQ(S->Layers().Variante().Value, 1);
        EXPECT_TRUE(S->IsRunning());
        EXPECT_FALSE(S->IsUpdating());
        EXPECT_FALSE(S->IsMoveInProgress());
    }

    void SaveRecord(const THistory& H, const std::string& Name) { H.SaveToFile(Path(Name)); }

    THistory Other() {
        THistory H;
        H.Start("Xaver", "Yvonne", "", "", "europa", "europa", 2, false, 4, 3, 1, 0);
        return H;
    }

    TPits pits_;
    int player_ = 0;
    int count_ = 0;
    std::int32_t clock1_ = 0, clock2_ = 0;
};

TEST_F(LoadFailure, AMoveThatDoesNotReplayLeavesTheGameAlone) {
    THistory H = Other();
    H.AddMove(30, 2, 1);
    H.AddMove(40, 2, 2);  // side 2 cannot play side 1's pit
    SaveRecord(H, "bad.tsm");
    EXPECT_FALSE(S->LoadGame(Path("bad.tsm")));
    ExpectGameUnchanged();
    // Said like any damaged file, once.
    EXPECT_EQ(Host->Errors, std::vector<std::string>{"File is corrupt."});
}

TEST_F(LoadFailure, ASkipWhereAMoveWasPossibleOrAnEntryOfTheWrongSideIsRejected) {
    THistory Skip = Other();
    Skip.AddMove(1, 0, 1);
    SaveRecord(Skip, "skip.tsm");
    EXPECT_FALSE(S->LoadGame(Path("skip.tsm")));
    ExpectGameUnchanged();

    THistory WrongSide = Other();
    WrongSide.AddMove(1, 9, 1);  // a legal pit of side 2, credited to side 1
    WrongSide.StartPlayer = 2;
    SaveRecord(WrongSide, "side.tsm");
    EXPECT_FALSE(S->LoadGame(Path("side.tsm")));
    ExpectGameUnchanged();
}

TEST_F(LoadFailure, SettingsNoGameCanHaveAreRejected) {
    THistory Variant = Other();
    Variant.Variant = 7;
    SaveRecord(Variant, "v.tsm");
    EXPECT_FALSE(S->LoadGame(Path("v.tsm")));
    ExpectGameUnchanged();

    THistory Start = Other();
    Start.StartPlayer = 0;
    SaveRecord(Start, "s.tsm");
    EXPECT_FALSE(S->LoadGame(Path("s.tsm")));
    ExpectGameUnchanged();
}

TEST_F(LoadFailure, ACorruptFileReachesTheErrorDisplayAndChangesNothing) {
    WriteFile("corrupt.tsm", std::string("&*this is not a saved game at all") + std::string(200, '\x5a'));
    EXPECT_FALSE(S->LoadGame(Path("corrupt.tsm")));
    ASSERT_EQ(Host->Errors.size(), 1u);
    EXPECT_FALSE(Host->Errors[0].empty());
    ExpectGameUnchanged();

    // A truncated real file fails the same way.
    THistory H = Other();
    for (int I = 0; I < 20; ++I) H.AddMove(I, 1, 1);
    SaveRecord(H, "whole.tsm");
    std::string Bytes = ReadFile("whole.tsm");
    WriteFile("cut.tsm", Bytes.substr(0, Bytes.size() / 2));
    EXPECT_FALSE(S->LoadGame(Path("cut.tsm")));
    EXPECT_EQ(Host->Errors.size(), 2u);
    ExpectGameUnchanged();
}

}  // namespace
}  // namespace tessum::test

// The end of a game: highscore entries and places, result sound and message.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "SpielfeldTest.h"
#include "highscore/uTHighscore.h"

namespace tessum::test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Not;

class GameEnd : public SpielfeldTest {
protected:
    // A variant 1 game with 36 stones one move from its end: side 1's last
    // stone goes into its end pit, which then holds Store1; side 2 holds the rest.
    void PlayLastMove(int Store1, std::uint8_t Mode = 0, std::int32_t Clock1 = 100, std::int32_t Clock2 = 100) {
        StartGame(1, 3, true, Mode);
        SetPosition({0, 0, 0, 0, 0, 0, 1, Store1 - 1, 0, 0, 0, 0, 0, 0, 36 - Store1}, 1);
        S->SetClock(1, Clock1);
        S->SetClock(2, Clock2);
        Sounds.Played.clear();
        S->PlayMove(6);
        ASSERT_TRUE(S->Board().IsGameOver());
    }

    // The old answerer must go first: it puts back the observer it found.
    void NewAnswerer() {
        Dialogs.reset();
        Dialogs = std::make_unique<TMessageDialogAnswerer>();
        Host->Results.clear();
    }

    std::string TableFile() const { return HighscoreFileName(folder_, 1); }

    // Fills the variant 1 table with Count results of Share stones out of 36.
    void Prefill(int Count, int Share) {
        THighscore T;
        T.LoadFromFile(TableFile());
        for (int I = 0; I < Count; ++I) T.AddScore("Old" + std::to_string(I), 500, Share, 36 - Share, 9, false, "", "europa");
        T.SaveToFile(TableFile());
    }

    std::vector<std::string> TableNames() const {
        THighscore T;
        T.LoadFromFile(TableFile());
        std::vector<std::string> Names;
        for (int I = 0; I < T.Count(); ++I) Names.push_back(T.GetValueText("name", I));
        return Names;
    }

    std::string Message() const {
        EXPECT_EQ(Host->Results.size(), 1u);
        return Host->Results.empty() ? std::string() : Host->Results.back();
    }
};

TEST_F(GameEnd, BothPeopleEnterTheTableSide2AboveSide1PushesItDown) {
    PlayLastMove(10);
    EXPECT_FALSE(S->IsRunning());
    EXPECT_FALSE(S->IsUpdating());
    EXPECT_EQ(S->Rank(1), 2);
    EXPECT_EQ(S->Rank(2), 1);
    EXPECT_THAT(TableNames(), ElementsAre("Bob", "Ann"));
    EXPECT_EQ(NoteLines().back(), "game over");
    EXPECT_THAT(Sounds.Played, ElementsAre("gewonnen"));

    const std::string Text = Message();
    EXPECT_EQ(Text.rfind("Player Bob has won.", 0), 0u) << Text;
    const auto Ann = Text.find("Player Ann has captured 10 stones and scored 27.78 points.");
    const auto Bob = Text.find("Player Bob has captured 26 stones and scored 72.22 points.");
    ASSERT_NE(Ann, std::string::npos) << Text;
    ASSERT_NE(Bob, std::string::npos) << Text;
    EXPECT_LT(Ann, Bob);  // side 1's summary first
    EXPECT_THAT(Text, HasSubstr("The score of 27.78 points is the 2 rank"));
    EXPECT_THAT(Text, HasSubstr("The score of 72.22 points is the 1 rank"));
}

TEST_F(GameEnd, Side2BelowSide1LeavesSide1sPlace) {
    PlayLastMove(26);
    EXPECT_EQ(S->Rank(1), 1);
    EXPECT_EQ(S->Rank(2), 2);
    EXPECT_THAT(Message(), HasSubstr("Player Ann has won."));
}

TEST_F(GameEnd, Side2AtSide1sPlaceByShorterTimeAndADrawStillSoundsWonInMode0) {
    PlayLastMove(18, 0, 100, 50);
    EXPECT_EQ(S->Rank(1), 2);
    EXPECT_EQ(S->Rank(2), 1);
    EXPECT_THAT(TableNames(), ElementsAre("Bob", "Ann"));
    EXPECT_EQ(Message().rfind("Drawn.", 0), 0u);
    EXPECT_THAT(Sounds.Played, ElementsAre("gewonnen"));
}

TEST_F(GameEnd, ASideThatMissesTheTableGetsNoPlaceAndNoSummary) {
    Prefill(20, 18);
    PlayLastMove(30);
    EXPECT_EQ(S->Rank(1), 1);
    EXPECT_EQ(S->Rank(2), -1);
    EXPECT_EQ(TableNames().size(), 20u);
    const std::string Text = Message();
    EXPECT_THAT(Text, HasSubstr("Player Ann has captured 30 stones"));
    EXPECT_THAT(Text, Not(HasSubstr("Player Bob has captured")));
}

TEST_F(GameEnd, Side1PushedOutOfTheLastPlaceBySide2) {
    Prefill(19, 33);
    Prefill(1, 3);
    PlayLastMove(13);
    // Side 1 went in at the last place, side 2 above it pushed it out.
    EXPECT_EQ(S->Rank(1), -1);
    EXPECT_EQ(S->Rank(2), 20);
    const auto Names = TableNames();
    ASSERT_EQ(Names.size(), 20u);
    EXPECT_EQ(Names.back(), "Bob");
    EXPECT_THAT(Message(), Not(HasSubstr("Player Ann has captured")));
}

TEST_F(GameEnd, AgainstTheComputerOnlyThePersonIsEntered) {
    PlayLastMove(26, 1);
    EXPECT_EQ(S->Rank(1), -1);
    EXPECT_EQ(S->Rank(2), 1);
    EXPECT_THAT(TableNames(), ElementsAre("Bob"));
    EXPECT_THAT(Sounds.Played, ElementsAre("verloren"));
    EXPECT_THAT(Message(), Not(HasSubstr("Player Ann has captured")));

    NewAnswerer();
    PlayLastMove(10, 1);
    EXPECT_THAT(Sounds.Played, ElementsAre("gewonnen"));
    NewAnswerer();
    PlayLastMove(18, 1);
    EXPECT_THAT(Sounds.Played, ElementsAre("unentschieden"));
}

TEST_F(GameEnd, ComputerAgainstComputerTouchesNoTable) {
    PlayLastMove(18, 2);
    EXPECT_FALSE(Exists("hs1.dat"));
    EXPECT_EQ(S->Rank(1), -1);
    EXPECT_EQ(S->Rank(2), -1);
    EXPECT_THAT(Sounds.Played, ElementsAre("unentschieden"));
    std::string Text = Message();
    EXPECT_EQ(Text.rfind("Drawn.", 0), 0u);
    EXPECT_THAT(Text, Not(HasSubstr("captured")));

    NewAnswerer();
    PlayLastMove(20, 2);
    EXPECT_THAT(Sounds.Played, ElementsAre("gewonnen"));
    Text = Message();
    EXPECT_EQ(Text.rfind("Player Ann has won.", 0), 0u);
    EXPECT_THAT(Text, Not(HasSubstr("captured")));
}

TEST_F(GameEnd, WithSoundOffTheResultIsOnlyShown) {
    S->Settings().Sound = false;
    PlayLastMove(26);
    EXPECT_TRUE(Sounds.Played.empty());
    EXPECT_THAT(Message(), HasSubstr("Player Ann has won."));
}

TEST_F(GameEnd, ADamagedTableIsReportedAndKeptAndTheGameStillEnds) {
    const std::string Garbage = std::string("&*") + std::string(301, '\x13');
    WriteFile("hs1.dat", Garbage);
    PlayLastMove(26);
    ASSERT_EQ(Host->Errors.size(), 1u);
    EXPECT_EQ(ReadFile("hs1.dat"), Garbage);
    EXPECT_FALSE(S->IsRunning());
    EXPECT_FALSE(S->IsUpdating());
    EXPECT_FALSE(S->IsMoveInProgress());
    EXPECT_EQ(S->Rank(1), -1);
    EXPECT_EQ(S->Rank(2), -1);
    EXPECT_TRUE(Host->Results.empty());
    EXPECT_TRUE(Sounds.Played.empty());
    EXPECT_EQ(NoteLines().back(), "game over");
}

TEST_F(GameEnd, ATableThatCannotBeWrittenIsReported) {
    S->SetHighscoreFolder(folder_ + "/missing/folder");
    PlayLastMove(26);
    ASSERT_EQ(Host->Errors.size(), 1u);
    EXPECT_FALSE(S->IsRunning());
    EXPECT_FALSE(S->IsUpdating());
    EXPECT_EQ(S->Rank(1), -1);
    EXPECT_TRUE(Host->Results.empty());
}

}  // namespace
}  // namespace tessum::test

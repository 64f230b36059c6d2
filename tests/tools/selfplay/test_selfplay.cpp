#include "SelfPlay.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace tessum;
using namespace tessum::selfplay;

namespace {

std::optional<TOptions> Parse(std::vector<std::string> Args, std::string* ErrorOut = nullptr) {
    std::string Error;
    auto Options = ParseOptions(Args, Error);
    if (ErrorOut) *ErrorOut = Error;
    EXPECT_EQ(Options.has_value(), Error.empty()) << Error;
    return Options;
}

}  // namespace

TEST(SelfPlayOptions, TheRunScriptsCommandLineIsAccepted) {
    const auto Options = Parse({"--games", "10", "--variant", "3", "--stones", "6", "--level1", "3", "--level2", "2",
                                "--verbose", "--seed", "18446744073709551615", "--endpits", "off"});
    ASSERT_TRUE(Options);
    EXPECT_EQ(Options->Games, 10);
    EXPECT_EQ(Options->Variant, 3);
    EXPECT_EQ(Options->Stones, 6);
    EXPECT_EQ(Options->Level1, 3);
    EXPECT_EQ(Options->Level2, 2);
    EXPECT_TRUE(Options->Verbose);
    EXPECT_FALSE(Options->UseEndPits);
    EXPECT_EQ(Options->Seed, 18446744073709551615ull);
}

TEST(SelfPlayOptions, BadValuesAreRefusedWithAReason) {
    std::string Error;
    for (const std::vector<std::string>& Args : std::vector<std::vector<std::string>>{
             {"--games", "0"},
             {"--games", "12x"},
             {"--games", ""},
             {"--games", "99999999999999999999"},
             {"--variant", "4"},
             {"--stones", "2"},
             {"--stones", "9"},
             {"--level1", "-1"},
             {"--endpits", "yes"},
             {"--seed", "-5"},
             {"--games"},
             {"--colour", "red"},
             {"stray"},
             {"--variant", "2", "--stones", "3"},
         }) {
        EXPECT_FALSE(Parse(Args, &Error)) << Args.front();
        EXPECT_FALSE(Error.empty());
    }
    Parse({"--seed", "x"}, &Error);
    EXPECT_NE(Error.find("--seed"), std::string::npos) << Error;
}

TEST(SelfPlayGames, EveryGameEndsWithAllStonesInTheEndPits) {
    TOptions Options;
    for (int32_t Variant = 1; Variant <= 3; ++Variant) {
        for (bool UseEndPits : {true, false}) {
            Options.Variant = Variant;
            Options.UseEndPits = UseEndPits;
            Options.Stones = 4;
            Options.Level1 = 2;
            Options.Level2 = 1;
            std::mt19937_64 Rng(Variant * 2 + UseEndPits);
            for (int Game = 0; Game < 4; ++Game) {
                const TGameResult Result = PlayGame(Options, Rng, nullptr);
                EXPECT_TRUE(Result.Finished);
                EXPECT_EQ(Result.Store1 + Result.Store2, 48);
                EXPECT_GT(Result.Moves, 0);
                EXPECT_TRUE(Result.Starter == 1 || Result.Starter == 2);
            }
        }
    }
}

TEST(SelfPlayGames, AFixedSeedReplaysTheSameGamesAndTheSummaryAddsUp) {
    TOptions Options;
    Options.Games = 6;
    Options.Seed = 77;
    Options.Level1 = 2;
    Options.Level2 = 2;
    std::ostringstream First, Second;
    const auto Results = selfplay::Run(Options, First);
    selfplay::Run(Options, Second);
    EXPECT_EQ(First.str(), Second.str());

    ASSERT_EQ(Results.size(), 6u);
    int32_t Wins1 = 0, Total1 = 0, Total2 = 0;
    for (const TGameResult& R : Results) {
        Wins1 += R.Winner() == 1;
        Total1 += R.Store1;
        Total2 += R.Store2;
    }
    const std::string Text = First.str();
    EXPECT_NE(Text.find("side 1 (advanced) wins: " + std::to_string(Wins1) + "\n"), std::string::npos) << Text;
    EXPECT_NE(Text.find("end pit totals: side 1 " + std::to_string(Total1) + ", side 2 " + std::to_string(Total2)),
              std::string::npos)
        << Text;
}

TEST(SelfPlayBoard, PitsAreDrawnWhereThePlayerSeesThem) {
    TFeld Board;
    for (int32_t Pit = 1; Pit <= 14; ++Pit) Board.Pits[Pit] = Pit * 3;  // all distinct
    const std::string Picture = DrawBoard(Board, 9);
    std::vector<std::string> Lines;
    std::istringstream In(Picture);
    for (std::string Line; std::getline(In, Line);) Lines.push_back(Line);
    ASSERT_EQ(Lines.size(), 5u);
    // Top row runs from pit 6 on the left to pit 1 on the right.
    EXPECT_LT(Lines[1].find("18"), Lines[1].find(" 3 "));
    // End pit 7 on the left, 14 on the right.
    EXPECT_LT(Lines[2].find("21"), Lines[2].find("42"));
    // Bottom row from pit 8 to pit 13, with the played pit marked.
    EXPECT_LT(Lines[3].find("24"), Lines[3].find("39"));
    EXPECT_NE(Lines[3].find("27*"), std::string::npos);
    EXPECT_EQ(Lines[1].find('*'), std::string::npos);
}

TEST(SelfPlayGames, TheMasterPlaysWholeGamesWithSidesBeginningInTurn) {
    const auto Options = Parse({"--games", "4", "--variant", "1", "--level1", "4", "--level2", "3", "--budget", "5",
                                "--alternate", "--seed", "3"});
    ASSERT_TRUE(Options);
    EXPECT_EQ(Options->BudgetMs, 5);
    EXPECT_TRUE(Options->Alternate);
    std::string Error;
    EXPECT_FALSE(Parse({"--budget", "0"}, &Error));
    EXPECT_FALSE(Parse({"--nodes", "0"}, &Error));
    EXPECT_FALSE(Parse({"--nodes", "1e6"}, &Error));
    const auto Limited = Parse({"--nodes", "250000"});
    ASSERT_TRUE(Limited);
    EXPECT_EQ(Limited->Nodes, 250000);
    EXPECT_FALSE(Parse({"--level2", "5"}, &Error));

    std::ostringstream Out;
    const auto Results = selfplay::Run(*Options, Out);
    ASSERT_EQ(Results.size(), 4u);
    for (std::size_t Game = 0; Game < Results.size(); ++Game) {
        EXPECT_EQ(Results[Game].Starter, Game % 2 == 0 ? 1 : 2);
        EXPECT_TRUE(Results[Game].Finished);
        EXPECT_EQ(Results[Game].Store1 + Results[Game].Store2, 72);
        EXPECT_GT(Results[Game].Searches, 0);
        EXPECT_GE(Results[Game].MaxDepth, Results[Game].MinDepth);
    }
    const std::string Text = Out.str();
    EXPECT_NE(Text.find("side 1 (master) against side 2 (professional), master's budget 5 ms"), std::string::npos)
        << Text;
    EXPECT_NE(Text.find("side 2 began: side 1 won "), std::string::npos) << Text;
    EXPECT_NE(Text.find("master: "), std::string::npos) << Text;
}

// Whole games of random legal moves under every rule setting, watched at
// every notification.
#include "board/uTFeld.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

using namespace tessum;

namespace {

struct TSetting {
    int32_t Variant;
    bool UseEndPits;
    int32_t Stones;
};

std::vector<TSetting> AllSettings() {
    std::vector<TSetting> Settings;
    for (int32_t Variant = 1; Variant <= 3; ++Variant)
        for (bool UseEndPits : {false, true})
            for (int32_t Stones = 3; Stones <= 8; ++Stones) Settings.push_back({Variant, UseEndPits, Stones});
    return Settings;
}

std::string Describe(const TSetting& S) {
    return "variant " + std::to_string(S.Variant) + (S.UseEndPits ? ", end pits on, " : ", end pits off, ") +
           std::to_string(S.Stones) + " stones";
}

// Checks the board from inside its own notifications.
class TWatcher {
public:
    TWatcher(TFeld& Board, int32_t Total) : FBoard(Board), FTotal(Total) {
        Connect(Board.OnBeforeSow, Board.OnAfterSow, Kind::Sow);
        Connect(Board.OnBeforeTake, Board.OnAfterTake, Kind::Take);
        Connect(Board.OnBeforeStore, Board.OnAfterStore, Kind::Store);
        Connect(Board.OnBeforeCapture, Board.OnAfterCapture, Kind::Capture);
        Connect(Board.OnBeforeStoreCaptured, Board.OnAfterStoreCaptured, Kind::StoreCaptured);
    }
    int64_t Notifications = 0;
    int32_t Failures = 0;

private:
    enum class Kind { Sow, Take, Store, Capture, StoreCaptured };

    void Connect(TFeldEvent& Before, TFeldEvent& After, Kind K) {
        Before = [this, K](int32_t Pit, int32_t Side, int32_t Count) { OnBefore(K, Pit, Side, Count); };
        After = [this, K](int32_t Pit, int32_t Side, int32_t Count) { OnAfter(K, Pit, Side, Count); };
    }

    void Check(bool Ok, const char* What) {
        if (Ok) return;
        if (++Failures <= 5) ADD_FAILURE() << What;
    }

    void OnBefore(Kind K, int32_t Pit, int32_t Side, int32_t Count) {
        ++Notifications;
        Check(FBoard.TotalStones() == FTotal, "stones created or lost (before)");
        Check(Side == FBoard.Player, "side is not the side moving");
        Check(Pit >= 1 && Pit <= 14, "pit out of range");
        Check(Count > 0, "notification for nothing");
        switch (K) {
        case Kind::Sow: Check(Count == 1 && FBoard.Hand > 0, "sowing without stones in the hand"); break;
        case Kind::Take:
        case Kind::Capture: Check(!IsEndPit(Pit) && FBoard.Pits[Pit] == Count, "emptying the wrong pit"); break;
        case Kind::Store: Check(IsEndPit(Pit) && FBoard.Hand >= Count, "storing more than the hand"); break;
        case Kind::StoreCaptured: Check(IsEndPit(Pit) && FBoard.Captured == Count, "storing a wrong buffer"); break;
        }
        Check(!FOpen, "a before-notification without its after-notification");
        FOpen = true;
        FKind = K;
        FPit = Pit;
        FPitBefore = FBoard.Pits[Pit];
    }

    void OnAfter(Kind K, int32_t Pit, int32_t, int32_t Count) {
        Check(FOpen && FKind == K && FPit == Pit, "an after-notification that matches no before-notification");
        FOpen = false;
        Check(FBoard.TotalStones() == FTotal, "stones created or lost (after)");
        Check(FBoard.Hand >= 0 && FBoard.Captured >= 0, "negative hand or buffer");
        const int32_t Delta = FBoard.Pits[Pit] - FPitBefore;
        switch (K) {
        case Kind::Sow:
        case Kind::Store:
        case Kind::StoreCaptured: Check(Delta == Count, "pit did not receive the stones announced"); break;
        case Kind::Take:
        case Kind::Capture: Check(FBoard.Pits[Pit] == 0 && Delta == -Count, "pit not emptied"); break;
        }
    }

    TFeld& FBoard;
    int32_t FTotal;
    int32_t FPitBefore = 0;
    bool FOpen = false;
    Kind FKind = Kind::Sow;
    int32_t FPit = 0;
};

}  // namespace

TEST(RandomGames, RulesHoldThroughoutEveryGameUnderEverySetting) {
    std::mt19937 Rng(20240611);
    constexpr int GamesPerSetting = 40;
    // Random play can wander; no real game comes near this.
    constexpr int MoveLimit = 5000;
    for (const TSetting& S : AllSettings()) {
        SCOPED_TRACE(Describe(S));
        for (int Game = 0; Game < GamesPerSetting; ++Game) {
            TFeld Board;
            Board.Variant = S.Variant;
            Board.UseEndPits = S.UseEndPits;
            Board.StonesPerPit = static_cast<uint8_t>(S.Stones);
            Board.Reset();
            Board.Player = 1 + static_cast<int32_t>(Rng() % 2);
            const int32_t Total = 12 * S.Stones;
            TWatcher Watcher(Board, Total);
            TFeld Shadow = Board;  // the same game without observers

            int Moves = 0;
            int TurnMoves = 0;
            int32_t TurnSide = Board.Player;
            while (!Board.IsGameOver() && Moves < MoveLimit) {
                if (Board.MustSkip()) {
                    Board.Skip();
                    Shadow.Skip();
                } else {
                    std::vector<int32_t> Legal;
                    for (int32_t N = 1; N <= 6; ++N)
                        if (Board.IsLegalMove(PitIndex(Board.Player, N))) Legal.push_back(PitIndex(Board.Player, N));
                    const int32_t Pit = Legal[Rng() % Legal.size()];
                    Board.DoMove(Pit);
                    Shadow.DoMove(Pit);
                }
                ++Moves;
                ASSERT_EQ(Board.Hand, 0);
                ASSERT_EQ(Board.Captured, 0);
                ASSERT_EQ(Board.TotalStones(), Total);
                ASSERT_TRUE(Board.Player == 1 || Board.Player == 2);
                ASSERT_EQ(Board.Pits, Shadow.Pits) << "observers changed the course of the game";
                ASSERT_EQ(Board.Player, Shadow.Player);
                if (Board.Player == TurnSide && Board.MovesThisTurn > 0) {
                    ++TurnMoves;
                } else {
                    TurnMoves = 0;
                    TurnSide = Board.Player;
                }
                if (S.Variant == 3) {
                    ASSERT_LE(TurnMoves, 1) << "a turn of more than two moves";
                } else if (S.Variant == 1) {
                    ASSERT_EQ(Board.MovesThisTurn, 0) << "every move passes the turn";
                }
            }
            ASSERT_LT(Moves, MoveLimit) << "game did not end";
            ASSERT_EQ(Watcher.Failures, 0);
            EXPECT_GT(Watcher.Notifications, 0);
            EXPECT_EQ(Board.OwnSideSum() + Board.OtherSideSum(), 0);
            EXPECT_EQ(Board.Store1() + Board.Store2(), Total);
            const int32_t Winner = Board.WillWin();
            const int32_t Leader = Board.Store1() > Board.Store2() ? 1 : Board.Store2() > Board.Store1() ? 2 : 0;
            EXPECT_EQ(Winner, Leader);
        }
    }
}

TEST(RandomGames, ASideThatWillWinStaysAhead) {
    std::mt19937 Rng(7);
    for (const TSetting& S : AllSettings()) {
        SCOPED_TRACE(Describe(S));
        for (int Game = 0; Game < 10; ++Game) {
            TFeld Board;
            Board.Variant = S.Variant;
            Board.UseEndPits = S.UseEndPits;
            Board.StonesPerPit = static_cast<uint8_t>(S.Stones);
            Board.Reset();
            int32_t Declared = 0;
            for (int Moves = 0; !Board.IsGameOver() && Moves < 5000; ++Moves) {
                if (Board.MustSkip()) {
                    Board.Skip();
                    continue;
                }
                int32_t Pit;
                do Pit = PitIndex(Board.Player, 1 + static_cast<int32_t>(Rng() % 6));
                while (!Board.IsLegalMove(Pit));
                const int32_t Store1 = Board.Store1(), Store2 = Board.Store2();
                Board.DoMove(Pit);
                ASSERT_GE(Board.Store1(), Store1) << "an end pit lost stones";
                ASSERT_GE(Board.Store2(), Store2) << "an end pit lost stones";
                if (Declared == 0) {
                    Declared = Board.WillWin();
                } else {
                    ASSERT_EQ(Board.WillWin(), Declared);
                }
            }
            ASSERT_TRUE(Board.IsGameOver());
        }
    }
}

// The animation of a move: its pacing, its sounds, Escape in the middle, and
// frames of a whole game on the drawn board (written as pictures when
// TESSUM_FRAMES_DIR names a folder).
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QTimer>

#include <cstdlib>
#include <filesystem>

#include "SpielfeldTest.h"

namespace tessum::test {
namespace {

using ::testing::ElementsAre;

int Differing(const TBitmap& A, const TBitmap& B, const TRect& R) {
    int N = 0;
    for (int Y = R.Top; Y < R.Bottom; ++Y)
        for (int X = R.Left; X < R.Right; ++X)
            if (A.Canvas().Pixel(X, Y) != B.Canvas().Pixel(X, Y)) ++N;
    return N;
}

class Animation : public SpielfeldTest {
protected:
    // Variant 3, 36 stones: side 1's single stone in pit 1 falls into pit 2,
    // which holds one already, so the turn passes after one take and one sow.
    void ShortMovePosition() {
        StartGame(3, 3, true);
        SetPosition({0, 1, 1, 0, 0, 0, 0, 10, 2, 2, 2, 2, 2, 2, 12}, 1);
        Sounds.Played.clear();
    }

    std::uint32_t TimedMove(int Pit) {
        const std::uint32_t Start = GetTickCount();
        S->PlayMove(Pit);
        return GetTickCount() - Start;
    }

    // Whether Frame carries the golden marker centred over Pit.
    bool ShowsHighlight(const TBitmap& Frame, int Pit) const {
        const TBitmap& H = S->HighlightPicture();
        const TRect& R = PitRects[Pit];
        const int X0 = R.Left + (R.Width() - H.Width()) / 2;
        const int Y0 = R.Top + (R.Height() - H.Height()) / 2;
        int Marker = 0, Shown = 0;
        for (int Y = 0; Y < H.Height(); ++Y)
            for (int X = 0; X < H.Width(); ++X) {
                const TColor C = H.Canvas().Pixel(X, Y);
                if (C == clWhite) continue;
                ++Marker;
                if (Frame.Canvas().Pixel(X0 + X, Y0 + Y) == C) ++Shown;
            }
        return Marker > 0 && Shown * 10 >= Marker * 9;
    }

    void ExpectHandsHome() {
        EXPECT_EQ(S->Hands().LeftPos[1], (TPoint{400, -100}));
        EXPECT_EQ(S->Hands().RightPos[1], (TPoint{200, -100}));
        EXPECT_EQ(S->Hands().LeftPos[2], (TPoint{200, 700}));
        EXPECT_EQ(S->Hands().RightPos[2], (TPoint{400, 700}));
        for (int Side = 1; Side <= 2; ++Side) {
            EXPECT_EQ(S->Hands().LeftFrame[Side], 0);
            EXPECT_EQ(S->Hands().RightFrame[Side], 0);
            EXPECT_EQ(S->Hands().LeftStones[Side], 0);
        }
    }
};

TEST_F(Animation, WithoutAnimationAMoveIsSilentButTheHandsStillTakeTwoSteps) {
    ShortMovePosition();
    const std::uint32_t Took = TimedMove(1);
    EXPECT_GE(Took, 200u);
    EXPECT_LT(Took, 1000u);
    EXPECT_TRUE(Sounds.Played.empty());
    EXPECT_EQ(S->Board().Pits[2], 2);
    EXPECT_EQ(S->Board().Player, 2);
    ExpectHandsHome();
    EXPECT_FALSE(S->IsAnimating());
}

TEST_F(Animation, StoneFramesHighlightTheTargetPitForHalfASecondEach) {
    S->Settings().Animation = AnimationStones;
    ShortMovePosition();
    int HighlightFrames = 0;
    Host->OnFrame = [&] {
        for (int P = 1; P <= 14; ++P)
            if (S->IsAnimating() && ShowsHighlight(S->FramePicture(), P)) {
                EXPECT_EQ(P, 2);
                ++HighlightFrames;
            }
    };
    const std::uint32_t Took = TimedMove(1);
    // take 500 + 200, sow 500 + 200, the hands' two steps home 200
    EXPECT_GE(Took, 1600u);
    EXPECT_LT(Took, 3200u);
    EXPECT_THAT(Sounds.Played, ElementsAre("4steinausmulde", "4steininmulde"));
    EXPECT_EQ(HighlightFrames, 1);
    EXPECT_EQ(S->Layers().Mulde(2).Value, 2);
}

TEST_F(Animation, HandsGrabPassAndSowWithTheirSounds) {
    S->Settings().Animation = AnimationHands;
    ShortMovePosition();
    int ClosedHandFrames = 0;
    Host->OnFrame = [&] {
        if (S->IsAnimating() && S->Hands().LeftFrame[1] == 11) {
            // The hand is drawn over pit 1's centre.
            const TPoint C = RectCenter(PitRects[1]);
            if (Differing(S->FramePicture(), S->BoardPicture(), {C.X - 60, C.Y - 60, C.X + 60, C.Y + 60}) > 200)
                ++ClosedHandFrames;
        }
    };
    const std::uint32_t Took = TimedMove(1);
    // grab 600, hand-over frames 250, pause 200, sow frames 500, and at least
    // one 100 ms step for each of the six movements
    EXPECT_GE(Took, 2150u);
    EXPECT_LT(Took, 12000u);
    // One stone in the hand makes no hand sound.
    EXPECT_THAT(Sounds.Played, ElementsAre("4steinausmulde", "4steininmulde"));
    EXPECT_GE(ClosedHandFrames, 1);
    ExpectHandsHome();
    EXPECT_EQ(S->Board().Pits[2], 2);
}

TEST_F(Animation, HandSoundsFollowTheStonesGrabbed) {
    S->Settings().Animation = AnimationHands;
    StartGame(1, 6, true);
    // Escape as soon as the hand has made its sound.
    Host->OnFrame = [this] {
        if (!Sounds.Played.empty()) S->SkipAnimation();
    };
    auto GrabFrom = [this](int Count) {
        Sounds.Played.clear();
        S->SkipAnimation(false);
        S->Hands().StartMove();
        S->Animator().OnBoard(TBoardStep::AfterTake, 3, 1, Count);
        return Sounds.Played;
    };
    EXPECT_THAT(GrabFrom(5), ElementsAre("vielesteineinderhand"));
    EXPECT_THAT(GrabFrom(3), ElementsAre("wenigsteineinderhand"));
    Host->OnFrame = [this] {
        if (S->Hands().RightFrame[1] == 4) S->SkipAnimation();  // the hand-over is done
    };
    EXPECT_TRUE(GrabFrom(1).empty());
}

TEST_F(Animation, EscapeInTheMiddleStopsHandsAndSoundsButTheyStillGoHome) {
    S->Settings().Animation = AnimationHands;
    StartGame(3, 4, true);
    TFeld Expected(S->Board());
    Expected.DoMove(1);
    Sounds.Played.clear();
    std::size_t SoundsAtEscape = 0;
    const auto Escape = Clock.MakeTimer("escape");
    Escape->OnTimeout = [&] {
        S->SkipAnimation();
        SoundsAtEscape = Sounds.Played.size();
    };
    Escape->Start(1200, false);
    const std::uint32_t Took = TimedMove(1);
    EXPECT_TRUE(S->AnimationSkipped());
    EXPECT_EQ(Sounds.Played.size(), SoundsAtEscape);
    // Unhindered, four sown stones take well over four seconds.
    EXPECT_LT(Took, 3400u);
    EXPECT_EQ(S->Board().Pits, Expected.Pits);
    EXPECT_EQ(S->Board().Player, Expected.Player);
    for (int P = 1; P <= 14; ++P) EXPECT_EQ(S->Layers().Mulde(P).Value, Expected.Pits[P]);
    ExpectHandsHome();
    EXPECT_FALSE(S->IsMoveInProgress());

    // The next move animates again.
    Sounds.Played.clear();
    Host->OnFrame = [this] {
        if (!Sounds.Played.empty()) S->SkipAnimation();
    };
    S->PlayMove(PitIndex(S->Board().Player, S->Opponent().ChooseMove()));
    EXPECT_FALSE(Sounds.Played.empty());
}

TEST_F(Animation, EscapeCutsAStoneFrameShort) {
    S->Settings().Animation = AnimationStones;
    ShortMovePosition();
    const auto Escape = Clock.MakeTimer("escape");
    Escape->OnTimeout = [this] { S->SkipAnimation(); };
    Escape->Start(150, false);
    const std::uint32_t Took = TimedMove(1);
    EXPECT_LT(Took, 1000u);
    EXPECT_THAT(Sounds.Played, ElementsAre("4steinausmulde"));
}

// One whole game on the real artwork, played with the hands. The first move
// is shown until the hand closes around its stones, the second with stone
// frames until a pit lights up; after that every move is cut short by Escape
// at its first frame, so the game takes seconds.
TEST_F(Animation, AWholeGameOnTheDrawnBoardWithFrames) {
    StartGame(3, 3, true);
    TBitmap Grab, Highlight;
    enum { WaitGrab, WaitHighlight, Fast } Phase = WaitGrab;
    int FrameIndex = 0;
    Host->OnFrame = [&] {
        if (!S->IsAnimating()) return;
        ++FrameIndex;
        if (Phase == WaitGrab) {
            const int Side = S->Board().Player;
            if (S->Hands().LeftFrame[Side] >= 9 && S->Hands().LeftStones[Side] > 0) {
                Grab.Assign(S->FramePicture());
                S->SkipAnimation();
            }
        } else if (Phase == WaitHighlight) {
            for (int P = 1; P <= 14; ++P)
                if (ShowsHighlight(S->FramePicture(), P)) {
                    Highlight.Assign(S->FramePicture());
                    S->SkipAnimation();
                    break;
                }
        } else {
            S->SkipAnimation();
        }
    };

    int Turns = 0;
    while (S->IsRunning() && Turns < 400) {
        S->Settings().Animation = Phase == WaitHighlight ? AnimationStones : AnimationHands;
        FrameIndex = 0;
        PlayOneTurn(2);
        ++Turns;
        if (Phase == WaitGrab && !Grab.Empty()) Phase = WaitHighlight;
        else if (Phase == WaitHighlight && !Highlight.Empty()) Phase = Fast;
    }
    ASSERT_FALSE(S->IsRunning());
    ASSERT_FALSE(Grab.Empty());
    ASSERT_FALSE(Highlight.Empty());
    EXPECT_GT(Differing(Grab, S->BackgroundPicture(), {0, 0, BoardWidth, BoardHeight}), 1000);
    ExpectHandsHome();
    EXPECT_EQ(S->Board().Store1() + S->Board().Store2(), 36);

    if (const char* Folder = std::getenv("TESSUM_FRAMES_DIR"); Folder != nullptr && *Folder != '\0') {
        std::filesystem::create_directories(Folder);
        const std::string Dir = std::string(Folder) + "/";
        EXPECT_TRUE(Grab.Image().save(QString::fromStdString(Dir + "frame-hand-grab.png")));
        EXPECT_TRUE(Highlight.Image().save(QString::fromStdString(Dir + "frame-stone-highlight.png")));
        EXPECT_TRUE(S->BoardPicture().Image().save(QString::fromStdString(Dir + "frame-game-over.png")));
    }
}

}  // namespace
}  // namespace tessum::test

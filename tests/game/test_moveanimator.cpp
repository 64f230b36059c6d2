// The move animator: its one guard, the kinds chosen by the settings, and the
// hand pictures that wait in their archive until a hand shows.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>

#include "SpielfeldTest.h"
#include "archive/uPaths.h"
#include "graphics/uTGFXFile.h"

namespace tessum::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class MoveAnimator : public SpielfeldTest {
protected:
    // Every hand frame that has pictures, decoded or not.
    int DecodedHands() {
        int Count = 0;
        for (int Side = 1; Side <= 2; ++Side) {
            for (const auto& Hand : S->Hands().LeftHands[static_cast<std::size_t>(Side)])
                if (Hand && Hand->Decoded) ++Count;
            for (const auto& Hand : S->Hands().RightHands[static_cast<std::size_t>(Side)])
                if (Hand && Hand->Decoded) ++Count;
        }
        return Count;
    }
};

TEST_F(MoveAnimator, TheGuardLetsNothingThroughOutsideAGameWhenSkippedOrOffTheBoard) {
    S->Settings().Animation = AnimationStones;
    const auto Before = Clock.Elapsed();
    // No game yet.
    S->Animator().OnBoard(TBoardStep::BeforeTake, 3, 1, 4);
    StartGame(1, 4, true);
    Sounds.Played.clear();
    // Pits and sides that do not exist.
    S->Animator().OnBoard(TBoardStep::BeforeSow, 0, 1, 1);
    S->Animator().OnBoard(TBoardStep::BeforeSow, 15, 1, 1);
    S->Animator().OnBoard(TBoardStep::BeforeStore, 7, 3, 1);
    S->Animator().OnBoard(TBoardStep::AfterSow, 1, 0, 1);
    // Escape pressed.
    S->SkipAnimation();
    S->Animator().OnBoard(TBoardStep::BeforeTake, 3, 1, 4);
    EXPECT_THAT(Sounds.Played, IsEmpty());
    EXPECT_EQ(Clock.Elapsed(), Before) << "no frame was shown";

    S->SkipAnimation(false);
    S->Animator().OnBoard(TBoardStep::BeforeTake, 3, 1, 4);
    EXPECT_THAT(Sounds.Played, ElementsAre("4steinausmulde"));
    EXPECT_EQ(Clock.Elapsed() - Before, 500);
}

TEST_F(MoveAnimator, AnAnimationKindFromADamagedSettingsFilePlaysTheMoveWithoutFrames) {
    StartGame(1, 4, true);
    S->Settings().Animation = 7;
    Sounds.Played.clear();
    const auto Before = Clock.Elapsed();
    S->PlayMove(3);
    EXPECT_EQ(S->History().CountMoves(), 1);
    EXPECT_THAT(Sounds.Played, IsEmpty());
    // Only the hands' two steps home.
    EXPECT_EQ(Clock.Elapsed() - Before, 200);
}

TEST_F(MoveAnimator, StepSoundsFollowThePitsAsTheyWereBeforeTheStep) {
    StartGame(1, 4, true);
    SetPosition({0, 0, 3, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 6}, 1);
    const TMoveAnimator& A = S->Animator();
    EXPECT_STREQ(A.StepSound(TBoardStep::BeforeTake, 2, 3), "4steinausmulde");
    EXPECT_EQ(A.StepSound(TBoardStep::BeforeTake, 2, 0), nullptr);
    EXPECT_EQ(A.StepSound(TBoardStep::BeforeTake, 7, 3), nullptr) << "an end pit is never emptied by a move";
    EXPECT_STREQ(A.StepSound(TBoardStep::BeforeSow, 1, 1), "1steininmulde");
    EXPECT_STREQ(A.StepSound(TBoardStep::BeforeSow, 8, 1), "4steininmulde");
    EXPECT_STREQ(A.StepSound(TBoardStep::BeforeStore, 7, 1), "1steininmulde");
    EXPECT_STREQ(A.StepSound(TBoardStep::BeforeStore, 14, 1), "4steininmulde");
    EXPECT_STREQ(A.StepSound(TBoardStep::BeforeStore, 14, 3), "wenigsteineinstirnmulde");
    EXPECT_STREQ(A.StepSound(TBoardStep::BeforeStore, 14, 9), "vielesteineinstirnmulde");
    EXPECT_EQ(A.StepSound(TBoardStep::AfterSow, 1, 1), nullptr);
    EXPECT_EQ(A.StepSound(TBoardStep::BeforeSow, 99, 1), nullptr);
    EXPECT_EQ(HeldSound(1), nullptr);
    EXPECT_STREQ(HeldSound(4), "wenigsteineinderhand");
    EXPECT_STREQ(HeldSound(5), "vielesteineinderhand");
}

TEST_F(MoveAnimator, HandPicturesAreDecodedOnlyWhenAHandShows) {
    EXPECT_EQ(DecodedHands(), 0) << "nothing unpacked at start-up";
    S->Settings().Animation = AnimationStones;
    StartGame(1, 4, true);
    S->PlayMove(3);
    EXPECT_EQ(DecodedHands(), 0) << "the hands stayed out of sight";
    S->Settings().Animation = AnimationHands;
    S->PlayMove(PitIndex(S->Board().Player, S->Opponent().ChooseMove()));
    EXPECT_GT(DecodedHands(), 0);
    // What was decoded is a real picture with its mask.
    const TTessumHand* Open = S->Hands().Decoded(S->History().Moves.back().Player, true, 0);
    ASSERT_NE(Open, nullptr);
    EXPECT_FALSE(Open->Picture.Empty());
    EXPECT_FALSE(Open->Mask.Empty());
    EXPECT_EQ(S->Hands().Decoded(1, true, 2), nullptr) << "frame 2 of the grabbing hand has no picture";
}

// The controller still refuses to start without a readable hands archive.
TEST_F(MoveAnimator, AMissingOrDamagedHandsArchiveIsReportedAtStartUp) {
    namespace fs = std::filesystem;
    const fs::path Artwork = DataFile("game.gfx");
    const fs::path Copy = fs::path(folder_) / "artwork";
    fs::create_directory(Copy);
    for (const char* Name : {"game.gfx", "steine.gfx", "mulden.gfx", "holz.gfx"})
        if (fs::exists(Artwork.parent_path() / Name)) fs::copy_file(Artwork.parent_path() / Name, Copy / Name);
    SetDataFolder(Copy.string());
    EXPECT_ANY_THROW(TSpielfeld(Lng, Host.get()));
    std::ofstream(Copy / "hands.gfx", std::ios::binary) << "not an archive at all";
    EXPECT_ANY_THROW(TSpielfeld(Lng, Host.get()));
    fs::copy_file(Artwork.parent_path() / "hands.gfx", Copy / "hands.gfx", fs::copy_options::overwrite_existing);
    EXPECT_NO_THROW(TSpielfeld(Lng, Host.get()));
    SetDataFolder("");
}

}  // namespace
}  // namespace tessum::test

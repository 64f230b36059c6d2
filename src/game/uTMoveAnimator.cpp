#include "game/uTMoveAnimator.h"

#include "game/uSound.h"
#include "game/uTSettings.h"
#include "graphics/uTBitmapLayer.h"
#include "graphics/uTGFXFile.h"
#include "graphics/uTSpielfeldLayers.h"

namespace tessum {

namespace {

bool ValidSide(int Side) { return Side == 1 || Side == 2; }

TPoint PitCentre(int Pit) { return RectCenter(PitRects[static_cast<std::size_t>(Pit)]); }

// The move happens at once and silently.
class TNoAnimation final : public IMoveAnimation {
public:
    void Step(TMoveAnimator&, TBoardStep, int, int, int) override {}
};

// Each pit a stone falls into is marked for a moment.
class TStoneAnimation final : public IMoveAnimation {
public:
    void Step(TMoveAnimator& A, TBoardStep Step, int Pit, int /*Side*/, int Count) override {
        switch (Step) {
            case TBoardStep::BeforeTake:
                A.PlaySound(A.StepSound(Step, Pit, Count));
                A.ShowStoneFrame(-1, 500);
                break;
            case TBoardStep::BeforeSow:
            case TBoardStep::BeforeStore: {
                const char* Sound = A.StepSound(Step, Pit, Count);
                A.ShowStoneFrame(Pit, 500);
                if (!A.Skipped()) A.PlaySound(Sound);
                break;
            }
            case TBoardStep::AfterTake:
            case TBoardStep::AfterSow:
            case TBoardStep::AfterStore:
                A.ShowStoneFrame(-1, 200);
                break;
        }
    }
};

// Two hands per side reach in, grab, pass the stones over and drop them.
class THandAnimation final : public IMoveAnimation {
public:
    void Step(TMoveAnimator& A, TBoardStep Step, int Pit, int Side, int Count) override {
        TTessumHands& Hands = A.Hands();
        const auto S = static_cast<std::size_t>(Side);
        switch (Step) {
            case TBoardStep::BeforeTake: {
                const char* Sound = A.StepSound(Step, Pit, Count);
                const TPoint Centre = PitCentre(Pit);
                Hands.MoveHands(Centre, OffsetPoint(Centre, HandSides[S].RightBesidePit, true), Side);
                if (!A.Skipped()) A.PlaySound(Sound);
                break;
            }
            case TBoardStep::AfterTake: {
                const TPoint Centre = PitCentre(Pit);
                Hands.Grab(Centre, Count, Side);
                if (A.Skipped()) return;
                A.PlaySound(HeldSound(Hands.LeftStones[S]));
                Hands.PassToRightHand(Centre, Count, Side);
                if (A.Skipped()) return;
                WaitUntil(GetTickCount() + 200);
                Hands.LeftFrame[S] = 0;
                Hands.MoveHands(HandSides[S].LeftHome, OffsetPoint(Hands.RightPos[S], HandSides[S].RightStepAside, true),
                                Side);
                break;
            }
            case TBoardStep::BeforeSow:
            case TBoardStep::BeforeStore: {
                const char* Sound = A.StepSound(Step, Pit, Count);
                Hands.SowFromRightHand(PitCentre(Pit), Count, Side);
                if (!A.Skipped()) A.PlaySound(Sound);
                break;
            }
            case TBoardStep::AfterSow:
            case TBoardStep::AfterStore:
                break;
        }
    }
};

}  // namespace

const char* StoreSound(int Count, int Before) {
    if (Count == 1) return Before == 0 ? "1steininmulde" : "4steininmulde";
    if (Count >= 2 && Count <= 4) return "wenigsteineinstirnmulde";
    if (Count >= 5 && Count <= 999) return "vielesteineinstirnmulde";
    return nullptr;
}

const char* HeldSound(int Held) {
    if (Held >= 2 && Held <= 4) return "wenigsteineinderhand";
    if (Held >= 5 && Held <= 999) return "vielesteineinderhand";
    return nullptr;
}

TMoveAnimator::TMoveAnimator(IAnimationHost& Host, TBitmap& Frame, TBitmap& Board, const TGFXSteine& Stones,
                             std::unique_ptr<TBitmap> Highlight)
    : host_(Host), frame_(Frame), board_(Board), highlight_(std::move(Highlight)), hands_(&Frame, &Board, &Stones) {
    if (!highlight_) highlight_ = std::make_unique<TBitmap>();
    hands_.OnChange = [this] { host_.Refresh(); };
    hands_.OnSkip = [this] { return host_.AnimationSkipped(); };
    kinds_[AnimationNone] = std::make_unique<TNoAnimation>();
    kinds_[AnimationStones] = std::make_unique<TStoneAnimation>();
    kinds_[AnimationHands] = std::make_unique<THandAnimation>();
}

void TMoveAnimator::OnBoard(TBoardStep Step, int Pit, int Side, int Count) {
    if (!host_.IsRunning() || host_.AnimationSkipped() || !ValidSide(Side)) return;
    const bool HasPit = Step != TBoardStep::AfterSow && Step != TBoardStep::AfterStore;
    if (HasPit && (Pit < 1 || Pit > PitCount)) return;
    const std::uint8_t Kind = host_.AnimationKind();
    // Settings from a damaged file animate nothing rather than guess.
    if (Kind >= kinds_.size()) return;
    kinds_[Kind]->Step(*this, Step, Pit, Side, Count);
}

void TMoveAnimator::PlaySound(const char* Name) const {
    if (Name != nullptr && host_.SoundOn()) PlaySoundResource(Name);
}

const char* TMoveAnimator::StepSound(TBoardStep Step, int Pit, int Count) const {
    if (Pit < 1 || Pit > PitCount) return nullptr;
    const int Before = host_.Board().Pits[Pit];
    switch (Step) {
        case TBoardStep::BeforeTake:
            return IsPlayingPit(Pit) && Count > 0 ? "4steinausmulde" : nullptr;
        case TBoardStep::BeforeSow:
            return Before == 0 ? "1steininmulde" : "4steininmulde";
        case TBoardStep::BeforeStore:
            return StoreSound(Count, Before);
        default:
            return nullptr;
    }
}

void TMoveAnimator::ShowStoneFrame(int Pit, std::uint32_t Milliseconds) {
    const std::uint32_t Start = GetTickCount();
    const TRect All = {0, 0, board_.Width(), board_.Height()};
    frame_.Canvas().CopyRect(All, board_.Canvas(), All);
    if (Pit >= 1 && Pit <= PitCount && !highlight_->Empty()) {
        const TRect& R = PitRects[static_cast<std::size_t>(Pit)];
        frame_.Canvas().Draw(R.Left + (R.Width() - highlight_->Width()) / 2,
                             R.Top + (R.Height() - highlight_->Height()) / 2, *highlight_);
    }
    host_.Refresh();
    if (!host_.AnimationSkipped()) WaitUntil(Start + Milliseconds, [this] { return host_.AnimationSkipped(); });
}

}  // namespace tessum

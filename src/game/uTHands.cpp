#include "game/uTHands.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "graphics/uTBitmapLayer.h"
#include "graphics/uTSpielfeldLayers.h"

namespace tessum {

namespace {

constexpr std::uint32_t StepMilliseconds = 100;
constexpr std::uint32_t FrameMilliseconds = 50;

std::string FrameName(int Side, const char* Pattern, int Frame) {
    char Buffer[64];
    std::snprintf(Buffer, sizeof Buffer, Pattern, Frame);
    return std::string(HandSides[static_cast<std::size_t>(Side)].Prefix) + Buffer;
}

bool ValidSide(int Side) { return Side == 1 || Side == 2; }

}  // namespace

const std::array<THandSide, 3> HandSides = {{
    {"", {0, 0}, {0, 0}, {0, 0}, {0, 0}, {0, 0}, {0, 0}, {0, 0}, {0, 0}},
    {"t", {213, 340}, {460, 383}, {400, -100}, {200, -100}, {-140, 0}, {60, 60}, {-40, -20}, {-20, -10}},
    {"", {427, 140}, {180, 97}, {200, 700}, {400, 700}, {140, 0}, {-60, -60}, {40, 20}, {-58, -46}},
}};

std::string LeftHandPictureName(int Side, int Frame) { return FrameName(Side, "pl-hand%4.4d.bmp", Frame); }
std::string LeftHandMaskName(int Side, int Frame) { return FrameName(Side, "ml-hand%4.4d.bmp", Frame); }
std::string RightHandPictureName(int Side, int Frame) { return FrameName(Side, "pr-hand%4.4d.bmp", Frame); }
std::string RightHandMaskName(int Side, int Frame) { return FrameName(Side, "mr-hand%4.4d.bmp", Frame); }

bool StepTowards(TPoint& Position, TPoint Target) {
    const double DX = static_cast<double>(Target.X) - Position.X;
    const double DY = static_cast<double>(Target.Y) - Position.Y;
    const double D = std::sqrt(DX * DX + DY * DY);
    const double Step = D > 300 ? 57 : D > 200 ? 47 : D > 80 ? 34 : 26;
    if (D <= Step) {
        Position = Target;
        return true;
    }
    // nearbyint rounds halves to even under the default rounding mode.
    Position.X += static_cast<int>(std::nearbyint(Step / D * DX));
    Position.Y += static_cast<int>(std::nearbyint(Step / D * DY));
    return false;
}

TTessumHands::TTessumHands(TBitmap* Target_, TBitmap* Background_, const TGFXSteine* Stones_)
    : Target(Target_), Background(Background_), Stones(Stones_) {
    for (int Side = 1; Side <= 2; ++Side) {
        auto S = static_cast<std::size_t>(Side);
        for (int F = 0; F < LeftHandFrameCount; ++F)
            if (LeftHandFrameExists(F)) LeftHands[S][static_cast<std::size_t>(F)] = std::make_unique<TTessumHand>();
        for (int F = 0; F < RightHandFrameCount; ++F)
            if (RightHandFrameExists(F)) RightHands[S][static_cast<std::size_t>(F)] = std::make_unique<TTessumHand>();
    }
}

void TTessumHands::LoadBitmaps() { LoadBitmaps(DataFile("hands.gfx")); }

void TTessumHands::LoadBitmaps(const std::string& ArchiveFileName) {
    // The archive is opened and checked now, so a missing or damaged one is
    // reported at start-up; the pictures are decoded when a hand first shows,
    // which spares the start-up their unpacking and, without hand animation,
    // their memory.
    auto Archive = std::make_unique<TGFXFile>();
    // Sprites at the scale of the frames they are drawn into.
    Archive->LoadForScale(ArchiveFileName, Target != nullptr ? Target->Scale() : 1);
    for (auto& Side : LeftHands)
        for (auto& Hand : Side)
            if (Hand) Hand->Decoded = false;
    for (auto& Side : RightHands)
        for (auto& Hand : Side)
            if (Hand) Hand->Decoded = false;
    archive_ = std::move(Archive);
}

const TTessumHand* TTessumHands::Decoded(int Side, bool Left, int Frame) {
    const auto S = static_cast<std::size_t>(Side);
    const auto F = static_cast<std::size_t>(Frame);
    TTessumHand* Hand = Left ? LeftHands[S][F].get() : RightHands[S][F].get();
    if (Hand == nullptr || Hand->Decoded) return Hand;
    Hand->Decoded = true;
    if (archive_ != nullptr) {
        archive_->GetBitmap(Left ? LeftHandPictureName(Side, Frame) : RightHandPictureName(Side, Frame), Hand->Picture);
        archive_->GetBitmap(Left ? LeftHandMaskName(Side, Frame) : RightHandMaskName(Side, Frame), Hand->Mask);
    }
    return Hand;
}

void TTessumHands::Show() {
    Draw();
    if (OnChange) OnChange();
}

void TTessumHands::MoveHands(TPoint LeftTarget, TPoint RightTarget, int Side) {
    if (!ValidSide(Side)) return;
    const auto S = static_cast<std::size_t>(Side);
    for (;;) {
        if (Skipping()) return;
        const bool LeftThere = StepTowards(LeftPos[S], LeftTarget);
        const bool RightThere = StepTowards(RightPos[S], RightTarget);
        const std::uint32_t T = GetTickCount();
        Show();
        WaitUntil(T + StepMilliseconds);
        if (LeftThere && RightThere) return;
    }
}

void TTessumHands::PlayGrabFrames(int Side) {
    if (!ValidSide(Side)) return;
    const auto S = static_cast<std::size_t>(Side);
    for (int I = std::max(LeftFrame[S], 0); I < LeftHandFrameCount; ++I) {
        if (Skipping()) return;
        const std::uint32_t T = GetTickCount();
        if (LeftHandFrameExists(I)) {
            LeftFrame[S] = I;
            Show();
        }
        WaitUntil(T + FrameMilliseconds);
    }
}

void TTessumHands::PlayRightFrames(int Side, int From, int To) {
    const auto S = static_cast<std::size_t>(Side);
    const int Direction = From <= To ? 1 : -1;
    for (int I = From;; I += Direction) {
        if (Skipping()) return;
        const std::uint32_t T = GetTickCount();
        if (RightHandFrameExists(I)) {
            RightFrame[S] = I;
            Show();
        }
        WaitUntil(T + FrameMilliseconds);
        if (I == To) return;
    }
}

void TTessumHands::Grab(TPoint Point, int Count, int Side) {
    if (!ValidSide(Side)) return;
    const auto S = static_cast<std::size_t>(Side);
    LeftPos[S] = Point;
    LeftFrame[S] = 0;
    LeftStones[S] += Count;
    PlayGrabFrames(Side);
}

void TTessumHands::PassToRightHand(TPoint Point, int Count, int Side) {
    if (!ValidSide(Side)) return;
    const auto S = static_cast<std::size_t>(Side);
    MoveHands(LeftPos[S], OffsetPoint(Point, HandSides[S].RightTakeOver, true), Side);
    PlayRightFrames(Side, 0, RightHandFrameCount - 1);
    LeftStones[S] = std::max(0, LeftStones[S] - Count);
}

void TTessumHands::SowFromRightHand(TPoint Point, int /*Count*/, int Side) {
    if (!ValidSide(Side)) return;
    const auto S = static_cast<std::size_t>(Side);
    MoveHands(LeftPos[S], Point, Side);
    PlayRightFrames(Side, RightHandFrameCount - 1, 0);
    PlayRightFrames(Side, 0, RightHandFrameCount - 1);
}

void TTessumHands::DrawHand(const TTessumHand* Hand, TPoint Position, TPoint HotSpot) {
    if (Hand == nullptr) return;
    const int X = Position.X - HotSpot.X;
    const int Y = Position.Y - HotSpot.Y;
    TCanvas& Canvas = Target->Canvas();
    if (!Hand->Mask.Empty()) Canvas.DrawAnd(X, Y, Hand->Mask);
    if (!Hand->Picture.Empty()) Canvas.DrawOr(X, Y, Hand->Picture);
}

void TTessumHands::Draw() {
    if (Target == nullptr) return;
    if (Background != nullptr) {
        const TRect All = {0, 0, Background->Width(), Background->Height()};
        Target->Canvas().CopyRect(All, Background->Canvas(), All);
    }
    for (int Side = 1; Side <= 2; ++Side) {
        const auto S = static_cast<std::size_t>(Side);
        const THandSide& Geometry = HandSides[S];
        const int LF = LeftFrame[S];
        if (LF >= 0 && LF < LeftHandFrameCount && LeftPos[S].Y >= HandMinY && LeftPos[S].Y <= HandMaxY) {
            DrawHand(Decoded(Side, true, LF), LeftPos[S], Geometry.LeftHotSpot);
            const int N = LeftStones[S];
            if (N >= 1 && N <= 99 && LF >= 9 && Stones != nullptr) {
                TPoint At = LeftPos[S];
                if (N <= 8) At = OffsetPoint(At, StoneCountOffsets[static_cast<std::size_t>(N)], true);
                At = OffsetPoint(At, Geometry.HeapOffset, true);
                if (const TBitmap* Heap = Stones->Bitmap(std::min(N, 9))) Target->Canvas().Draw(At.X, At.Y, *Heap);
            }
        }
        const int RF = RightFrame[S];
        if (RF >= 0 && RF < RightHandFrameCount && RightPos[S].Y >= HandMinY && RightPos[S].Y <= HandMaxY)
            DrawHand(Decoded(Side, false, RF), RightPos[S], Geometry.RightHotSpot);
    }
}

void TTessumHands::StartMove() {
    for (int Side = 1; Side <= 2; ++Side) {
        const auto S = static_cast<std::size_t>(Side);
        LeftPos[S] = HandSides[S].LeftHome;
        RightPos[S] = HandSides[S].RightHome;
        LeftStones[S] = 0;
        LeftFrame[S] = 0;
        RightFrame[S] = 0;
    }
}

void TTessumHands::EndMove() {
    // Escape cuts a move's animation short, but the hands still go home, or
    // they would hang over the board until the next move.
    homing_ = true;
    LeftStones[1] = 0;
    LeftFrame[1] = 0;
    LeftFrame[2] = 0;
    MoveHands(HandSides[1].LeftHome, HandSides[1].RightHome, 1);
    RightFrame[1] = 0;
    LeftStones[2] = 0;
    MoveHands(HandSides[2].LeftHome, HandSides[2].RightHome, 2);
    RightFrame[2] = 0;
    homing_ = false;
}

}  // namespace tessum

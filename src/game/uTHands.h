// The animated hands that play a move: for each side a left hand that grabs
// the stones of a pit and a right hand that takes them over and drops them one
// by one. Side 1 plays the upper row, so its hands reach in from above; side
// 2's come from below.
//
// Each frame is the composed board (Background) copied onto Target with the
// visible hands and the heap in the closed left hand drawn over it; OnChange
// then shows it. All pacing comes from the pumping waits, so the window keeps
// repainting and the timers keep ticking while a hand moves.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "graphics/Graphics.h"
#include "graphics/uTGFXFile.h"

namespace tessum {

// One animation frame of one hand: the picture (black outside the hand) is
// ORed over its mask (black on the hand, white elsewhere), which is ANDed first.
class TTessumHand {
public:
    TBitmap Picture;
    TBitmap Mask;
    // Picture and mask have been read from the archive (or it lacks them).
    bool Decoded = true;
};

inline constexpr int LeftHandFrameCount = 12;
inline constexpr int RightHandFrameCount = 5;

// The grabbing hand has pictures for frames 0, 1, 3, 5, 7, 9 and 11; the
// sowing hand for 0, 2 and 4. The frames in between only take time.
constexpr bool LeftHandFrameExists(int Frame) {
    return Frame == 0 || (Frame >= 1 && Frame < LeftHandFrameCount && Frame % 2 == 1);
}
constexpr bool RightHandFrameExists(int Frame) { return Frame == 0 || Frame == 2 || Frame == 4; }

// A hand whose point lies outside this band of Y is out of sight and not drawn.
inline constexpr int HandMinY = 0;
inline constexpr int HandMaxY = 640;

// The per-side geometry of the hands; index 1 and 2 are the sides.
struct THandSide {
    const char* Prefix;       // picture names: "t" for side 1, none for side 2
    TPoint LeftHotSpot;       // the hand's point within the left-hand pictures
    TPoint RightHotSpot;      // the same for the right hand
    TPoint LeftHome;          // out of sight, where a move starts and ends
    TPoint RightHome;
    TPoint RightBesidePit;    // right hand while the left one empties a pit, from its centre
    TPoint RightTakeOver;     // right hand taking the stones over, from the pit's centre
    TPoint RightStepAside;    // right hand after the take-over, from where it is
    TPoint HeapOffset;        // stones in the left hand, from its point
};
extern const std::array<THandSide, 3> HandSides;

// The picture and mask names of a frame: "tpl-hand0003.bmp" and the like.
std::string LeftHandPictureName(int Side, int Frame);
std::string LeftHandMaskName(int Side, int Frame);
std::string RightHandPictureName(int Side, int Frame);
std::string RightHandMaskName(int Side, int Frame);

// One step of a hand towards Target: 57 to 26 pixels, slowing down when near.
// Returns whether the hand now stands on the target.
bool StepTowards(TPoint& Position, TPoint Target);

class TTessumHands {
public:
    TBitmap* Target = nullptr;          // where frames are drawn; not owned
    TBitmap* Background = nullptr;      // what each frame starts from; not owned
    const TGFXSteine* Stones = nullptr; // heap pictures; not owned

    // Per side (index 1 and 2; 0 unused). Slots of frames without a picture stay empty.
    std::array<std::array<std::unique_ptr<TTessumHand>, LeftHandFrameCount>, 3> LeftHands;
    std::array<std::array<std::unique_ptr<TTessumHand>, RightHandFrameCount>, 3> RightHands;
    std::array<TPoint, 3> LeftPos{};
    std::array<TPoint, 3> RightPos{};
    std::array<std::int32_t, 3> LeftFrame{};
    std::array<std::int32_t, 3> RightFrame{};
    std::array<std::int32_t, 3> LeftStones{};

    // Called after every drawn frame.
    std::function<void()> OnChange;
    // Asked before every step; true cuts the animation of the current move
    // short (the Escape key). The return home at the end of a move ignores it.
    std::function<bool()> OnSkip;

    TTessumHands(TBitmap* Target, TBitmap* Background, const TGFXSteine* Stones);
    TTessumHands(const TTessumHands&) = delete;
    TTessumHands& operator=(const TTessumHands&) = delete;

    // Opens and checks "hands.gfx" in the program's folder: a missing or
    // damaged archive throws here. The pictures are decoded from it when a
    // hand is first drawn (a picture the archive lacks stays empty).
    void LoadBitmaps();
    void LoadBitmaps(const std::string& ArchiveFileName);
    // The hand of Side's frame with its pictures decoded; nullptr for a
    // frame without pictures.
    const TTessumHand* Decoded(int Side, bool Left, int Frame);

    // Moves both hands of Side in steps of 100 ms until both are on their
    // targets; draws at least one frame.
    void MoveHands(TPoint LeftTarget, TPoint RightTarget, int Side);
    // The left hand closes: frames from LeftFrame up to 11, 50 ms each.
    void PlayGrabFrames(int Side);
    void Grab(TPoint Point, int Count, int Side);
    // The right hand comes to the left one and takes Count stones over.
    void PassToRightHand(TPoint Point, int Count, int Side);
    // The right hand moves over Point and drops Count stones.
    void SowFromRightHand(TPoint Point, int Count, int Side);
    // One frame onto Target.
    void Draw();

    // Every move starts with the hands at home, open and empty.
    void StartMove();
    // And ends with them going home, side 1's first.
    void EndMove();

private:
    bool Skipping() const { return !homing_ && OnSkip && OnSkip(); }
    void Show();
    void PlayRightFrames(int Side, int From, int To);
    void DrawHand(const TTessumHand* Hand, TPoint Position, TPoint HotSpot);

    bool homing_ = false;
    std::unique_ptr<TGFXFile> archive_;
};

}  // namespace tessum

// TMoveAnimator: what the player sees and hears while the board carries out
// a move.
//
// The board notifies the controller before and after every change of a pit;
// the controller hands each notification to OnBoard. OnBoard applies the one
// guard (a game runs, the animation is not skipped, the side and pit are
// real) and passes the step to the animation kind the settings choose: hands,
// stones or none. Each kind is one IMoveAnimation; a new kind is a new
// implementation and a slot in the table of kinds. The sounds a step makes
// are chosen here too (StepSound, PlaySound), so a rule about sounds changes
// in one place.
//
// The animator owns the hands and the highlight of the stone animation; it
// draws into the controller's frame picture over a copy of its board picture
// and shows each frame through the host's Refresh.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "board/uTFeld.h"
#include "game/uTHands.h"
#include "graphics/Graphics.h"

namespace tessum {

class TGFXSteine;

// The six notifications of the board.
enum class TBoardStep { BeforeTake, AfterTake, BeforeSow, AfterSow, BeforeStore, AfterStore };

// What the animator needs of the controller.
class IAnimationHost {
public:
    virtual ~IAnimationHost() = default;
    virtual const TFeld& Board() const = 0;
    virtual bool IsRunning() const = 0;
    // The Escape key: the rest of the move is not animated.
    virtual bool AnimationSkipped() const = 0;
    // AnimationNone, AnimationStones or AnimationHands of the settings.
    virtual std::uint8_t AnimationKind() const = 0;
    virtual bool SoundOn() const = 0;
    // Brings the board picture up to date and shows the current picture.
    virtual void Refresh() = 0;
};

class TMoveAnimator;

// One kind of animation: what a step of the board looks like.
class IMoveAnimation {
public:
    virtual ~IMoveAnimation() = default;
    virtual void Step(TMoveAnimator& Animator, TBoardStep Step, int Pit, int Side, int Count) = 0;
};

class TMoveAnimator {
public:
    // Frame: where frames are drawn; Board: what each frame starts from;
    // Stones: the heap pictures of the hands; Highlight: the mark of a pit
    // a stone is about to fall into (white is transparent).
    TMoveAnimator(IAnimationHost& Host, TBitmap& Frame, TBitmap& Board, const TGFXSteine& Stones,
                  std::unique_ptr<TBitmap> Highlight);
    TMoveAnimator(const TMoveAnimator&) = delete;
    TMoveAnimator& operator=(const TMoveAnimator&) = delete;

    // Opens and checks "hands.gfx"; the hand pictures are decoded when first shown.
    void LoadHands() { hands_.LoadBitmaps(); }

    // A notification of the board.
    void OnBoard(TBoardStep Step, int Pit, int Side, int Count);
    // Every move starts with the hands at home and ends with them going home,
    // whatever the kind: at home they are out of sight.
    void StartMove() { hands_.StartMove(); }
    void EndMove() { hands_.EndMove(); }

    // For the kinds.
    bool Skipped() const { return host_.AnimationSkipped(); }
    const TFeld& Board() const { return host_.Board(); }
    // Plays Name (nullptr: nothing) when sound is on.
    void PlaySound(const char* Name) const;
    // The sound of a take, sow or store step, given the board before it;
    // nullptr when the step makes none.
    const char* StepSound(TBoardStep Step, int Pit, int Count) const;
    // Copies the board onto the frame with Pit (1..14) highlighted, shows it
    // and waits until Milliseconds have passed since the call; Escape ends
    // the wait at once.
    void ShowStoneFrame(int Pit, std::uint32_t Milliseconds);

    TTessumHands& Hands() { return hands_; }
    const TBitmap& HighlightPicture() const { return *highlight_; }

private:
    IAnimationHost& host_;
    TBitmap& frame_;
    TBitmap& board_;
    std::unique_ptr<TBitmap> highlight_;
    TTessumHands hands_;
    // Indexed by the settings' animation kind.
    std::array<std::unique_ptr<IMoveAnimation>, 3> kinds_;
};

// The sound of putting Count stones into an end pit already holding Before;
// nullptr when none plays.
const char* StoreSound(int Count, int Before);
// The sound of a hand closing on Held stones; nullptr when none plays.
const char* HeldSound(int Held);

}  // namespace tessum

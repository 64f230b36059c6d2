// Layers of the board picture.
//
// The board is a fixed background with small areas that change during a game.
// Each area is a layer: it restores its rectangle from the background and
// draws its current content over it, so a changed value repaints one
// rectangle and nothing else. A value that means "nothing to show" clears the
// area back to the background.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "graphics/Graphics.h"

namespace tessum {

class TBitmapLayer;
class TBitmapLayers;

// Told after a layer has drawn content; Sender is the layer.
using TLayerPaintEvent = std::function<void(TBitmapLayer* Sender)>;
// Asked before drawing content; false shows the background only.
using TCanPaintEvent = std::function<bool()>;

class TBitmapLayer {
public:
    TCanvas* Canvas = nullptr;        // target when Paint gets none
    TRect DestRect;                   // area of the target this layer owns
    TCanvas* SourceCanvas = nullptr;  // the clean background
    TRect SourceRect;                 // background area copied into DestRect
    TCanPaintEvent OnCanPaint;
    int FontSize = 8;
    bool Transparent = true;          // texts and shapes without background fill
    TBitmapLayers* Layers = nullptr;  // the list this layer was added to
    TLayerPaintEvent OnPaint;

    TBitmapLayer(TCanvas* SourceCanvas, TCanPaintEvent OnCanPaint, const TRect& DestRect, const TRect& SourceRect,
                 TCanvas* Canvas);
    virtual ~TBitmapLayer() = default;
    TBitmapLayer(const TBitmapLayer&) = delete;
    TBitmapLayer& operator=(const TBitmapLayer&) = delete;

    // Restores the rectangle and draws the content on Target, or on the
    // layer's own Canvas when Target is null.
    void Paint(TCanvas* Target = nullptr);

protected:
    // Draws the content; returns at once when the value means nothing to show.
    virtual void Draw(TCanvas& Target) = 0;
};

class TBitmapLayerInteger : public TBitmapLayer {
public:
    // -99 is shown by no layer, so a new layer shows background only.
    static constexpr std::int32_t NoValue = -99;
    std::int32_t Value = NoValue;

    using TBitmapLayer::TBitmapLayer;
    // Repaints only when V differs from Value.
    void SetValue(std::int32_t V);
};

class TBitmapLayerString : public TBitmapLayer {
public:
    std::string Text;

    using TBitmapLayer::TBitmapLayer;
    // Repaints only when S differs from Text (case matters).
    void SetText(const std::string& S);
};

// The layers of one picture in painting order; where rectangles overlap the
// later layer wins. The list does not own its layers.
class TBitmapLayers {
public:
    TLayerPaintEvent OnPaint;

    TBitmapLayers() = default;
    virtual ~TBitmapLayers() = default;
    TBitmapLayers(const TBitmapLayers&) = delete;
    TBitmapLayers& operator=(const TBitmapLayers&) = delete;

    void AddLayer(TBitmapLayer* Layer);
    // Paints every layer in order on Target (each layer's own canvas when null).
    void PaintAll(TCanvas* Target = nullptr);
    // Hands Handler to every layer now in the list and to the list itself.
    void SetOnPaint(const TLayerPaintEvent& Handler);

    int Count() const { return static_cast<int>(items_.size()); }
    TBitmapLayer* Items(int Index) const { return items_.at(static_cast<std::size_t>(Index)); }
    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }

protected:
    std::vector<TBitmapLayer*> items_;
};

// P + Q when Add is true, else P - Q.
TPoint OffsetPoint(TPoint P, TPoint Q, bool Add);
// Middle of R, halves truncated toward zero.
TPoint RectCenter(const TRect& R);

// Where GetTickCount and the pumping waits take their time from. The
// program's clock is the real one with the event loop; tests put in a clock
// of their own, whose waits move simulated time on.
class IWaitClock {
public:
    virtual ~IWaitClock() = default;
    virtual std::uint32_t Now() = 0;
    // Returns once Now() has reached Tick or Stop (when given) holds;
    // handles what falls due meanwhile.
    virtual void WaitUntil(std::uint32_t Tick, const std::function<bool()>& Stop) = 0;
};
// Not owned; nullptr puts the real clock back.
void SetWaitClock(IWaitClock* Clock);

// Milliseconds since the program started; wraps after 49 days.
std::uint32_t GetTickCount();
void Sleep(std::uint32_t Milliseconds);
// Waits Milliseconds while handling events (timers, painting, input), so the
// program stays alive during animations. Between events it sleeps in the
// event loop; it does not poll.
void Delay(std::uint32_t Milliseconds);
// Handles events until the tick count reaches Tick; returns the tick count
// read last. A Tick already past returns after one round of pending events.
// With Stop, the wait also ends as soon as Stop holds after an event.
std::uint32_t WaitUntil(std::uint32_t Tick, const std::function<bool()>& Stop = {});

}  // namespace tessum

#include "graphics/uTBitmapLayer.h"

#include <QCoreApplication>
#include <QThread>
#include <QTimer>

#include <chrono>

namespace tessum {

TBitmapLayer::TBitmapLayer(TCanvas* SourceCanvas, TCanPaintEvent OnCanPaint, const TRect& DestRect,
                           const TRect& SourceRect, TCanvas* Canvas)
    : Canvas(Canvas), DestRect(DestRect), SourceCanvas(SourceCanvas), SourceRect(SourceRect),
      OnCanPaint(std::move(OnCanPaint)) {}

void TBitmapLayer::Paint(TCanvas* Target) {
    TCanvas* target = Target ? Target : Canvas;
    if (!target) return;
    if (target->Brush.Style == TBrushStyle::Solid && Transparent) target->Brush.Style = TBrushStyle::Clear;
    else if (target->Brush.Style == TBrushStyle::Clear && !Transparent) target->Brush.Style = TBrushStyle::Solid;
    if (SourceCanvas) target->CopyRect(DestRect, *SourceCanvas, SourceRect);
    if (OnCanPaint && !OnCanPaint()) return;
    target->Font.SetSize(FontSize);
    Draw(*target);
    if (OnPaint) OnPaint(this);
}

void TBitmapLayerInteger::SetValue(std::int32_t V) {
    if (V == Value) return;
    Value = V;
    Paint();
}

void TBitmapLayerString::SetText(const std::string& S) {
    if (S == Text) return;
    Text = S;
    Paint();
}

void TBitmapLayers::AddLayer(TBitmapLayer* Layer) {
    if (!Layer) return;
    items_.push_back(Layer);
    Layer->Layers = this;
}

void TBitmapLayers::PaintAll(TCanvas* Target) {
    for (TBitmapLayer* layer : items_) layer->Paint(Target);
}

void TBitmapLayers::SetOnPaint(const TLayerPaintEvent& Handler) {
    for (TBitmapLayer* layer : items_) layer->OnPaint = Handler;
    OnPaint = Handler;
}

TPoint OffsetPoint(TPoint P, TPoint Q, bool Add) {
    return Add ? TPoint{P.X + Q.X, P.Y + Q.Y} : TPoint{P.X - Q.X, P.Y - Q.Y};
}

TPoint RectCenter(const TRect& R) { return {R.Left + (R.Right - R.Left) / 2, R.Top + (R.Bottom - R.Top) / 2}; }

namespace {

IWaitClock* WaitClock = nullptr;

std::uint32_t RealTickCount() {
    static const auto start = std::chrono::steady_clock::now();
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
    return static_cast<std::uint32_t>(ms.count());
}

void ProcessPendingEvents() {
    if (QCoreApplication::instance()) QCoreApplication::processEvents(QEventLoop::AllEvents);
}

// Whether Now has reached Target on the 32-bit tick clock. The difference is
// read as signed so that a wait across the wrap of the counter still ends;
// a plain unsigned comparison would wait another 49 days there.
bool Reached(std::uint32_t Now, std::uint32_t Target) { return static_cast<std::int32_t>(Now - Target) >= 0; }

}  // namespace

void SetWaitClock(IWaitClock* Clock) { WaitClock = Clock; }

std::uint32_t GetTickCount() { return WaitClock != nullptr ? WaitClock->Now() : RealTickCount(); }

void Sleep(std::uint32_t Milliseconds) { QThread::msleep(Milliseconds); }

void Delay(std::uint32_t Milliseconds) { WaitUntil(GetTickCount() + Milliseconds); }

std::uint32_t WaitUntil(std::uint32_t Tick, const std::function<bool()>& Stop) {
    if (WaitClock != nullptr) {
        WaitClock->WaitUntil(Tick, Stop);
        return WaitClock->Now();
    }
    // Whatever is pending is handled at once, even when the time is past.
    ProcessPendingEvents();
    std::uint32_t Now = RealTickCount();
    if (Reached(Now, Tick) || (Stop && Stop())) return Now;
    if (QCoreApplication::instance() == nullptr) {
        Sleep(Tick - Now);
        return RealTickCount();
    }
    // Sleep in the event loop until the next event or the deadline, whichever
    // comes first; the timer is only there to wake the loop at the deadline.
    QTimer Wake;
    Wake.setSingleShot(true);
    Wake.setTimerType(Qt::PreciseTimer);
    Wake.start(static_cast<int>(Tick - Now));
    while (!Reached(Now, Tick)) {
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
        Now = RealTickCount();
        if (Stop && Stop()) break;
        if (!Wake.isActive() && !Reached(Now, Tick)) Wake.start(static_cast<int>(Tick - Now));
    }
    return Now;
}

}  // namespace tessum

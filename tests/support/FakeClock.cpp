#include "FakeClock.h"

#include <algorithm>
#include <string>

namespace tessum::test {

class TFakeClock::TTimer final : public ITurnTimer {
public:
    TTimer(TFakeClock& Clock, const char* Name) : clock_(&Clock), Name(Name) { Clock.timers_.push_back(this); }
    ~TTimer() override {
        if (clock_ != nullptr) std::erase(clock_->timers_, this);
    }
    void Start(int Milliseconds, bool Repeating) override {
        Interval = std::max(Milliseconds, 0);
        Repeat = Repeating;
        Due = (clock_ != nullptr ? clock_->now_ : 0) + Interval;
        Active = true;
    }
    void Stop() override { Active = false; }
    bool IsActive() const override { return Active; }
    int RemainingTime() const override {
        if (!Active || clock_ == nullptr) return -1;
        return static_cast<int>(std::max<std::int64_t>(Due - clock_->now_, 0));
    }

    TFakeClock* clock_;
    std::string Name;
    std::int64_t Due = 0;
    int Interval = 0;
    bool Repeat = false;
    bool Active = false;
};

TFakeClock::~TFakeClock() {
    for (TTimer* T : timers_) T->clock_ = nullptr;
}

std::unique_ptr<ITurnTimer> TFakeClock::MakeTimer(const char* Name) { return std::make_unique<TTimer>(*this, Name); }

TFakeClock::TTimer* TFakeClock::Earliest() const {
    TTimer* Next = nullptr;
    for (TTimer* T : timers_)
        if (T->Active && (Next == nullptr || T->Due < Next->Due)) Next = T;
    return Next;
}

std::int64_t TFakeClock::NextDue() const {
    const TTimer* Next = Earliest();
    return Next == nullptr ? -1 : std::max<std::int64_t>(Next->Due - now_, 0);
}

bool TFakeClock::RunNext() {
    TTimer* Next = Earliest();
    if (Next == nullptr) return false;
    now_ = std::max(now_, Next->Due);
    if (Next->Repeat)
        Next->Due = now_ + std::max(Next->Interval, 1);
    else
        Next->Active = false;
    // The handler may stop, restart or destroy any timer, this one included.
    if (Next->OnTimeout) Next->OnTimeout();
    return true;
}

void TFakeClock::Advance(std::int64_t Milliseconds) {
    const std::int64_t End = now_ + Milliseconds;
    for (TTimer* Next = Earliest(); Next != nullptr && Next->Due <= End; Next = Earliest()) RunNext();
    now_ = std::max(now_, End);
}

void TFakeClock::WaitUntil(std::uint32_t Tick, const std::function<bool()>& Stop) {
    const std::int64_t End = now_ + static_cast<std::int32_t>(Tick - static_cast<std::uint32_t>(now_));
    if (Stop && Stop()) return;
    for (TTimer* Next = Earliest(); Next != nullptr && Next->Due <= End; Next = Earliest()) {
        RunNext();
        if (Stop && Stop()) return;
    }
    now_ = std::max(now_, End);
}

}  // namespace tessum::test

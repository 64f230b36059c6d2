// A clock the test moves on by hand, and timers that run on it, for the
// turn driver's timer seam; installed as the wait clock (SetWaitClock), the
// animation's waits move it on too. No test waits for real time to pass.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "game/uTTurnDriver.h"
#include "graphics/uTBitmapLayer.h"

namespace tessum::test {

class TFakeClock final : public IWaitClock {
public:
    TFakeClock() = default;
    TFakeClock(const TFakeClock&) = delete;
    TFakeClock& operator=(const TFakeClock&) = delete;
    ~TFakeClock();

    std::unique_ptr<ITurnTimer> MakeTimer(const char* Name);
    // A factory for TTurnDriver.
    TTimerFactory Factory() {
        return [this](const char* Name) { return MakeTimer(Name); };
    }

    std::int64_t Elapsed() const { return now_; }
    // IWaitClock: a wait moves the clock on to its end, firing what falls due.
    std::uint32_t Now() override { return static_cast<std::uint32_t>(now_); }
    void WaitUntil(std::uint32_t Tick, const std::function<bool()>& Stop) override;
    // Moves the clock on by Milliseconds, firing every timeout that falls
    // due on the way in the order they fall due.
    void Advance(std::int64_t Milliseconds);
    // Moves the clock to the next timeout of any timer and fires it; false
    // when no timer is active.
    bool RunNext();
    // Milliseconds until the next timeout, -1 when none.
    std::int64_t NextDue() const;

private:
    class TTimer;
    friend class TTimer;
    TTimer* Earliest() const;

    std::int64_t now_ = 0;
    std::vector<TTimer*> timers_;
};

}  // namespace tessum::test

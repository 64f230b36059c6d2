// The master's search on a thread of its own, so that the window stays
// responsive while the computer thinks. One search at a time; starting a new
// one, cancelling or destroying the object abandons the one under way, whose
// answer is then never delivered.
#pragma once

#include "ai/uTMaster.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

namespace tessum {

class TMasterThread {
public:
    // Called on the worker thread with the search's result and the number
    // Start gave; the receiver passes it on to its own thread. It must not
    // call back into this object.
    using TDone = std::function<void(uint64_t Search, const TMasterResult& Result)>;

    TMasterThread();
    // Abandons a search under way and waits for the worker to end.
    ~TMasterThread();
    TMasterThread(const TMasterThread&) = delete;
    TMasterThread& operator=(const TMasterThread&) = delete;

    // Starts searching a copy of Board within Budget; an earlier search still
    // running is abandoned first. Returns the number of this search, which
    // Done receives with its result.
    uint64_t Start(const TFeld& Board, std::chrono::milliseconds Budget, TDone Done);
    // Abandons the search under way, if any, and waits until the worker has
    // let go of it: afterwards no Done of it will be called.
    void Cancel();
    // Asks the search under way to answer now with its deepest completed
    // look; Done is still called.
    void Hurry();
    bool Busy() const;

private:
    void Run();

    TMaster Master;
    mutable std::mutex Lock;
    std::condition_variable Wake;
    std::condition_variable Idle;
    std::optional<TFeld> Pending;  // the board of a search not yet begun
    std::chrono::milliseconds PendingBudget{0};
    TDone PendingDone;
    uint64_t Counter = 0;
    uint64_t Current = 0;  // number of the search pending or running, 0 for none
    bool Searching = false;
    bool Abandoned = false;  // the running search's answer is not wanted
    bool Quit = false;
    std::atomic<bool> Stop{false};
    std::thread Worker;  // last, so it starts after everything it reads
};

}  // namespace tessum

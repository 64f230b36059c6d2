#include "ai/uTMasterThread.h"

namespace tessum {

TMasterThread::TMasterThread() : Worker([this] { Run(); }) {}

TMasterThread::~TMasterThread() {
    {
        std::lock_guard Guard(Lock);
        Quit = true;
        Abandoned = true;
        Pending.reset();
        Stop = true;
    }
    Wake.notify_all();
    Worker.join();
}

uint64_t TMasterThread::Start(const TFeld& Board, std::chrono::milliseconds Budget, TDone Done) {
    Cancel();
    std::lock_guard Guard(Lock);
    Pending.emplace();
    Pending->Assign(Board);
    PendingBudget = Budget;
    PendingDone = std::move(Done);
    Current = ++Counter;
    Wake.notify_all();
    return Current;
}

void TMasterThread::Cancel() {
    std::unique_lock Guard(Lock);
    Pending.reset();
    PendingDone = nullptr;
    Current = 0;
    if (!Searching) return;
    Abandoned = true;
    Stop = true;
    Idle.wait(Guard, [this] { return !Searching; });
}

void TMasterThread::Hurry() {
    std::lock_guard Guard(Lock);
    if (Searching) Stop = true;
}

bool TMasterThread::Busy() const {
    std::lock_guard Guard(Lock);
    return Searching || Pending.has_value();
}

void TMasterThread::Run() {
    std::unique_lock Guard(Lock);
    for (;;) {
        Wake.wait(Guard, [this] { return Quit || Pending.has_value(); });
        if (Quit) return;
        TFeld Board;
        Board.Assign(*Pending);
        Pending.reset();
        TDone Done = std::move(PendingDone);
        PendingDone = nullptr;
        const uint64_t Number = Current;
        Master.Budget = PendingBudget;
        Searching = true;
        Abandoned = false;
        Stop = false;
        Guard.unlock();
        const TMasterResult Result = Master.Search(Board, &Stop);
        Guard.lock();
        // Delivered under the lock, so that Cancel, once it returns, can be
        // sure no answer of the abandoned search is still on its way.
        if (!Abandoned && Done) Done(Number, Result);
        Searching = false;
        if (Current == Number) Current = 0;
        Idle.notify_all();
    }
}

}  // namespace tessum

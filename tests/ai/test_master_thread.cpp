#include "ai/uTMasterThread.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <vector>

using namespace tessum;
using namespace std::chrono_literals;

namespace {

TFeld Opening(int32_t Variant) {
    TFeld Board;
    Board.Variant = Variant;
    Board.UseEndPits = true;
    Board.StonesPerPit = 6;
    Board.Reset();
    return Board;
}

// Collects the answers the worker delivers.
struct TInbox {
    std::mutex Lock;
    std::condition_variable Arrived;
    std::vector<std::pair<uint64_t, TMasterResult>> Answers;

    TMasterThread::TDone Receiver() {
        return [this](uint64_t Search, const TMasterResult& Result) {
            std::lock_guard Guard(Lock);
            Answers.emplace_back(Search, Result);
            Arrived.notify_all();
        };
    }
    bool WaitFor(std::size_t Count, std::chrono::milliseconds Limit) {
        std::unique_lock Guard(Lock);
        return Arrived.wait_for(Guard, Limit, [&] { return Answers.size() >= Count; });
    }
    std::size_t Size() {
        std::lock_guard Guard(Lock);
        return Answers.size();
    }
};

}  // namespace

TEST(MasterThread, AnswersOnItsOwnThreadWithTheNumberOfTheSearch) {
    TInbox Inbox;
    TMasterThread Thread;
    TFeld Board = Opening(3);
    const uint64_t Search = Thread.Start(Board, 30ms, Inbox.Receiver());
    // The board given is copied: changing it now does not reach the search.
    Board.Pits.Counts.fill(0);
    ASSERT_TRUE(Inbox.WaitFor(1, 10s));
    EXPECT_EQ(Inbox.Answers[0].first, Search);
    EXPECT_TRUE(Opening(3).IsLegalMove(PitIndex(1, Inbox.Answers[0].second.Move)));
    EXPECT_GE(Inbox.Answers[0].second.Depth, 1);
    EXPECT_FALSE(Thread.Busy());
}

TEST(MasterThread, AnAbandonedSearchNeverAnswers) {
    TInbox Inbox;
    {
        TMasterThread Thread;
        Thread.Start(Opening(1), 60s, Inbox.Receiver());
        std::this_thread::sleep_for(20ms);
        const auto Start = std::chrono::steady_clock::now();
        Thread.Cancel();
        EXPECT_LT(std::chrono::steady_clock::now() - Start, 5s);
        EXPECT_FALSE(Thread.Busy());

        // A second search replaces a first still running; only the second answers.
        Thread.Start(Opening(2), 60s, Inbox.Receiver());
        const uint64_t Second = Thread.Start(Opening(3), 20ms, Inbox.Receiver());
        ASSERT_TRUE(Inbox.WaitFor(1, 10s));
        EXPECT_EQ(Inbox.Answers[0].first, Second);

        // Destroyed while it thinks: it stops and answers nobody.
        Thread.Start(Opening(1), 60s, Inbox.Receiver());
        std::this_thread::sleep_for(10ms);
    }
    EXPECT_EQ(Inbox.Size(), 1u);
}

TEST(MasterThread, HurryingGetsTheBestMoveFoundSoFar) {
    TInbox Inbox;
    TMasterThread Thread;
    const uint64_t Search = Thread.Start(Opening(1), 60s, Inbox.Receiver());
    std::this_thread::sleep_for(30ms);
    Thread.Hurry();
    ASSERT_TRUE(Inbox.WaitFor(1, 10s));
    EXPECT_EQ(Inbox.Answers[0].first, Search);
    EXPECT_TRUE(Inbox.Answers[0].second.Cancelled);
    EXPECT_TRUE(Opening(1).IsLegalMove(PitIndex(1, Inbox.Answers[0].second.Move)));
    // Hurrying with nothing under way does nothing to the next search.
    Thread.Hurry();
    Thread.Start(Opening(1), 20ms, Inbox.Receiver());
    ASSERT_TRUE(Inbox.WaitFor(2, 10s));
    EXPECT_FALSE(Inbox.Answers[1].second.Cancelled);
}

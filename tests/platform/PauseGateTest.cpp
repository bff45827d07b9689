// The gate a paused worker waits at.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "platform/PauseGate.h"
#include "support/TestSupport.h"

using namespace std::chrono_literals;
using testsupport::Eventually;

TEST(PauseGate, HoldsTheWorkerUntilResumed) {
    platform::PauseGate gate;
    std::atomic<int> passed{0};
    gate.Pause();
    std::thread worker([&] {
        gate.Wait();
        ++passed;
        gate.Wait();  // open again: returns at once
        ++passed;
    });
    ASSERT_TRUE(Eventually([&] { return gate.WorkerHeld(); }));
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(passed, 0);
    EXPECT_TRUE(gate.Paused());

    gate.Resume();
    ASSERT_TRUE(Eventually([&] { return passed == 2; }));
    worker.join();
    EXPECT_FALSE(gate.WorkerHeld());
}

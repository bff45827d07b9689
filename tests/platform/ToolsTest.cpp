// The tools the program starts (the MIME database's compiler, a validator)
// are programs of their own: they get the signals' default state, whatever
// the program has blocked or ignored for itself.
#include <gtest/gtest.h>

#include "platform/Env.h"
#include "platform/Signals.h"

namespace {

// Succeeds when the shell that runs it blocks no signal and lets SIGPIPE,
// SIGINT, SIGTERM and SIGHUP end it. A shell reports an inherited ignored
// signal as `trap -- '' NAME`; a shell's `trap` lists none of the others.
constexpr const char* kDefaultSignals =
    "test \"$(sed -n 's/^SigBlk:[[:space:]]*//p' /proc/self/status)\" = 0000000000000000 && "
    "test -z \"$(trap)\"";

TEST(RunTool, StartsToolsWithTheDefaultSignals) {
    ASSERT_TRUE(platform::RunTool({"sh", "-c", kDefaultSignals})) << "a plain start";
    platform::IgnoreBrokenPipe();
    {
        platform::StopSignals watching([](int) {});
        EXPECT_TRUE(platform::RunTool({"sh", "-c", kDefaultSignals}))
            << "the stop signals blocked and SIGPIPE ignored leaked into the tool";
    }
}

}  // namespace

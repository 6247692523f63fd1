// The waiting rule of failed logins, on a clock the test moves.
#include "server/rpc/LoginThrottle.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace std::chrono_literals;
using Clock = srv::LoginThrottle::Clock;

TEST(LoginThrottle, GivenFailuresPastTheFreeOnes_WhenAsking_ThenTheWaitDoublesUpToTheCeiling) {
    srv::LoginThrottle throttle(3, 10s);
    const Clock::time_point t0{};
    std::string waits;
    for (int i = 0; i < 8; ++i) {
        // Each attempt comes when the previous wait has just ended.
        const Clock::time_point now = t0 + std::chrono::seconds(100 * i);
        throttle.failed("op", now);
        waits += std::to_string(throttle.waitSeconds("op", now)) + " ";
    }
    EXPECT_EQ(waits, "0 0 1 2 4 8 10 10 ");
    // The wait runs out; another key was never affected.
    const Clock::time_point last = t0 + 700s;
    EXPECT_EQ(throttle.waitSeconds("op", last + 9s), 1);
    EXPECT_EQ(throttle.waitSeconds("op", last + 10s), 0);
    EXPECT_EQ(throttle.waitSeconds("other", last), 0);
}

TEST(LoginThrottle, GivenABlockedKey_WhenItSucceedsOrIsForgotten_ThenItStartsAfresh) {
    srv::LoginThrottle throttle(1, 60s, 15min);
    const Clock::time_point t0{};
    throttle.failed("a", t0);
    throttle.failed("a", t0);
    for (int i = 0; i < 3; ++i)
        throttle.failed("b", t0);
    EXPECT_EQ(throttle.waitSeconds("a", t0), 2);
    EXPECT_EQ(throttle.waitSeconds("b", t0), 4);
    throttle.succeeded("a");
    EXPECT_EQ(throttle.waitSeconds("a", t0), 0);
    // Old failures no longer count: a new one is the first again.
    throttle.failed("b", t0 + 16min);
    EXPECT_EQ(throttle.waitSeconds("b", t0 + 16min), 1);
}

TEST(LoginThrottle, GivenAFloodOfKeys_WhenFull_ThenOldKeysMakeRoomAndMemoryStaysBounded) {
    srv::LoginThrottle throttle(1, 60s, 1min, 100);
    const Clock::time_point t0{};
    for (int i = 0; i < 100; ++i)
        throttle.failed("k" + std::to_string(i), t0);
    // Full: a new key is not remembered while the old ones are recent...
    throttle.failed("new", t0 + 1s);
    EXPECT_EQ(throttle.waitSeconds("new", t0 + 1s), 0);
    // ...and is once they have aged out.
    throttle.failed("new", t0 + 2min);
    EXPECT_EQ(throttle.waitSeconds("new", t0 + 2min), 1);
    EXPECT_EQ(throttle.waitSeconds("k1", t0 + 2min), 0);
}

} // namespace

#include "engine/window/frame_timing.h"

#include <gtest/gtest.h>

#include <numeric>
#include <vector>

namespace glint {
namespace {

// A clock that moves only when told to or when slept on.
class FakeClock : public FrameClock {
public:
    int64_t nowMs() override { return now; }
    void sleepOneMs() override {
        ++now;
        ++slept;
    }
    int64_t now = 1000;
    int slept = 0;
};

TEST(FrameTiming, RecordsClampedFrameTimesNewestLast) {
    FakeClock clock;
    FrameTiming timing;
    EXPECT_EQ(timing.endFrame(0, clock), 0); // no previous frame
    clock.now += 16;
    EXPECT_EQ(timing.endFrame(0, clock), 16);
    clock.now += 5000;
    EXPECT_EQ(timing.endFrame(0, clock), 2000);
    ASSERT_EQ(timing.historyLength(), 3);
    EXPECT_EQ(timing.history()[0], 0);
    EXPECT_EQ(timing.history()[2], 2000);
    EXPECT_DOUBLE_EQ(timing.averageFrameTime(), 2016.0 / 3);
    EXPECT_EQ(clock.slept, 0); // no cap, no sleeping
}

TEST(FrameTiming, HistoryKeepsTheLastEight) {
    FakeClock clock;
    FrameTiming timing;
    timing.endFrame(0, clock);
    for (int frame = 1; frame <= 10; ++frame) {
        clock.now += frame;
        timing.endFrame(0, clock);
    }
    ASSERT_EQ(timing.historyLength(), 8);
    EXPECT_EQ(timing.history()[0], 3);
    EXPECT_EQ(timing.history()[7], 10);
    EXPECT_DOUBLE_EQ(timing.averageFrameTime(), (3 + 10) * 8 / 2.0 / 8);
}

TEST(FrameTiming, CapSpacesFramesAndKeepsTheAverageRate) {
    FakeClock clock;
    FrameTiming timing;
    timing.endFrame(30, clock);
    std::vector<double> times;
    for (int frame = 0; frame < 30; ++frame) {
        clock.now += 5; // drawing takes 5 ms
        times.push_back(timing.endFrame(30, clock));
    }
    for (double time : times) {
        EXPECT_GE(time, 33);
        EXPECT_LE(time, 34);
    }
    // The carried remainder keeps 30 frames at one second.
    EXPECT_NEAR(std::accumulate(times.begin(), times.end(), 0.0), 1000, 1);
}

TEST(FrameTiming, SlowFramesAreNotDelayedFurther) {
    FakeClock clock;
    FrameTiming timing;
    timing.endFrame(60, clock);
    clock.now += 50;
    EXPECT_EQ(timing.endFrame(60, clock), 50);
    EXPECT_EQ(clock.slept, 0);
}

TEST(FrameTiming, ResetForgetsThePreviousFrame) {
    FakeClock clock;
    FrameTiming timing;
    timing.endFrame(30, clock);
    clock.now += 500;
    timing.reset();
    EXPECT_EQ(timing.endFrame(30, clock), 0);
    EXPECT_EQ(clock.slept, 0);
    EXPECT_EQ(timing.historyLength(), 2);
}

} // namespace
} // namespace glint

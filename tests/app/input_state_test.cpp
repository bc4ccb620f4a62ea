#include "app/input_state.h"

#include <gtest/gtest.h>

using namespace glint;

namespace {

constexpr int kNumLock = 83;
constexpr int kLetterA = 26;

struct Poller {
    InputLevels levels;
    InputEdges edges;
    InputReading reading;
    void poll() { applyInputReading(levels, &edges, reading); }
};

TEST(InputPoll, EdgesStayUntilClearedAndLevelsFollowTheKey) {
    Poller p;
    p.reading.keys[kLetterA] = true;
    p.poll();
    EXPECT_EQ(p.edges.keyPressed[kLetterA], 1);
    EXPECT_EQ(p.edges.keyHeld[kLetterA], 1);
    p.poll();
    EXPECT_EQ(p.edges.keyPressed[kLetterA], 1) << "no tick ran: the press is still there";
    p.edges.clearEdges();
    p.reading.keys[kLetterA] = false;
    p.poll();
    EXPECT_EQ(p.edges.keyPressed[kLetterA], 0);
    EXPECT_EQ(p.edges.keyReleased[kLetterA], 1);
    EXPECT_EQ(p.edges.keyHeld[kLetterA], 0);
}

TEST(InputPoll, AShortClickSeenInTwoPollsLeavesBothEdgesForTheNextTick) {
    Poller p;
    p.reading.buttons[0] = true;
    p.poll();
    p.reading.buttons[0] = false;
    p.poll();
    EXPECT_EQ(p.edges.buttonReleased[0], 1);
    EXPECT_EQ(p.edges.buttonHeld[0], 0);
    // The release cleared the pressed edge of the same button; a tick that
    // only ran now sees the release.
    EXPECT_EQ(p.edges.buttonPressed[0], 0);
    EXPECT_TRUE(p.edges.buttonReleased[0]);
}

TEST(InputPoll, ALockKeyReadsAsHeldWhileTheLockIsOn) {
    // The platform reading reports the toggle state for engine keys 83, 84.
    Poller p;
    p.reading.keys[kNumLock] = true;
    p.poll();
    p.poll();
    EXPECT_EQ(p.edges.keyHeld[kNumLock], 1);
    p.reading.keys[kNumLock] = false;
    p.poll();
    EXPECT_EQ(p.edges.keyReleased[kNumLock], 1);
}

TEST(InputPoll, TheEnginePointerMovesOnlyWhenThePolledPositionChanges) {
    Poller p;
    p.reading.pointerX = 100;
    p.reading.pointerY = 50;
    p.poll();
    EXPECT_EQ(p.edges.pointerX, 100);
    p.edges.pointerX = 7; // engine code placed it
    p.poll();
    EXPECT_EQ(p.edges.pointerX, 7);
    p.reading.pointerY = 51;
    p.poll();
    EXPECT_EQ(p.edges.pointerX, 100);
    EXPECT_EQ(p.edges.pointerY, 51);
}

TEST(InputPoll, WithoutAnEngineOnlyTheLevelsAreKept) {
    InputLevels levels;
    InputReading reading;
    reading.keys[kLetterA] = true;
    applyInputReading(levels, nullptr, reading);
    EXPECT_EQ(levels.keyPrev[kLetterA], 1);
}

TEST(InputPoll, PointerCoordinatesTruncateAndWrapToSixteenBits) {
    EXPECT_EQ(pointerGameCoordinate(100, 20, 1.5f), 120);
    EXPECT_EQ(pointerGameCoordinate(10, 20, 1.0f), -10);
    EXPECT_EQ(pointerGameCoordinate(3, 0, 0.9f), 2);
    EXPECT_EQ(pointerGameCoordinate(40000, 0, 1.0f), 40000 - 65536);
}

} // namespace

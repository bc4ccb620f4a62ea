// The pulse of a found object: eased segments between the factors.
#include "game/pulse_curve.h"
#include "engine/system/numbers.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace glint;

namespace {

TEST(PulseCurve, EasesBetweenTheFactorsAndEndsAtOne) {
    initMathTables();
    PulseCurve curve;
    const float factors[7] = {1, 1.4f, 0.8f, 1.2f, 1, 1, 1};
    std::copy(factors, factors + 7, curve.factors);
    struct Case {
        float ticks, value;
    } cases[] = {{0, 1}, {25, 1.2f}, {50, 1.4f}, {75, 1.1f}, {100, 0.8f}, {299, 1}, {400, 1}};
    for (const Case& c : cases)
        EXPECT_NEAR(curve.value(c.ticks), c.value, 2e-3) << "at " << c.ticks;

    curve.ends[1] = 0; // an empty first segment jumps to its factor
    EXPECT_FLOAT_EQ(curve.value(0), 1.4f);
}

} // namespace

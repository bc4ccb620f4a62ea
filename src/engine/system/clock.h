// The millisecond clock of the engine: monotonic, counted from timerInit.
#pragma once

#include <cstdint>

namespace glint {

void timerInit();
int64_t clockMs();
// The wall clock: seconds since 1970-01-01 00:00 UTC, milliseconds as the
// fraction.
double wallClockSeconds();

} // namespace glint

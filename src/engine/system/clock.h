// The millisecond clock of the engine: monotonic, counted from timerInit.
#pragma once

#include <cstdint>

namespace glint {

void timerInit();
int64_t clockMs();

} // namespace glint

#include "engine/system/clock.h"

#include "engine/system/log.h"
#include "engine/system/thread.h"

#include <ctime>

namespace glint {

namespace {

bool started = false;
int64_t startNs = 0;

int64_t monotonicNs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<int64_t>(now.tv_sec) * 1000000000 + now.tv_nsec;
}

} // namespace

void timerInit() {
    if (started)
        return;
    started = true;
    // The monotonic clock is the high-resolution counter on every Linux system.
    startNs = monotonicNs();
    logMessage("System: using high-performance counter");
    bindMainThreadToFirstCpu();
}

int64_t clockMs() {
    if (!started)
        timerInit();
    return (monotonicNs() - startNs) / 1000000;
}

double wallClockSeconds() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec / 1000000) / 1000.0;
}

} // namespace glint

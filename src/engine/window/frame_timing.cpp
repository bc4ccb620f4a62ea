#include "engine/window/frame_timing.h"

#include <algorithm>

namespace glint {

void FrameTiming::reset() {
    previous_ = -1;
    remainder_ = 0;
}

void FrameTiming::clear() {
    reset();
    std::fill(history_, history_ + kHistorySize, 0.0);
    length_ = 0;
    average_ = 0;
}

double FrameTiming::endFrame(int maxFrameRate, FrameClock& clock) {
    int64_t now = clock.nowMs();
    if (maxFrameRate > 0 && previous_ >= 0) {
        float period = 1000.0f / static_cast<float>(maxFrameRate);
        float target = remainder_ + period;
        int64_t elapsed = std::max<int64_t>(now - previous_, 1);
        while (static_cast<float>(elapsed) < target) {
            clock.sleepOneMs();
            now = clock.nowMs();
            elapsed = std::max<int64_t>(now - previous_, 1);
        }
        // Carrying the overshoot keeps the average rate at the cap.
        remainder_ = period - static_cast<float>(elapsed) + remainder_;
    }
    double frameTime = previous_ >= 0 ? std::clamp(static_cast<double>(now - previous_), 0.0, kMaxFrameTimeMs) : 0.0;
    previous_ = now;
    record(frameTime);
    return frameTime;
}

void FrameTiming::record(double frameTime) {
    std::copy(history_ + 1, history_ + kHistorySize, history_);
    history_[kHistorySize - 1] = frameTime;
    length_ = std::min(length_ + 1, kHistorySize);
    double sum = 0;
    for (int i = kHistorySize - length_; i < kHistorySize; ++i)
        sum += history_[i];
    average_ = sum / length_;
}

} // namespace glint

// A clip's clock: seconds advanced by the game, 0.01 per tick while it
// runs. The main thread moves it; the decoding threads read it to skip
// frames that are already late.
#pragma once

#include <atomic>

namespace glint {

class TheoraTimer {
public:
    float getTime() const { return time_.load(std::memory_order_relaxed); }
    void update(float seconds) {
        if (!isPaused())
            time_.store(getTime() + getSpeed() * seconds, std::memory_order_relaxed);
    }
    void pause() { paused_ = true; }
    void play() { paused_ = false; }
    bool isPaused() const { return paused_; }
    float getSpeed() const { return speed_.load(std::memory_order_relaxed); }
    void seek(float time) { time_.store(time, std::memory_order_relaxed); }

private:
    std::atomic<float> time_{0};
    std::atomic<bool> paused_{false};
    std::atomic<float> speed_{1}; // clips always play at their own pace
};

} // namespace glint

// Frame pacing and the history of frame times.
#pragma once

#include <cstdint>

namespace glint {

// Where the pacing reads the time and sleeps; the window uses the engine's
// millisecond clock and 1 ms sleeps.
class FrameClock {
public:
    virtual ~FrameClock() = default;
    virtual int64_t nowMs() = 0;
    virtual void sleepOneMs() = 0;
};

class FrameTiming {
public:
    static constexpr int kHistorySize = 8;
    static constexpr double kMaxFrameTimeMs = 2000;

    // Forgets the previous frame time and the carried pacing remainder; the
    // history stays.
    void reset();
    // reset() and an empty history with a zero average: a new run of the
    // game starts without the frame times of the last one.
    void clear();

    // Ends one frame: with a frame rate cap (maxFrameRate > 0) sleeps until
    // the frame period, carrying the difference to the next frame, then
    // records the frame time. Returns that frame time.
    double endFrame(int maxFrameRate, FrameClock& clock);

    // The last frame times, oldest first; historyLength() of them are filled.
    const double* history() const { return history_ + (kHistorySize - length_); }
    int historyLength() const { return length_; }
    double averageFrameTime() const { return average_; }
    // The newest frame time; 0 before the first frame.
    double lastFrameTime() const { return history_[kHistorySize - 1]; }

private:
    void record(double frameTime);

    int64_t previous_ = -1; // milliseconds; -1 = no frame yet
    float remainder_ = 0;
    double history_[kHistorySize] = {}; // newest last
    int length_ = 0;
    double average_ = 0;
};

} // namespace glint

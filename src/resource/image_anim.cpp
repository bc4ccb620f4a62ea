#include "resource/image_anim.h"

#include "resource/texture.h"
#include "script/value.h"

#include <cmath>
#include <cstdlib>

namespace glint {

namespace {

// Playing times beyond this many ticks (about 350 years) are cut, so that
// frame numbers times ticks stay far inside 64 bits.
constexpr int64_t kMaxPlayingTicks = int64_t{1} << 40;

int64_t cycleLength(int frames, float fps, int32_t delay) {
    int64_t wait = std::llabs(static_cast<int64_t>(delay));
    if (!(fps > 0))
        return wait;
    double playing = frames * 100.0 / fps;
    return wait + (playing < static_cast<double>(kMaxPlayingTicks) ? roundToInteger(playing) : kMaxPlayingTicks);
}

// The clock's tick within a cycle (0 <= t < cycle), for any clock value.
int64_t tickInCycle(float time, int64_t cycle) {
    if (!std::isfinite(time))
        return 0;
    double t = std::fmod(std::round(static_cast<double>(time)), static_cast<double>(cycle));
    return t < 0 ? static_cast<int64_t>(t) + cycle : static_cast<int64_t>(t);
}

// Where in the cycle the sequence is at tick t (0 <= t < cycle): a
// positive delay holds frame 0 first, a negative one holds the last frame
// at the end. Without playing time (no fps) frame 0 stays.
int64_t sequenceFrame(int64_t t, int64_t cycle, int frames, int32_t delay) {
    if (delay > 0) {
        if (t < delay)
            return 0;
        return frames * (t - delay) / (cycle - delay);
    }
    int64_t playing = cycle + delay;
    if (playing <= 0)
        return 0;
    int64_t frame = frames * t / playing;
    return frame < frames - 1 ? frame : frames - 1;
}

} // namespace

int MImageAnim::frameAt(float time) const {
    int frames = frameCount();
    if (frames <= 1)
        return 0;
    int64_t cycle = cycleLength(frames, fps, delay);
    int64_t frame = 0;
    if (cycle >= 1) {
        frame = sequenceFrame(tickInCycle(time, cycle), cycle, frames, delay);
    }
    return static_cast<int>((frame + firstFrame) % frames);
}

FrameRect MImageAnim::frameRect(float time) const {
    if (!texture)
        return {};
    float x = texture->isSubTexture() ? texture->atlasX : 0;
    float y = texture->isSubTexture() ? texture->atlasY : 0;
    float width = texture->drawWidth(), height = texture->drawHeight();
    if (frameCount() <= 1)
        return {x, y, x + width, y + height};
    int frame = frameAt(time);
    float cellW = width / columns, cellH = height / rows;
    float left = x + static_cast<float>(frame % columns) * cellW;
    float top = y + static_cast<float>(frame / columns) * cellH;
    return {left, top, left + cellW, top + cellH};
}

} // namespace glint

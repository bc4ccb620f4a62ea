#include "engine/video/theora_video_clip.h"

#include <chrono>
#include <cmath>
#include <limits>

namespace glint {

namespace {

std::atomic<bool> framesAwaited{false};

// How long a headless run waits for a worker before it shows what there
// is: a clip whose frames nobody takes cannot make progress.
constexpr std::chrono::seconds kLongestWait{2};

} // namespace

void TheoraVideoClip::setFramesAwaited(bool awaited) { framesAwaited = awaited; }

TheoraVideoClip::TheoraVideoClip(std::unique_ptr<TheoraDataSource> source, int precachedFrames)
    : dataSource_(std::move(source)), name_(dataSource_->describe()), precachedFrames_(precachedFrames) {}

TheoraVideoClip::~TheoraVideoClip() = default;

void TheoraVideoClip::update(float seconds) {
    if (timer_.isPaused())
        return;
    float speed = timer_.getSpeed();
    float time = timer_.getTime(), next = time + seconds * speed;
    if (duration_ <= 0 || next < duration_) {
        timer_.update(seconds);
        return;
    }
    if (loops()) {
        awaitRestartedDecoder();
        if (restarted_) {
            // The clock goes round as many times as the step covers.
            double passes = std::floor(static_cast<double>(next) / duration_);
            double limit = std::numeric_limits<int32_t>::max() - static_cast<double>(clockPass_);
            clockPass_ += static_cast<int32_t>(std::min(passes, limit));
            timer_.seek(static_cast<float>(next - passes * duration_));
            return;
        }
    }
    if (time != duration_)
        timer_.seek(duration_);
}

// A looping clip's clock only goes round once decoding has, so that the
// next pass has frames; a headless run waits for that moment rather than
// letting the clock stand at the end for a tick or two.
// Frames that are over make room for the decoder to reach the end.
void TheoraVideoClip::awaitRestartedDecoder() {
    if (!framesAwaited || restarted_)
        return;
    std::unique_lock<std::mutex> lock(frameQueue_.mutex());
    frameQueue_.changed().wait_for(lock, kLongestWait, [this] {
        dropOutdatedLocked(clockNow());
        return restarted_ || endOfFile_;
    });
}

void TheoraVideoClip::dropOutdatedLocked(float now) {
    auto& frames = frameQueue_.frames();
    size_t ready = frameQueue_.readyCount();
    if (ready <= 1)
        return;
    size_t outdated = 0;
    while (outdated + 1 < ready && frames[outdated]->ready &&
           now > frames[outdated]->timeToDisplay + passStart(frames[outdated]->decodePass) + frameDuration_)
        ++outdated;
    if (outdated == 0)
        return;
    droppedFrames_ += static_cast<uint32_t>(outdated);
    frameQueue_.recycleFront(outdated);
    frameQueue_.notify();
}

// The frame due now is among the ready ones once one of them has not yet
// ended; or none will come.
bool TheoraVideoClip::dueFrameKnownLocked(float now) {
    if (endOfFile_)
        return true;
    for (const auto& frame : frameQueue_.frames()) {
        if (frame->ready && now <= frame->timeToDisplay + passStart(frame->decodePass) + frameDuration_)
            return true;
    }
    return false;
}

TheoraVideoFrame* TheoraVideoClip::nextFrame() {
    std::unique_lock<std::mutex> lock(frameQueue_.mutex());
    float now = clockNow();
    dropOutdatedLocked(now);
    if (framesAwaited) {
        auto deadline = std::chrono::steady_clock::now() + kLongestWait;
        while (!dueFrameKnownLocked(now) &&
               frameQueue_.changed().wait_until(lock, deadline) != std::cv_status::timeout)
            dropOutdatedLocked(now);
        dropOutdatedLocked(now);
    }
    auto& frames = frameQueue_.frames();
    if (frames.empty() || !frames.front()->ready)
        return nullptr;
    TheoraVideoFrame* front = frames.front().get();
    return front->timeToDisplay + passStart(front->decodePass) <= now ? front : nullptr;
}

// Done once decoding has ended and the last frame is due: no ready frame
// waits behind the first one.
bool TheoraVideoClip::isDone() {
    if (loops())
        return endOfFile_;
    std::unique_lock<std::mutex> lock(frameQueue_.mutex());
    if (framesAwaited)
        frameQueue_.changed().wait_for(lock, kLongestWait, [this] { return !mayBeLastLocked() || endOfFile_; });
    return endOfFile_ && mayBeLastLocked();
}

// No ready frame waits behind the first one, and that one is due (or
// there is none).
bool TheoraVideoClip::mayBeLastLocked() {
    auto& frames = frameQueue_.frames();
    if (frames.empty() || !frames.front()->ready)
        return true;
    if (frameQueue_.readyCount() > 1)
        return false;
    const TheoraVideoFrame& last = *frames.front();
    return last.timeToDisplay + passStart(last.decodePass) <= clockNow();
}

void TheoraVideoClip::restart() {
    endOfFile_ = true; // no worker starts a step meanwhile
    std::lock_guard<std::mutex> hold(threadAccessMutex_);
    restartDecoder();
    timer_.seek(0);
    resetQueue();
    endOfFile_ = false;
    restarted_ = false;
}

void TheoraVideoClip::resetQueue() {
    {
        std::lock_guard<std::mutex> hold(frameQueue_.mutex());
        frameQueue_.clearFlags();
    }
    decodePass_ = 0;
    clockPass_ = 0;
}

void TheoraVideoClip::setAutoRestart(bool autoRestart) {
    autoRestart_ = autoRestart;
    endOfFile_ = false;
}

bool TheoraVideoClip::allFramesReady() {
    std::lock_guard<std::mutex> hold(frameQueue_.mutex());
    return frameQueue_.readyCount() == frameQueue_.frames().size();
}

size_t TheoraVideoClip::readyFrames() {
    std::lock_guard<std::mutex> hold(frameQueue_.mutex());
    return frameQueue_.readyCount();
}

} // namespace glint

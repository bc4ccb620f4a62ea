// The decoded pictures of one clip, in display order. A frame is free,
// taken by the decoding thread (in use), or ready with a picture (ready and
// in use). The decoding thread writes a frame's pixels only while it holds
// it taken; the main thread reads them only once the queue handed it out
// ready. The flags and the order change only under the queue's mutex.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>

namespace glint {

class TheoraVideoFrame {
public:
    // Every byte of the buffer starts as 0xFF; pixels() is null when the
    // buffer could not be had.
    TheoraVideoFrame(uint32_t stride, uint32_t height);

    // 32-bit B, G, R, X pixels, stride x height.
    unsigned char* pixels() { return pixels_.get(); }
    const unsigned char* pixels() const { return pixels_.get(); }
    static constexpr uint32_t bytesPerPixel = 4;

    // When the frame is shown (within the clip's pass decodePass) and for
    // how long; the frame number counts from the start of the file.
    int64_t frameNumber = 0;
    float timeToDisplay = 0;
    int32_t decodePass = 0;
    // Tells one picture from the next held by the same frame.
    uint64_t serial = 0;
    bool ready = false;
    bool inUse = false;

private:
    std::unique_ptr<unsigned char[]> pixels_;
};

class TheoraFrameQueue {
public:
    // Drops the frames held and makes count new ones of stride x height;
    // a frame that gets no buffer ends the filling (logged). How many
    // frames there are.
    size_t fill(size_t count, uint32_t stride, uint32_t height);

    // The first free frame, now in use; null when all are taken.
    TheoraVideoFrame* takeEmptyFrame();
    // A frame taken by the decoder now holds its picture, or goes back
    // unused.
    void markReady(TheoraVideoFrame& frame);
    void release(TheoraVideoFrame& frame);
    // Wakes whoever waits for the decoder to make progress.
    void notify() { changed_.notify_all(); }

    // Everything below with mutex() held.
    std::mutex& mutex() { return mutex_; }
    std::condition_variable& changed() { return changed_; }
    std::deque<std::unique_ptr<TheoraVideoFrame>>& frames() { return frames_; }
    size_t readyCount() const;
    // Moves count frames from the front to the back, freed.
    void recycleFront(size_t count);
    // Frees every frame in place.
    void clearFlags();

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::unique_ptr<TheoraVideoFrame>> frames_;
};

} // namespace glint

// A clip of the threaded clip player: its clock, its queue of decoded
// frames and its playback state. Decoding belongs to the subclass and runs
// on the manager's worker threads, one step at a time under
// threadAccessMutex(); everything else is called on the main thread.
//
// A clip decodes ahead into a few frames. Each frame carries its start time
// within a pass over the file and the pass it belongs to, so that a looping
// clip can decode the next pass while the clock still shows the last one;
// the clock counts its own passes as it wraps.
#pragma once

#include "engine/video/theora_data_source.h"
#include "engine/video/theora_frame_queue.h"
#include "engine/video/theora_timer.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

namespace glint {

class TheoraWorkerThread;

// What stops a clip's stream headers from being read.
struct TheoraGenericException {
    std::string message;
    static const char* type() { return "TheoraGenericException"; }
};

class TheoraVideoClip {
public:
    TheoraVideoClip(std::unique_ptr<TheoraDataSource> source, int precachedFrames);
    virtual ~TheoraVideoClip();
    TheoraVideoClip(const TheoraVideoClip&) = delete;
    TheoraVideoClip& operator=(const TheoraVideoClip&) = delete;

    // Reads the headers and the length and makes the frames; throws
    // TheoraGenericException.
    virtual void load() = 0;
    // One frame into the queue; false when there is no free frame or the
    // data has ended. With threadAccessMutex() held.
    virtual bool decodeNextFrame() = 0;

    // The game tick: the clock moves on by seconds unless paused; at the
    // end it wraps (looping, once the decoder went round) or stops.
    void update(float seconds);
    // The frame due on the clock, or null. Frames whose time is over leave
    // the queue, but the last ready one always stays.
    TheoraVideoFrame* nextFrame();
    // The data has ended and the last frame has come.
    bool isDone();
    // Back to the first frame and to time 0.
    void restart();
    void resetQueue();
    void setAutoRestart(bool autoRestart);
    TheoraTimer& timer() { return timer_; }

    const std::string& name() const { return name_; }
    // Seconds of one pass; -1 when the file does not tell.
    float duration() const { return duration_; }
    float fps() const { return fps_; }
    uint32_t width() const { return width_; }
    uint32_t height() const { return height_; }
    uint32_t stride() const { return stride_; }
    // The visible picture; its y offset counts from the bottom of the frame.
    uint32_t pictureX() const { return pictureX_; }
    uint32_t pictureY() const { return pictureY_; }
    uint32_t pictureWidth() const { return pictureWidth_; }
    uint32_t pictureHeight() const { return pictureHeight_; }
    int32_t frameCount() const { return frameCount_; }
    uint32_t droppedFrames() const { return droppedFrames_; }
    float priority() const { return priority_; }
    bool allFramesReady();
    size_t readyFrames();

    std::mutex& threadAccessMutex() { return threadAccessMutex_; }
    // The worker decoding it right now; guarded by the manager's work mutex.
    TheoraWorkerThread* assignedWorker = nullptr;

    // Headless runs: the frame shown at a clock time is always the one due
    // then, however slowly the workers decode.
    static void setFramesAwaited(bool awaited);

protected:
    // Reads the next piece of the file into the stream; false at the end.
    virtual bool readData() = 0;
    // Decoding starts over at the beginning of the file.
    virtual void restartDecoder() = 0;

    // A clip whose length is unknown cannot go round: it plays once.
    bool loops() const { return autoRestart_ && duration_ > 0; }
    float passStart(int32_t pass) const { return duration_ > 0 ? pass * duration_ : 0; }
    // With the queue's mutex held.
    void dropOutdatedLocked(float now);
    bool dueFrameKnownLocked(float now);
    bool mayBeLastLocked();
    float clockNow() const { return timer_.getTime() + passStart(clockPass_); }
    void awaitRestartedDecoder();

    std::unique_ptr<TheoraDataSource> dataSource_;
    TheoraFrameQueue frameQueue_;
    TheoraTimer timer_;
    std::mutex threadAccessMutex_;
    std::string name_;
    int precachedFrames_;

    // Set by load before the clip is shared.
    float duration_ = -1;
    float fps_ = 1;
    float frameDuration_ = 1;
    float priority_ = 1;
    uint32_t width_ = 0, height_ = 0, stride_ = 0;
    uint32_t pictureX_ = 0, pictureY_ = 0, pictureWidth_ = 0, pictureHeight_ = 0;
    int32_t frameCount_ = -1;

    // Shared between the main thread and the decoding thread.
    std::atomic<bool> autoRestart_{false};
    std::atomic<bool> endOfFile_{false};
    std::atomic<bool> restarted_{false};
    std::atomic<int32_t> decodePass_{0};
    std::atomic<uint32_t> droppedFrames_{0};
    // Main thread only.
    int32_t clockPass_ = 0;
};

} // namespace glint

// The engine's video player: one Theora file decoded on a thread of its own
// into two frame buffers, while the main thread shows the frame whose time
// has come on the presentation clock.
//
// The decoding thread takes a free buffer, decodes the next frame into it
// and appends it to the ready frames; the main thread picks the newest
// ready frame that is due, drops older ones, uploads it and frees its
// buffer. A buffer belongs to whichever list holds its index, or to the
// one thread that took it out of both.
#pragma once

#include "engine/render/texture.h"
#include "engine/video/movie_player.h"
#include "engine/video/theora_stream.h"
#include "engine/video/video_frame.h"
#include "engine/video/video_source.h"

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace glint {

class KVideo : public KObjectBase, public KMoviePlayer {
public:
    KVideo() = default;
    ~KVideo() override;

    // Only ".ogv" and ".ogg" paths (any case) are opened. With preload the
    // file is read into memory first. False (logged, nothing open) when the
    // file or its Theora headers cannot be read.
    bool open(const char* path, bool preload, bool loop, bool stackedAlpha, bool colorAlpha);
    // Stops the decoding thread and frees everything; open does it first.
    void close();
    bool isOpen() const { return thread_.joinable(); }

    // KMoviePlayer
    void resume() override;
    void pause() override;
    void restart() override;
    void advanceClock(double seconds) override;
    void update(bool upload) override;
    bool frame(KMovieFrame& frame) const override;
    bool isDone() const override;
    double duration() const override { return duration_; }

    bool isPaused() const;
    // The Theora frame number of the frame last uploaded, -1 before one.
    int64_t currentFrame() const;
    const KVideoFrameLayout& layout() const { return layout_; }

    // Headless runs: the main thread waits for the decoder, so that the
    // frame shown at a clock time is always the frame due then.
    static void setFramesAwaited(bool awaited);

private:
    struct FrameBuffer {
        std::vector<uint32_t> pixels;
        double baseTime = 0; // start time within its pass
        int32_t pass = 0;
        int64_t frame = 0;
    };

    bool start(const char* path, bool preload);
    void decodeLoop();
    bool decodeInto(FrameBuffer& buffer);
    void rewindLocked();
    double presentationTime(int index) const;
    double clockNow() const { return playing_ ? clock_ : 0; }
    void dropLateFramesLocked();
    bool dueFrameKnownLocked();
    void freeFrameLocked(int index);

    KVideoSource source_;
    KVideoFrameLayout layout_;
    bool loop_ = false;
    double duration_ = 0;

    // The decoding thread's alone once it runs.
    std::unique_ptr<KTheoraStream> stream_;
    int32_t loopCount_ = 0;
    bool decodedThisPass_ = false;

    // Guarded by videoLock_.
    mutable std::mutex videoLock_;
    std::condition_variable changed_; // lists, flags or the clock moved
    FrameBuffer frames_[2];
    std::deque<int> freeFrames_, readyFrames_;
    double clock_ = 0;
    bool playing_ = false, paused_ = false, restartRequested_ = false, finished_ = false, done_ = false;
    bool stop_ = false;
    int64_t currentFrame_ = -1;

    // Main thread only.
    std::unique_ptr<KTexture> texture_;
    bool hasFrame_ = false;

    std::thread thread_;
};

} // namespace glint

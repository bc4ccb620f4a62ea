// The threaded clip player: every clip of the game decoded ahead by a fixed
// pool of two worker threads, which share the work out by how few frames
// each clip has queued and how much decoding each had lately.
//
// The work mutex guards the clip list, the work log and the clips' busy
// marks; a clip's decoding state is guarded by its own threadAccessMutex,
// held by a worker for one decoding step.
#pragma once

#include "engine/video/theora_video_clip.h"

#include <atomic>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace glint {

class TheoraVideoManager;

class TheoraThread {
public:
    virtual ~TheoraThread() = default;
    bool isRunning() const { return running_; }

protected:
    void start(std::function<void()> body);
    // Clears the running flag and waits for the thread to end.
    void join();

private:
    std::atomic<bool> running_{false};
    std::thread thread_;
};

class TheoraWorkerThread : public TheoraThread {
public:
    explicit TheoraWorkerThread(TheoraVideoManager& manager);
    ~TheoraWorkerThread() override { join(); }

private:
    void run();
    TheoraVideoManager& manager_;
};

class TheoraVideoManager {
public:
    // Starts the workers and logs the banner; the one manager of the
    // process from now on.
    TheoraVideoManager();
    // Stops the workers, then deletes the clips left.
    ~TheoraVideoManager();
    TheoraVideoManager(const TheoraVideoManager&) = delete;
    TheoraVideoManager& operator=(const TheoraVideoManager&) = delete;

    // The manager while one exists, else null.
    static TheoraVideoManager* current();

    // A clip over the source, its first frame decoded; null (logged) when
    // its headers cannot be read.
    TheoraVideoClip* createClip(std::unique_ptr<TheoraDataSource> source);
    // Waits for a worker decoding it, then deletes it.
    void destroyClip(TheoraVideoClip* clip);
    // The game tick: every clip's clock moves on by 0.01 s.
    void updateClips();

    // The workers' side: the clip to decode next, marked busy, or null;
    // and the end of its step.
    TheoraVideoClip* pickClipForWorker(TheoraWorkerThread* worker);
    void finishStep(TheoraVideoClip* clip);

    size_t clipCount();
    // How many of the last scheduling decisions chose clip.
    size_t workLogEntries(const TheoraVideoClip* clip);

    static constexpr int kPrecachedFrames = 4;
    static constexpr int kWorkerThreads = 2;

private:
    std::mutex workMutex_;
    std::vector<std::unique_ptr<TheoraVideoClip>> clips_;
    std::deque<const TheoraVideoClip*> workLog_; // newest first
    std::vector<std::unique_ptr<TheoraWorkerThread>> workers_;
};

} // namespace glint

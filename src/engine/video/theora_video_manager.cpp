#include "engine/video/theora_video_manager.h"

#include "engine/system/thread.h"
#include "engine/video/theora_clip_decoder.h"
#include "engine/video/theora_log.h"

#include <algorithm>
#include <chrono>

namespace glint {

namespace {

std::atomic<TheoraVideoManager*> currentManager{nullptr};

// The work log keeps this many decisions for each clip but one.
constexpr size_t kWorkLogPerClip = 50;

void sleepOneMillisecond() { std::this_thread::sleep_for(std::chrono::milliseconds(1)); }

struct Candidate {
    TheoraVideoClip* clip;
    float queuedTime, workTime, priority, entitled;
};

} // namespace

void TheoraThread::start(std::function<void()> body) {
    running_ = true;
    thread_ = startThread(std::move(body));
}

void TheoraThread::join() {
    running_ = false;
    if (thread_.joinable())
        thread_.join();
}

TheoraWorkerThread::TheoraWorkerThread(TheoraVideoManager& manager) : manager_(manager) {
    start([this] { run(); });
}

void TheoraWorkerThread::run() {
    while (isRunning()) {
        TheoraVideoClip* clip = manager_.pickClipForWorker(this);
        if (!clip) {
            sleepOneMillisecond();
            continue;
        }
        bool decoded;
        {
            std::lock_guard<std::mutex> hold(clip->threadAccessMutex());
            decoded = clip->decodeNextFrame();
        }
        manager_.finishStep(clip);
        if (!decoded)
            sleepOneMillisecond();
    }
}

TheoraVideoManager* TheoraVideoManager::current() { return currentManager; }

TheoraVideoManager::TheoraVideoManager() {
    currentManager = this;
    theoraLog("Initializing Theora Playback Library (1.1)\n"
              "  - libtheora version: Xiph.Org libtheora 1.2.0alpha 20100924 (Ptalarbvorm)\n"
              "  - libvorbis version: Xiph.Org libVorbis 1.3.4\n"
              "------------------------------------");
    for (int i = 0; i < kWorkerThreads; ++i)
        workers_.push_back(std::make_unique<TheoraWorkerThread>(*this));
}

TheoraVideoManager::~TheoraVideoManager() {
    workers_.clear();
    clips_.clear();
    workLog_.clear();
    TheoraVideoManager* self = this;
    currentManager.compare_exchange_strong(self, nullptr);
}

TheoraVideoClip* TheoraVideoManager::createClip(std::unique_ptr<TheoraDataSource> source) {
    std::lock_guard<std::mutex> hold(workMutex_);
    theoraLog("Creating video from data source: " + source->describe() + " [" + std::to_string(kPrecachedFrames) +
              " precached frames].");
    auto clip = std::make_unique<TheoraVideoClip_Theora>(std::move(source), kPrecachedFrames);
    try {
        clip->load();
    } catch (const TheoraGenericException& error) {
        theoraLog(std::string(TheoraGenericException::type()) + ": " + error.message);
        return nullptr;
    }
    {
        std::lock_guard<std::mutex> decoding(clip->threadAccessMutex());
        clip->decodeNextFrame();
    }
    clips_.push_back(std::move(clip));
    return clips_.back().get();
}

void TheoraVideoManager::destroyClip(TheoraVideoClip* clip) {
    theoraLog("Destroying video clip: " + clip->name());
    bool waited = false;
    for (;;) {
        std::unique_lock<std::mutex> lock(workMutex_);
        if (!clip->assignedWorker) {
            if (waited)
                theoraLog(" - WorkerThread done, destroying...");
            workLog_.erase(std::remove(workLog_.begin(), workLog_.end(), clip), workLog_.end());
            auto owned = std::find_if(clips_.begin(), clips_.end(), [clip](const auto& c) { return c.get() == clip; });
            if (owned != clips_.end())
                clips_.erase(owned);
            return;
        }
        if (!waited)
            theoraLog(" - Waiting for WorkerThread to finish decoding in order to destroy");
        waited = true;
        lock.unlock();
        sleepOneMillisecond();
    }
}

// The clocks are the main thread's; the workers only read them.
void TheoraVideoManager::updateClips() {
    std::vector<TheoraVideoClip*> clips;
    {
        std::lock_guard<std::mutex> hold(workMutex_);
        for (auto& clip : clips_)
            clips.push_back(clip.get());
    }
    for (TheoraVideoClip* clip : clips)
        clip->update(0.01f);
}

TheoraVideoClip* TheoraVideoManager::pickClipForWorker(TheoraWorkerThread* worker) {
    std::lock_guard<std::mutex> hold(workMutex_);
    std::vector<Candidate> candidates;
    // Running clips first; paused ones only when no running one needs work.
    for (int pass = 0; pass < 2 && candidates.empty(); ++pass) {
        for (auto& owned : clips_) {
            TheoraVideoClip* clip = owned.get();
            if (clip->assignedWorker || (pass == 0 && clip->timer().isPaused()) || clip->allFramesReady())
                continue;
            float ready = static_cast<float>(clip->readyFrames());
            float workTime = static_cast<float>(std::count(workLog_.begin(), workLog_.end(), clip));
            candidates.push_back({clip, ready / (clip->fps() * clip->timer().getSpeed()), workTime,
                                  clip->priority(), 0});
        }
    }
    if (candidates.empty())
        return nullptr;
    float workSum = 0, longestQueue = 0, prioritySum = 0;
    for (const Candidate& c : candidates) {
        workSum += c.workTime;
        longestQueue = std::max(longestQueue, c.queuedTime);
    }
    if (workSum == 0)
        workSum = 1;
    if (longestQueue == 0)
        longestQueue = 1;
    for (Candidate& c : candidates) {
        c.workTime /= workSum;
        c.priority *= 1 - (c.queuedTime / longestQueue) * 0.5f;
        prioritySum += c.priority;
    }
    Candidate* chosen = nullptr;
    float best = -1;
    for (Candidate& c : candidates) {
        c.entitled = prioritySum > 0 ? c.priority / prioritySum : 0;
        if (c.entitled - c.workTime > best) {
            best = c.entitled - c.workTime;
            chosen = &c;
        }
    }
    if (!chosen)
        return nullptr;
    chosen->clip->assignedWorker = worker;
    if (clips_.size() > 1) {
        workLog_.push_front(chosen->clip);
        while (workLog_.size() > (clips_.size() - 1) * kWorkLogPerClip)
            workLog_.pop_back();
    }
    return chosen->clip;
}

void TheoraVideoManager::finishStep(TheoraVideoClip* clip) {
    std::lock_guard<std::mutex> hold(workMutex_);
    clip->assignedWorker = nullptr;
}

size_t TheoraVideoManager::clipCount() {
    std::lock_guard<std::mutex> hold(workMutex_);
    return clips_.size();
}

size_t TheoraVideoManager::workLogEntries(const TheoraVideoClip* clip) {
    std::lock_guard<std::mutex> hold(workMutex_);
    return static_cast<size_t>(std::count(workLog_.begin(), workLog_.end(), clip));
}

} // namespace glint

#include "engine/video/video.h"

#include "engine/system/log.h"
#include "engine/system/thread.h"

#include <atomic>
#include <cctype>
#include <cstring>
#include <system_error>

namespace glint {

namespace {

std::atomic<bool> framesAwaited{false};

bool endsWithIgnoringCase(const char* text, const char* suffix) {
    size_t length = std::strlen(text), suffixLength = std::strlen(suffix);
    if (length < suffixLength)
        return false;
    for (size_t i = 0; i < suffixLength; ++i) {
        if (std::tolower(static_cast<unsigned char>(text[length - suffixLength + i])) != suffix[i])
            return false;
    }
    return true;
}

bool hasVideoExtension(const char* path) {
    return endsWithIgnoringCase(path, ".ogv") || endsWithIgnoringCase(path, ".ogg");
}

void logUnshowable(const char* path, const th_info& info) {
    logMessage("KVideo: %s: picture %ux%u in a frame of %ux%u at %u/%u frames per second cannot be shown, ERROR",
               path, info.pic_width, info.pic_height, info.frame_width, info.frame_height, info.fps_numerator,
               info.fps_denominator);
}

} // namespace

void KVideo::setFramesAwaited(bool awaited) { framesAwaited = awaited; }

KVideo::~KVideo() { close(); }

bool KVideo::open(const char* path, bool preload, bool loop, bool stackedAlpha, bool colorAlpha) {
    close();
    if (!path || !hasVideoExtension(path)) {
        logMessage("KVideo: %s: not an .ogv or .ogg file, ERROR", path ? path : "");
        return false;
    }
    loop_ = loop;
    if (!start(path, preload)) {
        close();
        return false;
    }
    layout_ = videoFrameLayout(stream_->info(), stackedAlpha, colorAlpha);
    if (layout_.width == 0 || layout_.height == 0) {
        logUnshowable(path, stream_->info());
        close();
        return false;
    }
    duration_ = stream_->scanDuration();
    for (FrameBuffer& buffer : frames_)
        buffer.pixels.assign(static_cast<size_t>(layout_.width) * layout_.height, 0);
    texture_ = std::make_unique<KTexture>();
    texture_->filter = GL_LINEAR;
    texture_->info = KImageInfo{layout_.width, layout_.height, static_cast<uint8_t>(layout_.hasAlpha()), 1};
    freeFrames_ = {0, 1};
    readyFrames_.clear();
    try {
        thread_ = startThread([this] { decodeLoop(); });
    } catch (const std::system_error&) {
        logMessage("KVideo: %s: cannot start the decoding thread, ERROR", path);
        close();
        return false;
    }
    return true;
}

// The file and its Theora headers, with the warnings about what the
// conversion does not know.
bool KVideo::start(const char* path, bool preload) {
    if (!source_.open(path, preload)) {
        logMessage("KVideo: %s: cannot open file, ERROR", path);
        return false;
    }
    stream_ = std::make_unique<KTheoraStream>(source_);
    switch (stream_->readHeaders()) {
    case KTheoraHeaders::Ok: break;
    case KTheoraHeaders::NoVideo: logMessage("KVideo: %s: no video stream found, WARNING", path); return false;
    case KTheoraHeaders::Corrupt:
        logMessage("KVideo: %s: error parsing Theora stream headers; corrupt stream?", path);
        return false;
    case KTheoraHeaders::EndOfFile:
        logMessage("KVideo: %s: end of file while searching for codec headers, ERROR", path);
        return false;
    case KTheoraHeaders::Unsupported: logUnshowable(path, stream_->info()); return false;
    }
    const th_info& info = stream_->info();
    if (info.pixel_fmt != TH_PF_420 && info.pixel_fmt != TH_PF_422 && info.pixel_fmt != TH_PF_444)
        logMessage("KVideo: %s: chroma sampling unknown, WARNING", path);
    bool cropped = info.pic_width != info.frame_width || info.pic_height != info.frame_height;
    if (cropped && info.colorspace > 2)
        logMessage("KVideo: %s: encoder specified unknown colorspace (%d), WARNING", path,
                   static_cast<int>(info.colorspace));
    return true;
}

void KVideo::close() {
    if (thread_.joinable()) {
        {
            std::lock_guard<std::mutex> hold(videoLock_);
            stop_ = true;
        }
        changed_.notify_all();
        thread_.join();
    }
    stream_.reset();
    source_.close();
    texture_.reset();
    for (FrameBuffer& buffer : frames_)
        buffer = FrameBuffer{};
    freeFrames_.clear();
    readyFrames_.clear();
    clock_ = duration_ = 0;
    loopCount_ = 0;
    decodedThisPass_ = false;
    playing_ = paused_ = restartRequested_ = finished_ = done_ = stop_ = false;
    currentFrame_ = -1;
    hasFrame_ = false;
}

void KVideo::decodeLoop() {
    std::unique_lock<std::mutex> lock(videoLock_);
    for (;;) {
        changed_.wait(lock, [this] { return stop_ || restartRequested_ || (!finished_ && !freeFrames_.empty()); });
        if (stop_)
            return;
        if (restartRequested_) {
            restartRequested_ = false;
            rewindLocked();
            changed_.notify_all();
            continue;
        }
        int index = freeFrames_.front();
        freeFrames_.pop_front();
        lock.unlock();
        bool decoded = decodeInto(frames_[index]);
        lock.lock();
        if (decoded) {
            readyFrames_.push_back(index);
        } else {
            freeFrames_.push_front(index);
            finished_ = true;
        }
        changed_.notify_all();
    }
}

// The next frame into buffer, going round again at the end of a looping
// video; false at the end of one that does not loop. A pass without a
// single frame ends a loop too, which would otherwise spin for ever.
bool KVideo::decodeInto(FrameBuffer& buffer) {
    KTheoraPicture picture;
    for (;;) {
        if (stream_->decodeFrame(picture)) {
            decodedThisPass_ = true;
            convertVideoPicture(stream_->info(), picture.planes, layout_, buffer.pixels.data());
            buffer.baseTime = picture.startTime;
            buffer.frame = picture.frame;
            buffer.pass = loopCount_;
            return true;
        }
        if (!loop_ || !decodedThisPass_)
            return false;
        stream_->rewind();
        decodedThisPass_ = false;
        ++loopCount_;
    }
}

// Buffers out of both lists are in the main thread's hands (being
// uploaded) and come back by themselves.
void KVideo::rewindLocked() {
    stream_->rewind();
    loopCount_ = 0;
    decodedThisPass_ = false;
    finished_ = done_ = false;
    clock_ = 0;
    while (!readyFrames_.empty()) {
        freeFrames_.push_back(readyFrames_.front());
        readyFrames_.pop_front();
    }
}

double KVideo::presentationTime(int index) const { return frames_[index].pass * duration_ + frames_[index].baseTime; }

void KVideo::freeFrameLocked(int index) {
    freeFrames_.push_back(index);
    changed_.notify_all();
}

// Late frames make way for the newest one that is due.
void KVideo::dropLateFramesLocked() {
    while (readyFrames_.size() > 1 && presentationTime(readyFrames_[1]) < clockNow()) {
        freeFrameLocked(readyFrames_.front());
        readyFrames_.pop_front();
    }
}

// Whether the frame due now is among the ready ones (or there will be no
// later one): a ready frame not yet due, or the end of the video.
bool KVideo::dueFrameKnownLocked() {
    if (stop_)
        return true;
    if (restartRequested_)
        return false;
    dropLateFramesLocked();
    return finished_ || (!readyFrames_.empty() && presentationTime(readyFrames_.back()) >= clockNow());
}

void KVideo::update(bool upload) {
    if (!isOpen())
        return;
    std::unique_lock<std::mutex> lock(videoLock_);
    if (framesAwaited)
        changed_.wait(lock, [this] { return dueFrameKnownLocked(); });
    if (restartRequested_)
        return;
    if (readyFrames_.empty()) {
        if (finished_)
            done_ = true;
        return;
    }
    dropLateFramesLocked();
    int index = readyFrames_.front();
    if (!upload || !(presentationTime(index) < clockNow()))
        return;
    readyFrames_.pop_front();
    currentFrame_ = frames_[index].frame;
    lock.unlock();
    const FrameBuffer& shown = frames_[index];
    texture_->createFromPixels(shown.pixels.data(), layout_.width, layout_.height, layout_.textureSize,
                               layout_.textureSize, layout_.hasAlpha());
    hasFrame_ = true;
    lock.lock();
    freeFrameLocked(index);
}

void KVideo::resume() {
    std::lock_guard<std::mutex> hold(videoLock_);
    paused_ = false;
    playing_ = true;
}

void KVideo::pause() {
    std::lock_guard<std::mutex> hold(videoLock_);
    paused_ = true;
}

void KVideo::restart() {
    {
        std::lock_guard<std::mutex> hold(videoLock_);
        restartRequested_ = true;
    }
    changed_.notify_all();
}

void KVideo::advanceClock(double seconds) {
    std::lock_guard<std::mutex> hold(videoLock_);
    clock_ += seconds;
}

bool KVideo::frame(KMovieFrame& frame) const {
    if (!hasFrame_)
        return false;
    frame = {texture_.get(), 0, 0, static_cast<float>(layout_.width), static_cast<float>(layout_.height)};
    return true;
}

bool KVideo::isDone() const {
    std::lock_guard<std::mutex> hold(videoLock_);
    return done_;
}

bool KVideo::isPaused() const {
    std::lock_guard<std::mutex> hold(videoLock_);
    return paused_;
}

int64_t KVideo::currentFrame() const {
    std::lock_guard<std::mutex> hold(videoLock_);
    return currentFrame_;
}

} // namespace glint

#include "engine/video/theora_frame_queue.h"

#include "engine/video/theora_log.h"

#include <cstring>
#include <new>
#include <string>

namespace glint {

TheoraVideoFrame::TheoraVideoFrame(uint32_t stride, uint32_t height) {
    size_t bytes = size_t{bytesPerPixel} * stride * height;
    pixels_.reset(new (std::nothrow) unsigned char[bytes]);
    if (pixels_)
        std::memset(pixels_.get(), 0xFF, bytes);
}

size_t TheoraFrameQueue::fill(size_t count, uint32_t stride, uint32_t height) {
    std::lock_guard<std::mutex> hold(mutex_);
    frames_.clear();
    while (frames_.size() < count) {
        auto frame = std::make_unique<TheoraVideoFrame>(stride, height);
        if (!frame->pixels()) {
            theoraLog("TheoraFrameQueue: unable to create " + std::to_string(count) +
                      " frames, out of memory. Created " + std::to_string(frames_.size()) + " frames.");
            break;
        }
        frames_.push_back(std::move(frame));
    }
    return frames_.size();
}

TheoraVideoFrame* TheoraFrameQueue::takeEmptyFrame() {
    std::lock_guard<std::mutex> hold(mutex_);
    for (auto& frame : frames_) {
        if (!frame->inUse) {
            frame->inUse = true;
            frame->ready = false;
            return frame.get();
        }
    }
    return nullptr;
}

void TheoraFrameQueue::markReady(TheoraVideoFrame& frame) {
    {
        std::lock_guard<std::mutex> hold(mutex_);
        frame.ready = true;
    }
    changed_.notify_all();
}

void TheoraFrameQueue::release(TheoraVideoFrame& frame) {
    std::lock_guard<std::mutex> hold(mutex_);
    frame.inUse = false;
    frame.ready = false;
}

size_t TheoraFrameQueue::readyCount() const {
    size_t count = 0;
    for (const auto& frame : frames_)
        count += frame->ready ? 1 : 0;
    return count;
}

void TheoraFrameQueue::recycleFront(size_t count) {
    for (; count > 0 && !frames_.empty(); --count) {
        std::unique_ptr<TheoraVideoFrame> frame = std::move(frames_.front());
        frames_.pop_front();
        frame->ready = frame->inUse = false;
        frames_.push_back(std::move(frame));
    }
}

void TheoraFrameQueue::clearFlags() {
    for (auto& frame : frames_)
        frame->ready = frame->inUse = false;
}

} // namespace glint

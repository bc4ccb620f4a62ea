#include "engine/video/clip_player.h"

#include <cstring>

namespace glint {

std::unique_ptr<KClipPlayer> KClipPlayer::open(TheoraVideoManager& manager, std::vector<unsigned char> file,
                                               bool stackedAlpha, bool colorAlpha) {
    TheoraVideoClip* clip = manager.createClip(std::make_unique<TheoraMemoryFileDataSource>(std::move(file)));
    if (!clip)
        return nullptr;
    return std::unique_ptr<KClipPlayer>(new KClipPlayer(manager, clip, stackedAlpha, colorAlpha));
}

KClipPlayer::KClipPlayer(TheoraVideoManager& manager, TheoraVideoClip* clip, bool stackedAlpha, bool colorAlpha)
    : manager_(manager), clip_(clip), stackedAlpha_(stackedAlpha), colorAlpha_(colorAlpha),
      texture_(std::make_unique<KTexture>()) {
    texture_->filter = GL_LINEAR;
    clip_->timer().pause();
}

KClipPlayer::~KClipPlayer() {
    clip_->timer().pause();
    manager_.destroyClip(clip_);
}

void KClipPlayer::resume() {
    started_ = true;
    clip_->timer().play();
}

void KClipPlayer::pause() { clip_->timer().pause(); }

void KClipPlayer::restart() { clip_->restart(); }

// Asking for the frame lets the clip drop the frames whose time is over,
// which frees them for the decoder; the picture only matters when drawn.
void KClipPlayer::update(bool upload) {
    if (!started_)
        return;
    const TheoraVideoFrame* frame = clip_->nextFrame();
    if (upload && frame && frame->serial != shownSerial_)
        show(*frame);
}

void KClipPlayer::show(const TheoraVideoFrame& frame) {
    const uint32_t* pixels = reinterpret_cast<const uint32_t*>(frame.pixels());
    if (stackedAlpha_ || colorAlpha_)
        pixels = withAlpha(frame);
    texture_->createFromPixels(pixels, clip_->stride(), clip_->height(), 0, 0, stackedAlpha_ || colorAlpha_);
    shownSerial_ = frame.serial;
    currentFrame_ = frame.frameNumber;
    hasFrame_ = true;
}

// Stacked alpha: each row of the picture's upper half takes its alpha from
// the blue of the row half the picture further down. Colour alpha: each
// pixel's own blue.
const uint32_t* KClipPlayer::withAlpha(const TheoraVideoFrame& frame) {
    size_t count = static_cast<size_t>(clip_->stride()) * clip_->height();
    alphaPixels_.resize(count);
    std::memcpy(alphaPixels_.data(), frame.pixels(), count * 4);
    uint32_t stride = clip_->stride();
    if (stackedAlpha_) {
        uint32_t top = pictureTop(), half = clip_->pictureHeight() / 2;
        for (uint32_t y = top; y < top + half; ++y) {
            uint32_t* row = alphaPixels_.data() + static_cast<size_t>(y) * stride;
            const uint32_t* below = row + static_cast<size_t>(half) * stride;
            for (uint32_t x = 0; x < stride; ++x)
                row[x] = (row[x] & 0xFFFFFFu) | (below[x] & 0xFFu) << 24;
        }
    }
    if (colorAlpha_) {
        for (uint32_t& pixel : alphaPixels_)
            pixel = (pixel & 0xFFFFFFu) * 0x01000001u;
    }
    return alphaPixels_.data();
}

uint32_t KClipPlayer::pictureTop() const {
    return clip_->height() - clip_->pictureY() - clip_->pictureHeight();
}

uint32_t KClipPlayer::pictureRows() const {
    return stackedAlpha_ ? clip_->pictureHeight() / 2 : clip_->pictureHeight();
}

bool KClipPlayer::frame(KMovieFrame& frame) const {
    if (!hasFrame_)
        return false;
    float x = static_cast<float>(clip_->pictureX()), y = static_cast<float>(pictureTop());
    frame = {texture_.get(), x, y, x + static_cast<float>(clip_->pictureWidth()),
             y + static_cast<float>(pictureRows())};
    return true;
}

} // namespace glint

// A scene movie played by the threaded clip player: one clip of the
// manager, shown through the same calls as the engine's own player.
//
// The manager moves the clip's clock every game tick while the clip is not
// paused, so advanceClock has nothing to do. Frames carry the whole decoded
// frame; the picture is picked out of it when drawn, and the alpha of a
// movie that has some is made here from the picture's blue.
#pragma once

#include "engine/render/texture.h"
#include "engine/video/movie_player.h"
#include "engine/video/theora_video_manager.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace glint {

class KClipPlayer : public KObjectBase, public KMoviePlayer {
public:
    // A player over a copy of a whole video file; null (logged by the
    // manager) when the clip cannot be read.
    static std::unique_ptr<KClipPlayer> open(TheoraVideoManager& manager, std::vector<unsigned char> file,
                                             bool stackedAlpha, bool colorAlpha);
    ~KClipPlayer() override;

    // KMoviePlayer
    void resume() override;
    void pause() override;
    void restart() override;
    void advanceClock(double) override {}
    void update(bool upload) override;
    bool frame(KMovieFrame& frame) const override;
    bool isDone() const override { return clip_->isDone(); }
    double duration() const override { return clip_->duration() > 0 ? clip_->duration() : 0; }

    // A looping clip goes round at its end.
    void setAutoRestart(bool loop) { clip_->setAutoRestart(loop); }
    // The Theora frame number of the frame last uploaded, -1 before one.
    int64_t currentFrame() const { return currentFrame_; }
    TheoraVideoClip& clip() const { return *clip_; }

private:
    KClipPlayer(TheoraVideoManager& manager, TheoraVideoClip* clip, bool stackedAlpha, bool colorAlpha);
    void show(const TheoraVideoFrame& frame);
    const uint32_t* withAlpha(const TheoraVideoFrame& frame);
    // The picture's first row from the top of the frame, and its rows.
    uint32_t pictureTop() const;
    uint32_t pictureRows() const;

    TheoraVideoManager& manager_;
    TheoraVideoClip* clip_;
    bool stackedAlpha_, colorAlpha_;
    // Nothing is shown before playback first starts, as with the engine's
    // player, although the paused clip already has its first frame.
    bool started_ = false;
    std::unique_ptr<KTexture> texture_;
    std::vector<uint32_t> alphaPixels_;
    uint64_t shownSerial_ = 0;
    int64_t currentFrame_ = -1;
    bool hasFrame_ = false;
};

} // namespace glint

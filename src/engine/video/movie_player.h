// What a scene movie asks of the player that decodes it. The engine's own
// player (KVideo) is one; a player that decodes many clips on shared
// threads can stand behind the same calls.
#pragma once

namespace glint {

class KTexture;

// The frame on screen: a texture and the picture's rectangle in it, in
// texels.
struct KMovieFrame {
    KTexture* texture = nullptr;
    float x0 = 0, y0 = 0, x1 = 0, y1 = 0;
};

class KMoviePlayer {
public:
    virtual ~KMoviePlayer() = default;

    // Playback runs on from where it stopped; pausing holds the picture.
    virtual void resume() = 0;
    virtual void pause() = 0;
    // Back to the first frame.
    virtual void restart() = 0;
    // The presentation clock, advanced by the owner while the movie plays
    // (0.01 s per game tick).
    virtual void advanceClock(double seconds) = 0;
    // Picks the frame whose time has come; with upload it goes into the
    // frame texture. Called every game tick without upload and before
    // drawing with it.
    virtual void update(bool upload) = 0;
    // The frame last uploaded; false before the first one.
    virtual bool frame(KMovieFrame& frame) const = 0;
    // The end of a movie that does not loop, once its last frame is shown.
    virtual bool isDone() const = 0;
    // Seconds of one pass.
    virtual double duration() const = 0;
};

} // namespace glint

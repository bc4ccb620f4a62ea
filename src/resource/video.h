// A movie of a scene element: one open video file while it is held. The
// file name carries the playback options: "_loop_" (or "_loop." before
// the extension) plays it round and round, "_va_" puts an alpha picture
// below the colour picture, "_ga_" takes alpha from the colour itself.
#pragma once

#include "engine/video/movie_player.h"
#include "resource/resource.h"

#include <memory>

namespace glint {

class MVideo : public MResource {
public:
    explicit MVideo(const char* path);
    ~MVideo() override;

    void discard() override;
    // Opens the file, with the threaded clip player when the game chose it
    // (its manager exists), else with the engine's own player; a file that
    // cannot be played leaves the video without a player, which shows
    // nothing. A looping video plays at once, any
    // other waits for its element.
    void load() override;
    void unload() override;

    bool hasPlayer() const { return player_ != nullptr; }

    // What the movie element does with it each tick and when drawn.
    void advanceClock(double seconds);
    // Playback from where it stopped, with the movie's sound.
    void start();
    // Holds the picture and the sound.
    void stop();
    bool started() const { return playing_; }
    // Lets the player pick the frame due; with upload the frame goes into
    // its texture.
    void present(bool upload);
    bool frame(KMovieFrame& frame) const;
    void restart();
    // Started and not at the end.
    bool isPlaying() const;
    // Seconds of one pass; 0 without a player.
    double length() const;

    // Focus loss and return: the player holds, then a started one runs on.
    void pause();
    void resume();

    bool loop = false;
    bool stackedAlpha = false;
    bool colorAlpha = false;

private:
    std::unique_ptr<KMoviePlayer> openPlayer() const;
    // Pauses or resumes the player. Movies are silent: both players drop
    // the Vorbis streams of their files.
    void hold(bool held);

    std::unique_ptr<KMoviePlayer> player_;
    bool playing_ = false;
};

// BuildVideoPlaybackPreload: videos are read into memory whole before they
// play (the default), else read piece by piece while they play.
void setVideoPlaybackPreload(bool preload);

} // namespace glint

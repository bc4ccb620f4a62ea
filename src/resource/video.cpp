#include "resource/video.h"

#include "engine/video/clip_player.h"
#include "engine/video/video.h"
#include "resource/text_file.h"

#include <string_view>

namespace glint {

namespace {

bool preloadVideos = true;

// "_name_" anywhere in the file name, or "_name." before an extension.
bool hasTag(std::string_view file, std::string_view name) {
    for (char end : {'_', '.'}) {
        std::string tag = "_" + std::string(name) + end;
        if (file.find(tag) != std::string_view::npos)
            return true;
    }
    return false;
}

} // namespace

void setVideoPlaybackPreload(bool preload) { preloadVideos = preload; }

MVideo::MVideo(const char* path) : MResource(ResourceKind::Video, path) {
    std::string_view file = path ? path : "";
    file = file.substr(file.rfind('/') + 1);
    loop = hasTag(file, "loop");
    stackedAlpha = hasTag(file, "va");
    colorAlpha = hasTag(file, "ga");
}

MVideo::~MVideo() = default;

void MVideo::discard() {
    player_.reset();
    playing_ = false;
}

// The clip player, when the game chose it, takes the whole file at once.
std::unique_ptr<KMoviePlayer> MVideo::openPlayer() const {
    if (TheoraVideoManager* clips = TheoraVideoManager::current()) {
        MTextFile file;
        if (!file.loadBinary(path))
            return nullptr;
        const auto* bytes = reinterpret_cast<const unsigned char*>(file.data());
        std::unique_ptr<KClipPlayer> clip =
            KClipPlayer::open(*clips, std::vector<unsigned char>(bytes, bytes + file.size()), stackedAlpha, colorAlpha);
        if (clip)
            clip->setAutoRestart(loop);
        return clip;
    }
    auto video = std::make_unique<KVideo>();
    if (!video->open(path, preloadVideos, loop, stackedAlpha, colorAlpha))
        return nullptr;
    return video;
}

void MVideo::load() {
    discard();
    player_ = openPlayer();
    if (!player_)
        return;
    // A looping video plays from the start; its element pauses it when it
    // does not want it.
    if (loop)
        start();
    else
        hold(true);
}

void MVideo::unload() { discard(); }

void MVideo::advanceClock(double seconds) {
    if (player_)
        player_->advanceClock(seconds);
}

void MVideo::start() {
    if (!player_)
        return;
    hold(false);
    playing_ = true;
}

void MVideo::stop() {
    if (!player_)
        return;
    hold(true);
    playing_ = false;
}

void MVideo::present(bool upload) {
    if (player_)
        player_->update(upload);
}

bool MVideo::frame(KMovieFrame& frame) const { return player_ && player_->frame(frame); }

void MVideo::restart() {
    if (player_)
        player_->restart();
}

bool MVideo::isPlaying() const { return playing_ && player_ && !player_->isDone(); }

double MVideo::length() const { return player_ ? player_->duration() : 0; }

void MVideo::pause() {
    if (player_)
        hold(true);
}

void MVideo::resume() {
    if (player_ && playing_)
        hold(false);
}

void MVideo::hold(bool held) {
    if (held)
        player_->pause();
    else
        player_->resume();
}

} // namespace glint

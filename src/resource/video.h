// A movie of a scene element: one open video file while it is held.
#pragma once

#include "resource/resource.h"

namespace glint {

class MVideo : public MResource {
public:
    explicit MVideo(const char* path) : MResource(ResourceKind::Video, path) {}

    void discard() override;
    void load() override;
    void unload() override;
    // Focus loss and return; the player does the work once it is attached.
    void pause() {}
    void resume() {}

    bool isLoaded() const { return loaded_; }

private:
    // Whether the file is open; the player takes its place once videos are
    // decoded.
    bool loaded_ = false;
};

} // namespace glint

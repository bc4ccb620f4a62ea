// A sound of a scene's sound list; its audio exists only while it is held.
#pragma once

#include "resource/resource.h"

#include <cstdint>

namespace glint {

class MSoundFile : public MResource {
public:
    explicit MSoundFile(const char* path) : MResource(ResourceKind::SoundFile, path) {}

    void discard() override;
    void load() override;
    void unload() override;
    // Stops playback; the sound output does the work once it is attached.
    void stop() {}

    bool isLoaded() const { return loaded_; }

    uint8_t isMusic = 0;
    uint8_t isAmbient = 0;
    uint8_t keepOnStop = 0; // keeps playing when the game suspends its sounds

private:
    // Whether the audio is present; the engine sound object takes its place
    // once sound files are decoded.
    bool loaded_ = false;
};

} // namespace glint

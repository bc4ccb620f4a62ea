// Where the input poll reads key, button and pointer levels: SDL's own
// state by default, or a source that a driver installs to play recorded or
// scripted input (levels cannot be injected into SDL itself).
#pragma once

namespace glint {

class KInputSource {
public:
    virtual ~KInputSource() = default;
    // A virtual key of the engine key table is held down.
    virtual bool keyDown(int virtualKey) = 0;
    // A lock key is switched on.
    virtual bool keyToggled(int virtualKey) = 0;
    // Button 0 primary, 1 secondary.
    virtual bool buttonDown(int button) = 0;
    // The pointer in window client pixels.
    virtual void pointer(int* x, int* y) = 0;
};

// Installs source (null: back to SDL's state); the caller keeps it alive
// while it is installed.
void setInputSource(KInputSource* source);
KInputSource* inputSource();

} // namespace glint

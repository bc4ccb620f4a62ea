// Window events as the engine sees them: the desktop window's events, and
// the codes of platform layers with touch screens, sensors and services.
#pragma once

#include <cstdint>
#include <string>

namespace glint {

class MEngine;
struct KInputEvent;

enum WindowEventKind : int32_t {
    kWindowWheel = 11,
    kWindowActivated = 13,
    kWindowDeactivated = 14,
    kWindowPause = 16,
    kWindowResume = 17,
    kWindowKeyChar = 50,
    kWindowGesture = 100,
    kWindowOrientation = 103,
    kWindowShake = 107,
    kWindowMainMenu = 200,
    kWindowLibsChanged = 201,
    kWindowPhotoSaved = 202,
    kWindowLoginCompleted = 405,
    kWindowLogoutCompleted = 406,
    kWindowFriendsLoaded = 407,
};

struct WindowEvent {
    int32_t code = 0;
    float x = 0, y = 0;   // pointer or gesture position in game units
    int32_t value = 0;    // wheel delta, character (or minus a key code), status
    int32_t gesture = 0;  // 1 tap, 2 double tap, 3 pan, 4 pinch, 5 swipe, 6 rotation
    int32_t gesturePhase = 0; // 1 begin, 2 change, 3 end
    int32_t direction = 0;    // swipes: 1 up, 2 down, 3 left, 4 right
    float scale = 0, angle = 0;
    int32_t orientation = 0;
    bool adoptOrientation = false;
    int32_t shake = 0;
    std::string text;
};

// The desktop window's events that the engine handles (wheel, focus,
// typed characters); false for the others.
bool windowEventFor(const KInputEvent& input, WindowEvent& out);

// Serves one event in the running engine.
void handleWindowEvent(MEngine& engine, const WindowEvent& event);

} // namespace glint

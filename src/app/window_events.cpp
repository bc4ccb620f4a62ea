#include "app/window_events.h"

#include "app/application.h"
#include "app/engine.h"
#include "engine/window/input_event.h"
#include "script/interpreter.h"
#include "script/symbol.h"
#include "text/typed_chars.h"

namespace glint {

namespace {

// Handlers marked free run only while the game takes input.
bool takesInput(const MEngine& engine) { return !engine.paused() && !engine.switching() && !engine.waiting; }

void callInScene(MEngine& engine, Symbol* name, const Value* arguments, int count) {
    if (MScene* scene = engine.activeScene())
        callScopeFunction(scene->scope, name, arguments, count);
}

void callGlobal(Symbol* name, const Value* arguments = nullptr, int count = 0) {
    callScopeFunction(script().global(), name, arguments, count);
}

Value number(double x) { return Value::fromNumber(x); }

// Begin, change and end of a continuous gesture.
Symbol* phaseHandler(int32_t phase, Symbol* begin, Symbol* change, Symbol* end) {
    switch (phase) {
    case 1: return begin;
    case 2: return change;
    case 3: return end;
    default: return nullptr;
    }
}

void handleGesture(MEngine& engine, const WindowEvent& event) {
    Value position[2] = {number(event.x), number(event.y)};
    Value scale = number(event.scale), angle = number(event.angle);
    switch (event.gesture) {
    case 1: callInScene(engine, sym::on_tap(), position, 2); break;
    case 2: callInScene(engine, sym::on_double_tap(), position, 2); break;
    case 3:
        if (Symbol* name = phaseHandler(event.gesturePhase, sym::on_pan_begin(), sym::on_pan(), sym::on_pan_end()))
            callInScene(engine, name, position, 2);
        break;
    case 4:
        if (Symbol* name =
                phaseHandler(event.gesturePhase, sym::on_pinch_begin(), sym::on_pinch(), sym::on_pinch_end()))
            callInScene(engine, name, &scale, 1);
        break;
    case 5: {
        static const char* const directions[] = {"up", "down", "left", "right"};
        if (event.direction >= 1 && event.direction <= 4) {
            Value direction = Value::fromSymbol(intern(directions[event.direction - 1]));
            callInScene(engine, sym::on_swipe(), &direction, 1);
        }
        break;
    }
    case 6:
        if (Symbol* name = phaseHandler(event.gesturePhase, sym::on_rotating_begin(), sym::on_rotating(),
                                        sym::on_rotating_end()))
            callInScene(engine, name, &angle, 1);
        break;
    default: break;
    }
}

void handleOrientation(MEngine& engine, const WindowEvent& event) {
    Scope& global = script().global();
    *findVariable(global, KindPlain, sym::ACTUAL_ORIENTATION(), nullptr, true) = number(event.orientation);
    if (event.adoptOrientation)
        *findVariable(global, KindPlain, sym::ORIENTATION(), nullptr, true) = number(event.orientation);
    if (KGameWindow* window = engine.app.window())
        updateDisplayValues(engine.app.options, *window, engine.app.settings);
    callGlobal(sym::on_orientation_changed());
}

} // namespace

bool windowEventFor(const KInputEvent& input, WindowEvent& out) {
    out = WindowEvent{};
    out.x = static_cast<float>(input.x);
    out.y = static_cast<float>(input.y);
    switch (input.type) {
    case K_EVENT_WHEEL: out.value = input.wheelDelta; break;
    case K_EVENT_FOREGROUND:
    case K_EVENT_BACKGROUND: break;
    case K_EVENT_KEYCHAR: out.value = input.character; break;
    default: return false;
    }
    out.code = input.type;
    return true;
}

void handleWindowEvent(MEngine& engine, const WindowEvent& event) {
    bool started = engine.started;
    switch (event.code) {
    case kWindowWheel:
        if (started && takesInput(engine)) {
            Value delta = number(static_cast<int16_t>(event.value));
            callInScene(engine, sym::on_scroll(), &delta, 1);
        }
        break;
    case kWindowActivated:
    case kWindowDeactivated:
    case kWindowPause:
    case kWindowResume:
        if (started) {
            engine.queueWindowEvent(event.code);
            engine.processWindowEvents();
        }
        break;
    case kWindowKeyChar:
        if (started && takesInput(engine) && (event.value < 0 || typedCharAllowed(event.value))) {
            Value value = number(event.value);
            callGlobal(sym::on_char_event(), &value, 1);
        }
        break;
    case kWindowGesture:
        if (started && takesInput(engine))
            handleGesture(engine, event);
        break;
    case kWindowOrientation: handleOrientation(engine, event); break;
    case kWindowShake:
        if (event.shake == 1)
            callGlobal(sym::on_device_shaked());
        break;
    case kWindowMainMenu:
        if (started)
            engine.mainMenuRequested = true;
        break;
    case kWindowLibsChanged:
        if (started)
            callGlobal(sym::libs_status_updated());
        break;
    case kWindowPhotoSaved:
        if (started)
            callGlobal(sym::saved_photo_status());
        break;
    case kWindowLoginCompleted:
        if (started) {
            Value status = number(event.value);
            callGlobal(sym::rave_on_login_completed(), &status, 1);
        }
        break;
    case kWindowLogoutCompleted:
        if (started)
            callGlobal(sym::rave_on_logout_completed());
        break;
    case kWindowFriendsLoaded:
        if (started) {
            Value text = Value::fromSymbol(intern(event.text.c_str()));
            callGlobal(sym::rave_on_friends_loaded(), &text, 1);
        }
        break;
    default: break;
    }
}

bool MApplication::onWindowEvent(const KInputEvent& input) {
    // The scripts' display values follow the picture wherever it moved.
    if (input.type == K_EVENT_VIEW_CHANGED && window_)
        updateDisplayValues(options, *window_, settings);
    WindowEvent event;
    if (engine_ && windowEventFor(input, event))
        handleWindowEvent(*engine_, event);
    return true;
}

} // namespace glint

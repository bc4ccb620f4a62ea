// A scene of elements placed by their channels, with the camera variables
// and the engine state the scene update reads under the test's control.
#pragma once

#include "element_fixture.h"
#include "scene/scene_engine_state.h"

namespace glint::test {

struct UpdateFixture : ElementFixture {
    Value cameraX = Value::fromNumber(0), cameraY = Value::fromNumber(0);
    Value cameraScale = Value::fromNumber(1), cameraScaleX = Value::fromNumber(1), cameraScaleY = Value::fromNumber(1);
    SceneEngineState savedState = sceneEngineState();

    UpdateFixture() {
        room.readBack.cameraX = &cameraX;
        room.readBack.cameraY = &cameraY;
        room.readBack.cameraScale = &cameraScale;
        room.readBack.cameraScaleX = &cameraScaleX;
        room.readBack.cameraScaleY = &cameraScaleY;
    }
    ~UpdateFixture() override { sceneEngineState() = savedState; }

    // An element of the given size whose channels put its pivot at (x, y).
    MElement* box(const char* name, float w, float h, float x, float y) {
        MElement* e = make(name);
        e->visual->width = w;
        e->visual->height = h;
        e->channels[kChannelX] = x;
        e->channels[kChannelY] = y;
        return e;
    }
    void setGlobal(Symbol* name, const Value& value) {
        *findVariable(system.global(), KindPlain, name, nullptr, true) = value;
    }
    void tick(int count = 1) {
        for (int i = 0; i < count; ++i) room.update(true);
    }
};

} // namespace glint::test

// The scene camera derived from its element, its variables and the view.
#include <functional>

#include "update_fixture.h"

namespace glint::test {
namespace {

struct CameraFixture : UpdateFixture {
    void reset() {
        room.releaseElements();
        for (Value* v : {&cameraX, &cameraY}) *v = Value::fromNumber(0);
        for (Value* v : {&cameraScale, &cameraScaleX, &cameraScaleY}) *v = Value::fromNumber(1);
        room.readBack.cameraX = &cameraX;
        room.readBack.cameraScale = &cameraScale;
        room.viewScale = 1;
        room.viewCenterX = 320;
        room.viewCenterY = 240;
        setGlobal(sym::Global_camera_scale_x(), Value::fromNumber(1));
        setGlobal(sym::Global_camera_scale_y(), Value::fromNumber(1));
        setGlobal(sym::ORIENTATION(), Value::fromNumber(3));
    }
};

struct ExpectedCamera {
    float offsetX, offsetY, scaleX, scaleY, shiftX, shiftY, angle;
};

TEST_F(CameraFixture, DerivedFromElementVariablesAndView) {
    struct Case {
        const char* what;
        std::function<void(CameraFixture&)> setUp;
        ExpectedCamera camera;
    };
    auto cameraElement = [](CameraFixture& f, float w, float h, float x, float y) {
        f.room.cameraElement = f.box("camera", w, h, x, y);
        return f.room.cameraElement;
    };
    const Case cases[] = {
        {"neutral", [](CameraFixture&) {}, {0, 0, 1, 1, 0, 0, 0}},
        {"position variables", [](CameraFixture& f) {
             f.cameraX = Value::fromNumber(30);
             f.cameraY = Value::fromNumber(-10);
         }, {-30, 10, 1, 1, 0, 0, 0}},
        {"scale variables multiply", [](CameraFixture& f) {
             f.cameraScale = Value::fromNumber(2);
             f.cameraScaleX = Value::fromNumber(1.5);
         }, {0, 0, 3, 2, 0, 0, 0}},
        {"a scale that is no number or too small", [](CameraFixture& f) {
             f.cameraScale = Value::fromSymbol(intern("big"));
             f.cameraScaleY = Value::fromNumber(0.00001);
         }, {0, 0, 0.001f, 0.000001f, 0, 0, 0}},
        {"missing variables count as neutral", [](CameraFixture& f) {
             f.cameraScale = Value::fromSymbol(intern("unread"));
             f.room.readBack.cameraScale = nullptr;
             f.room.readBack.cameraX = nullptr;
         }, {0, 0, 1, 1, 0, 0, 0}},
        {"global scale, view scale and view centre", [](CameraFixture& f) {
             f.setGlobal(sym::Global_camera_scale_x(), Value::fromNumber(0.5));
             f.setGlobal(sym::Global_camera_scale_y(), Value::fromSymbol(intern("x")));
             f.room.viewScale = 2;
             f.room.viewCenterX = 400;
             f.room.viewCenterY = 200;
         }, {0, 0, 1, 0, 80, -40, 0}},
        {"camera element framed onto the game area", [&](CameraFixture& f) {
             cameraElement(f, 320, 240, 200, 150)->channels[kChannelAngle] = 10;
             f.cameraScale = Value::fromNumber(2);
             f.cameraX = Value::fromNumber(5);
         }, {2 * 120 - 5, 2 * 90, 4, 4, 0, 0, 10}},
        {"camera element framed onto the root", [&](CameraFixture& f) {
             cameraElement(f, 100, 100, 0, 0);
             f.room.rootElement = f.box("root", 400, 200, 500, 100);
         }, {500, 100, 4, 2, 0, 0, 0}},
        {"other orientation swaps the reference sides", [&](CameraFixture& f) {
             cameraElement(f, 240, 320, 320, 240);
             f.setGlobal(sym::ORIENTATION(), Value::fromNumber(0));
         }, {0, 0, 2, 2, 0, 0, 0}},
        {"a camera of no size is held at the smallest scale", [&](CameraFixture& f) {
             cameraElement(f, 0, 0, 320, 240);
         }, {0, 0, 1000, 1000, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        reset();
        c.setUp(*this);
        tick(); // the camera follows its element within the same tick
        const SceneCamera& got = room.camera;
        EXPECT_NEAR(got.offsetX, c.camera.offsetX, 1e-3);
        EXPECT_NEAR(got.offsetY, c.camera.offsetY, 1e-3);
        EXPECT_FLOAT_EQ(got.scaleX, c.camera.scaleX);
        EXPECT_FLOAT_EQ(got.scaleY, c.camera.scaleY);
        EXPECT_FLOAT_EQ(got.shiftX, c.camera.shiftX);
        EXPECT_FLOAT_EQ(got.shiftY, c.camera.shiftY);
        EXPECT_FLOAT_EQ(got.angle, c.camera.angle);
    }
}

} // namespace
} // namespace glint::test

// The element property table as scripts see it.
#include "element_fixture.h"

using namespace glint;
using namespace glint::test;

TEST_F(ElementFixture, NewElementsStartWithTheDefaults) {
    MElement* door = make("door");
    ASSERT_NE(door, nullptr);
    EXPECT_TRUE(door->hasFlag(kElementVisible) && door->hasFlag(kElementActive));
    EXPECT_FALSE(door->hasFlag(kElementRuntime));
    const float channels[kChannelCount] = {0, 0, 0, 1, 1, 0, 1, 1, 1, 1, 1};
    for (int i = 0; i < kChannelCount; ++i) EXPECT_EQ(door->channels[i], channels[i]) << "channel " << i;
    EXPECT_EQ(door->pivotX, 0.5f);
    EXPECT_EQ(door->pivotY, 0.5f);
    EXPECT_EQ(door->alpha, 1024);
    EXPECT_EQ(door->effectiveAlpha, 1024);
    EXPECT_EQ(door->textAlign, 17);
    EXPECT_EQ(door->font, 0);
    EXPECT_EQ(door->blendMode, 0);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(door->tint[i] + door->textColor[i], 510);
    EXPECT_EQ(door->visual->kindFlags, kVisualInheritAll);
    EXPECT_EQ(door->visual->users, 1);
    EXPECT_EQ(door->scene, &room);
    EXPECT_EQ(room.findElement(intern("door")), door);

    Value* cell = findVariable(room.scope, KindElement, intern("door"), nullptr, false);
    ASSERT_NE(cell, nullptr) << "declared in the scene's script class";
    EXPECT_EQ(cell->as<MElement>(), door);
    EXPECT_EQ(numberProperty(door, "scale_x"), 1) << "no scale record reads as 1";
    EXPECT_EQ(door->scale, nullptr);
}

TEST_F(ElementFixture, WrittenNumbersAreStoredInTheirFixedPointAndRange) {
    MElement* door = make("door");
    struct Case {
        const char* property;
        const char* written;
        double read;
    } cases[] = {
        {"alpha", "0.5", 0.5},
        {"alpha", "40", 32767 / 1024.0},
        {"alpha", "-40", -32767 / 1024.0},
        {"alpha", "0.0004", 0},
        {"alpha", "\"text\"", 0},
        {"Parallax_factor_x", "0.3", 77 / 256.0},
        {"Parallax_factor_y", "-200", -32767 / 256.0},
        {"chars_speed", "0.5", 0.5},
        {"xstretch", "-1.5", -2},
        {"xstretch", "300", 127},
        {"anim_speed", "0.001", 0.01f},
        {"start_time", "2.5", 2.5},
        {"loop_time", "4", 4},
        {"scale_y", "3", 3},
    };
    std::string script = "init {\n";
    for (const Case& c : cases) script += std::string("  set $door.") + c.property + " " + c.written + "\n" +
                                          "  set #" + c.property + "_" + std::to_string(&c - cases) + " $door." +
                                          c.property + "\n";
    run(script + "}\n");
    for (const Case& c : cases) {
        std::string name = std::string(c.property) + "_" + std::to_string(&c - cases);
        EXPECT_DOUBLE_EQ(number(name.c_str()), c.read) << c.property << " = " << c.written;
    }
    EXPECT_EQ(door->alpha, 0);
    EXPECT_EQ(trace.lines().size(), 0u);
}

TEST_F(ElementFixture, ReadOnlyPropertiesReportAndKeepTheirValue) {
    MElement* door = make("door");
    door->channels[kChannelX] = 7;
    const char* readOnly[] = {"scene", "name",  "array", "index", "x",     "y",      "z",      "angle",
                              "w",     "h",     "is_active", "is_visible", "is_hintable", "abs_x", "abs_y",
                              "abs_w", "abs_h", "abs_sx", "abs_sy", "abs_z", "abs_angle", "time",
                              "video_playing", "get_image", "has_hotspot"};
    std::string script = "init {\n";
    for (const char* name : readOnly) script += std::string("  set $door.") + name + " 5\n";
    run(script + "  set #x $door.x\n  set $door.mood 3\n  set #mood $door.mood\n}\n");
    for (const char* name : readOnly) {
        int reports = 0;
        for (const std::string& line : trace.lines()) reports += line.ends_with(std::string("Invalid property ") + name);
        EXPECT_EQ(reports, 1) << name;
    }
    EXPECT_EQ(number("x"), 7);
    EXPECT_EQ(number("mood"), 3) << "other names are the element's own variables";
    EXPECT_EQ(door->name, intern("door"));
}

TEST_F(ElementFixture, OffsetAndScaleRecordsExistOnlyWhileNeeded) {
    MElement* door = make("door");
    size_t offsets = recordsInUse<MElementOffset>(), scales = recordsInUse<MElementScale>();
    run("fun offset %a %b {\n  set $door.offset_x %a\n  set $door.offset_z %b\n}\n"
        "fun scale %a %b {\n  set $door.scale %a\n  set $door.scale_y %b\n}\n");

    auto call = [&](const char* name, double a, double b) {
        Value* cell = findVariable(room.scope, KindFunction, intern(name), nullptr, false);
        ASSERT_TRUE(cell && cell->is(ValueType::Function));
        Value* args = system.stack + system.top;
        args[0] = Value::fromNumber(a);
        args[1] = Value::fromNumber(b);
        system.top += 2;
        callFunction(cell->as<ScriptFunction>(), nullptr, args, 2, false);
        system.top -= 2;
    };
    call("offset", 5, 0);
    ASSERT_NE(door->offset, nullptr);
    EXPECT_EQ(recordsInUse<MElementOffset>(), offsets + 1);
    EXPECT_EQ(numberProperty(door, "offset_x"), 5);
    call("offset", 0, 2);
    ASSERT_NE(door->offset, nullptr) << "z still holds the record";
    EXPECT_EQ(numberProperty(door, "offset_x"), 0);
    call("offset", 0, 0);
    EXPECT_EQ(door->offset, nullptr);
    EXPECT_EQ(recordsInUse<MElementOffset>(), offsets);

    call("scale", 1, 1);
    EXPECT_EQ(door->scale, nullptr) << "ones need no record";
    call("scale", 2, 1);
    ASSERT_NE(door->scale, nullptr);
    EXPECT_EQ(numberProperty(door, "scale"), 2);
    EXPECT_EQ(numberProperty(door, "scale_x"), 1);
    call("scale", 1, 1);
    EXPECT_EQ(door->scale, nullptr);
    EXPECT_EQ(recordsInUse<MElementScale>(), scales);
    EXPECT_TRUE(door->transformDirty);
    EXPECT_TRUE(room.transformsDirty);
}

TEST_F(ElementFixture, ReferencesAndListsFollowTheirProperties) {
    MElement* door = make("door");
    MElement* frame = make("frame");
    MElement* lamp = make("lamp_3");
    MScene hall(intern("hall"));
    hall.index = 4;
    Value hallCell = Value::fromPointer(ValueType::Scene, &hall);
    declareVariable(system.global(), KindScene, hall.name, &hallCell);
    system.addScene(&hall);
    run("init {\n"
        "  set $door.hotspot $frame\n  set $door.crop_element $frame\n"
        "  set $lamp_3.hotspot 5\n"
        "  set $door.camera_scene +hall\n  set #camera $door.camera_scene\n"
        "  set #index $lamp_3.index\n  set #array $lamp_3.array\n"
        "  set $door.chars_count 4\n"
        "}\n");
    EXPECT_EQ(door->hotspot, frame);
    EXPECT_EQ(door->cropElement, frame);
    EXPECT_EQ(lamp->hotspot, nullptr);
    EXPECT_EQ(door->cameraScene, 5);
    EXPECT_EQ(value("camera").as<MScene>(), &hall);
    EXPECT_EQ(number("index"), 3);
    ASSERT_TRUE(value("array").is(ValueType::Array));
    EXPECT_STREQ(value("array").as<ArrayObject>()->name->text, "lamp[]");
    EXPECT_EQ(room.typing, std::vector<MElement*>{door});

    door->setProperty(intern("chars_count"), Value::fromNumber(0));
    EXPECT_TRUE(room.typing.empty());
    door->setProperty(intern("camera_scene"), Value::fromNumber(1));
    EXPECT_EQ(door->cameraScene, 0);
    EXPECT_TRUE(property(door, "camera_scene").isNone());
}

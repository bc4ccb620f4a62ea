// A scene with real elements inside a running script system, and scripts
// compiled against it.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "scene/element.h"
#include "scene/element_commands.h"
#include "scene/group.h"
#include "scene/scene.h"
#include "script/commands.h"
#include "script/compiler.h"
#include "script/declarations.h"
#include "script/interpreter.h"
#include "script/trace_capture.h"

namespace glint::test {

// The scene and its script system, for fixtures of any kind.
struct ElementWorld {
    ScriptSystem system;
    MScene room{intern("room")};
    TraceCapture trace;

    ElementWorld() {
        registerBuiltinCommands();
        registerElementCommands();
        system.addScene(&room);
    }

    MElement* make(const char* name, MElementVisual* visual = nullptr, bool dynamic = false) {
        return room.createElement(visual, intern(name), dynamic);
    }
    // Compiles and links the scene script: its init blocks run at once.
    void run(const std::string& script) {
        system.sources.add(intern("common_all"), "", 0);
        system.sources.add(intern("common_all_post"), "", 0);
        system.sources.add(room.name, script.data(), script.size());
        compileScene(room.scope);
        linkScene(room.scope);
        system.heap.engineStarted = true;
    }
    Value value(const char* name) {
        Value* cell = findVariable(room.scope, KindPlain, intern(name), nullptr, false);
        return cell ? *cell : Value();
    }
    double number(const char* name) {
        Value v = value(name);
        EXPECT_TRUE(v.isNumber()) << name << " holds " << valueText(v);
        return v.isNumber() ? v.number : -12345;
    }
    Value property(MElement* element, const char* name) {
        Value out;
        element->getProperty(intern(name), out);
        return out;
    }
    double numberProperty(MElement* element, const char* name) {
        Value v = property(element, name);
        EXPECT_TRUE(v.isNumber()) << name;
        return v.isNumber() ? v.number : -12345;
    }
};

struct ElementFixture : ::testing::Test, ElementWorld {};

} // namespace glint::test

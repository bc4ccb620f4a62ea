// A script system with the built-in commands and one scene compiled from
// texts in memory.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "script/commands.h"
#include "script/compiler.h"
#include "script/declarations.h"
#include "script/interpreter.h"
#include "script/script_error.h"
#include "trace_capture.h"

namespace glint::test {

struct ScriptFixture : ::testing::Test {
    ScriptSystem system;
    ScriptScene scene{intern("room")};
    TraceCapture trace;
    std::vector<std::unique_ptr<ScriptElement>> elements_;

    ScriptFixture() {
        registerBuiltinCommands();
        system.addScene(&scene);
    }

    // Compiles common_all + the scene script + common_all_post, declares,
    // links (running init blocks) and marks the engine started.
    void load(const std::string& sceneScript, const std::string& common = "", const std::string& post = "") {
        addSource("common_all", common);
        addSource("common_all_post", post);
        if (!sceneScript.empty()) addSource("room", sceneScript);
        compileScene(scene.scope);
        linkScene(scene.scope);
        system.heap.engineStarted = true;
    }
    // The global scene's own script "game" (engine-wide functions).
    void loadGame(const std::string& gameScript) {
        addSource("common_all", "");
        addSource("common_all_post", "");
        addSource("game", gameScript);
        compileScene(system.global());
        linkScene(system.global());
    }
    // The first text given for a name is the one compiled.
    void addSource(const char* name, const std::string& text) {
        if (!system.sources.find(intern(name), ""))
            system.sources.add(intern(name), text.data(), text.size());
    }

    Value* cell(const char* name, int kind = KindPlain) {
        return findVariable(scene.scope, kind, intern(name), nullptr, false);
    }
    Value value(const char* name) {
        Value* c = cell(name);
        return c ? *c : Value();
    }
    double number(const char* name) {
        Value v = value(name);
        EXPECT_TRUE(v.isNumber()) << name << " holds " << valueText(v);
        return v.isNumber() ? v.number : -12345;
    }
    std::string text(const char* name) { return valueText(value(name)); }
    ScriptFunction* function(const char* name) {
        Value* c = cell(name, KindFunction);
        return c && c->is(ValueType::Function) ? c->as<ScriptFunction>() : nullptr;
    }
    ScriptTask* task(const char* name) {
        Value* c = cell(name, KindTask);
        return c && c->is(ValueType::Task) ? c->as<ScriptTask>() : nullptr;
    }
    // Calls a scene function with number arguments.
    void call(const char* name, std::initializer_list<double> args = {}) {
        ScriptFunction* f = function(name);
        ASSERT_NE(f, nullptr) << name;
        Value* stack = system.stack + system.top;
        int n = 0;
        for (double a : args) stack[n++] = Value::fromNumber(a);
        system.top += n;
        callFunction(f, nullptr, stack, n, false);
        system.top -= n;
    }
    // An element of the scene, bound to its element variable as the scene
    // loader does.
    ScriptElement* element(const char* name) {
        elements_.push_back(std::make_unique<ScriptElement>(intern(name), &scene));
        ScriptElement* e = elements_.back().get();
        Value* cell = scriptHeap().newCell(Value::fromPointer(ValueType::Element, e));
        declareElementVariable(scene.scope, e->name, cell);
        return e;
    }
    void update(int times = 1) {
        for (int i = 0; i < times; ++i) {
            system.pointer.handled = false; // the input code's job each update
            runScenePasses(scene.scope);
        }
    }
    bool traced(const std::string& text) const { return trace.contains(text); }
    int tracedCount(const std::string& text) const {
        int n = 0;
        for (const std::string& line : trace.lines()) n += line.find(text) != std::string::npos;
        return n;
    }
    std::string traceText() const {
        std::string all;
        for (const std::string& line : trace.lines()) all += line + "\n";
        return all;
    }
};

// Compiles (and with link, links) script as the lone scene "room" of a fresh
// script system; true when its diagnostics contain message.
inline bool freshSceneReports(const char* script, const std::string& message, bool link = false) {
    ScriptSystem system;
    registerBuiltinCommands();
    ScriptScene room(intern("room"));
    system.addScene(&room);
    TraceCapture capture;
    system.sources.add(intern("common_all"), "", 0);
    system.sources.add(intern("common_all_post"), "", 0);
    system.sources.add(intern("room"), script, std::strlen(script));
    compileScene(room.scope);
    if (link) linkScene(room.scope);
    return capture.contains(message);
}

} // namespace glint::test

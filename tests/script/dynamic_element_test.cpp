// new and delete of elements through the scene's dynamic-element hooks:
// naming from the global counter, the current scene, and which elements
// delete may remove.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "script/commands.h"
#include "script/compiler.h"
#include "script/declarations.h"
#include "script/interpreter.h"
#include "trace_capture.h"

using namespace glint;

namespace {

// A scene that keeps its dynamic elements in a list, as the element model
// will.
struct DynamicScene : ScriptScene {
    using ScriptScene::ScriptScene;
    std::vector<std::unique_ptr<ScriptElement>> made;
    std::vector<ScriptElement*> models;
    std::vector<ScriptElement*> deleted;
    bool refuse = false;

    ScriptElement* createDynamicElement(ScriptElement* model, Symbol* name) override {
        if (refuse) return nullptr;
        models.push_back(model);
        made.push_back(std::make_unique<ScriptElement>(name, this));
        return made.back().get();
    }
    bool deleteDynamicElement(ScriptElement* element) override {
        for (auto& e : made)
            if (e.get() == element) {
                deleted.push_back(element);
                return true;
            }
        return false;
    }
};

struct DynamicElements : ::testing::Test {
    ScriptSystem system;
    DynamicScene scene{intern("yard")};
    ScriptElement tree{intern("tree"), &scene};
    Value treeCell = Value::fromPointer(ValueType::Element, &tree);
    glint::test::TraceCapture trace;

    DynamicElements() {
        registerBuiltinCommands();
        system.addScene(&scene);
        declareElementVariable(scene.scope, tree.name, &treeCell);
    }
    void load(const std::string& script) {
        system.sources.add(intern("common_all"), "", 0);
        system.sources.add(intern("common_all_post"), "", 0);
        system.sources.add(scene.name, script.data(), script.size());
        compileScene(scene.scope);
        linkScene(scene.scope);
        system.heap.engineStarted = true;
    }
    Value value(const char* name) {
        Value* cell = findVariable(scene.scope, KindPlain, intern(name), nullptr, false);
        return cell ? *cell : Value();
    }
    Value* counter(double start) {
        Value* cell = findVariable(system.global(), KindPlain, sym::q_dynamic_elements_count(), nullptr, true);
        *cell = Value::fromNumber(start);
        return cell;
    }
};

} // namespace

TEST_F(DynamicElements, NamesComeFromTheGlobalCounter) {
    Value* count = counter(7);
    load("init {\n  new #a $tree\n  new #b #a\n  set_str #names #a \",\" #b\n}\n");
    EXPECT_EQ(valueText(value("names")), "$yard:ELEMENT000000007,$yard:ELEMENT000000008");
    EXPECT_EQ(count->number, 9);
    ASSERT_EQ(scene.models.size(), 2u);
    EXPECT_EQ(scene.models[0], &tree);
    EXPECT_EQ(scene.models[1], scene.made[0].get()); // the scene sees which one was copied
}

TEST_F(DynamicElements, WithoutTheCounterTheNameIsElementAlone) {
    load("init {\n  new #a $tree\n}\n");
    ASSERT_EQ(scene.made.size(), 1u);
    EXPECT_STREQ(scene.made[0]->name->text, "ELEMENT");
}

TEST_F(DynamicElements, ASceneThatMakesNoneGivesNoneAndKeepsTheCounter) {
    Value* count = counter(3);
    scene.refuse = true;
    load("init {\n  set #a 1\n  new #a $tree\n}\n");
    EXPECT_TRUE(value("a").isNone());
    EXPECT_EQ(count->number, 3);
}

TEST_F(DynamicElements, DeleteRemovesOnlyWhatNewMade) {
    load("init {\n  new #a $tree\n  delete #a\n  delete $tree\n  delete 5\n  delete\n}\n");
    ASSERT_EQ(scene.made.size(), 1u);
    ASSERT_EQ(scene.deleted.size(), 1u);
    EXPECT_EQ(scene.deleted[0], scene.made[0].get());
    EXPECT_FALSE(trace.contains("ERROR")) << (trace.lines().empty() ? "" : trace.lines()[0]);
}

// A game folder in a temporary directory with its scene registry built by
// a fresh engine.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "app/application.h"
#include "app/engine.h"
#include "engine/resources/resource.h"
#include "engine/system/system.h"
#include "resource/resource_manager.h"
#include "script/script_system.h"
#include "support/test_support.h"

namespace glint::test {

struct RegistryFixture : ::testing::Test {
    TempDir game;
    std::unique_ptr<MApplication> app;
    std::unique_ptr<MResourceManager> resources;
    std::unique_ptr<MEngine> engine;

    ~RegistryFixture() override { stop(); }

    void file(const std::string& path, const std::string& bytes) { writeFile(game / path, bytes); }
    // A scene's content file: "<folder>/_<name>.<ext>", not empty.
    void content(const std::string& folder, const std::string& name, const std::string& ext = "scene") {
        file(folder + "/_" + name + "." + ext, "{}");
    }
    // Content for every registry line as written.
    void contentFor(const std::string& lines) {
        size_t start = 0;
        while (start < lines.size()) {
            size_t end = lines.find('\n', start);
            std::string line = lines.substr(start, end == std::string::npos ? std::string::npos : end - start);
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (line.find('/') != std::string::npos) content(line, line.substr(line.rfind('/') + 1));
            start = end == std::string::npos ? lines.size() : end + 1;
        }
    }

    // Starts a new engine on the game folder and builds its registry.
    void build(const std::string& registry, const std::function<void(MApplication&)>& adjust = {}) {
        stop();
        file("data/scenes.cfg", registry);
        startEngine(adjust);
        engine->buildSceneRegistry();
    }
    void startEngine(const std::function<void(MApplication&)>& adjust = {}) {
        systemResetForTests();
        ASSERT_TRUE(systemInit(game.str().c_str()));
        resourceInit();
        app = std::make_unique<MApplication>();
        if (adjust) adjust(*app);
        resources = std::make_unique<MResourceManager>();
        engine = std::make_unique<MEngine>(*app, *resources);
    }
    void stop() {
        engine.reset();
        resources.reset();
        app.reset();
    }

    MScene* scene(const char* name) { return engine->findScene(intern(name)); }
    std::string names() {
        std::string all;
        for (MScene* s : engine->scenes.scenes()) all += std::string(all.empty() ? "" : " ") + s->name->text;
        return all;
    }
};

} // namespace glint::test

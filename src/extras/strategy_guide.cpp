#include "extras/strategy_guide.h"

#include <string>

#include "extras/guide_document.h"
#include "resource/text_file.h"
#include "scene/scene.h"
#include "scene/scene_registry.h"
#include "script/symbol.h"
#include "script/value.h"

namespace glint {

namespace {

// Plain variables of the guide scene, created when absent.
class SceneVariables : public GuideSink {
public:
    explicit SceneVariables(MScene& scene) : scope_(scene.scriptClass()) {}

    void number(const std::string& name, double value) override { *cell(name) = Value::fromNumber(value); }
    // Texts are strings of their own: nothing looks them up by name.
    void text(const std::string& name, std::string_view value) override {
        *cell(name) = Value::fromSymbol(unlistedSymbol(value));
    }
    void imageName(const std::string& name, std::string_view value) override {
        *cell(name) = Value::fromSymbol(intern(value));
    }

private:
    Value* cell(const std::string& name) { return findVariable(scope_, KindPlain, intern(name), nullptr, true); }

    Scope& scope_;
};

} // namespace

void loadStrategyGuide(const MSceneRegistry& scenes, std::string_view languageSuffix) {
    MScene* scene = nullptr;
    for (MScene* candidate : scenes.scenes()) {
        if (candidate->name == sym::strategy_guide_ce()) {
            scene = candidate;
            break;
        }
    }
    if (!scene)
        return;
    MTextFile file;
    std::string path = "data/strategy_guide" + std::string(languageSuffix) + ".xml";
    if (!file.loadText(path.c_str()))
        return;
    SceneVariables variables(*scene);
    readGuideDocument(file.data(), variables);
}

} // namespace glint

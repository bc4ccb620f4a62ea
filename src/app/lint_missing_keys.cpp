// Localization keys that a scene or a script uses and a language's table
// lacks: the player would see an empty text in that language only, which
// an author testing in one language never notices.
#include "app/lint.h"

#include "app/application.h"
#include "app/engine.h"
#include "app/lint_script_keys.h"
#include "scene/element.h"
#include "scene/scene.h"
#include "text/localization.h"

#include <set>
#include <sstream>

namespace glint {

namespace {

struct KeyUse {
    std::string file;
    int line = 0;
    Symbol* key = nullptr;
};

void sceneKeys(LintContext& lint, std::vector<KeyUse>& uses) {
    for (MScene* scene : lint.engine.scenes.scenes()) {
        std::string file = sceneFilePath(lint.engine, *scene);
        if (file.empty())
            continue;
        for (MElement* element : scene->elements) {
            const Value* key = element->members.get(sym::text_key());
            if (key && key->isString() && key->symbol()->text[0])
                uses.push_back({file, lint.sources.lineOf(file, key->symbol()->view()), key->symbol()});
        }
    }
}

void scriptKeys(LintContext& lint, std::vector<KeyUse>& uses) {
    for (const std::string& file : lint.readFiles) {
        if (!file.ends_with(".script") || !gameHasFile(file))
            continue;
        for (const ScriptKeyUse& use : scanScriptKeys(lint.sources.text(file)))
            uses.push_back({file, use.line, intern(use.key)});
    }
}

} // namespace

std::vector<std::string> localizationSuffixes(const MEngine& engine) {
    std::vector<std::string> suffixes;
    if (gameHasFile(localizationPath("")))
        suffixes.push_back("");
    Symbol* supported = engine.app.gameConfig.getString(intern("BuildSupportedLanguages"), nullptr);
    std::istringstream list(supported ? supported->text : "");
    for (std::string language; std::getline(list, language, ',');) {
        std::string suffix = "_" + language;
        if (!language.empty() && gameHasFile(localizationPath(suffix.c_str())))
            suffixes.push_back(suffix);
    }
    return suffixes;
}

void lintMissingKeys(LintContext& lint) {
    std::vector<KeyUse> uses;
    sceneKeys(lint, uses);
    scriptKeys(lint, uses);
    for (const std::string& suffix : localizationSuffixes(lint.engine)) {
        loadLocalization(lint.engine.app.gameConfig, suffix.c_str());
        std::string table = localizationPath(suffix.c_str());
        lint.namedFiles.insert(table);
        std::set<std::pair<std::string, Symbol*>> reported;
        for (const KeyUse& use : uses)
            if (!localizedText(use.key) && reported.insert({use.file, use.key}).second)
                lint.report.error(use.file, use.line,
                                  std::string("key \"") + use.key->text + "\" is missing from " + table);
    }
}

} // namespace glint

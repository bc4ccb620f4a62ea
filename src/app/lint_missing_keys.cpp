// Localization keys that a scene or a script uses and a language's table
// lacks: the player would see an empty text in that language only, which
// an author testing in one language never notices.
#include "app/lint.h"

#include "app/application.h"
#include "app/engine.h"
#include "scene/element.h"
#include "scene/scene.h"
#include "text/localization.h"

#include <cctype>
#include <cstring>
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

// A key written as a constant: a bare word or a quoted text. Variables,
// numbers and texts built while compiling are only known at run time.
Symbol* constantKey(const std::string& word) {
    if (word.empty() || std::strchr("#$~+^&@!*-%?<'[", word[0]) || std::isdigit(static_cast<unsigned char>(word[0])) ||
        word.find('<') != std::string::npos)
        return nullptr;
    if (word[0] == '"')
        return word.size() >= 2 && word.back() == '"' ? intern(word.substr(1, word.size() - 2)) : nullptr;
    return intern(word);
}

// The argument positions of a statement that hold localization keys.
std::vector<size_t> keyPositions(const std::vector<std::string>& words) {
    const std::string& command = words[0];
    if (command == "get_local_text" || command == "has_local_text")
        return {2};
    if (command == "show_alert") {
        std::vector<size_t> positions{1, 2};
        for (size_t label = 3; label < words.size(); label += 2) positions.push_back(label);
        return positions;
    }
    return {};
}

std::vector<std::string> wordsOf(const std::string& line) {
    std::vector<std::string> words;
    std::istringstream in(line);
    for (std::string word; in >> word;) {
        if (word[0] == ';')
            break;
        words.push_back(word);
    }
    return words;
}

void scriptKeys(LintContext& lint, std::vector<KeyUse>& uses) {
    for (const std::string& file : lint.readFiles) {
        if (!file.ends_with(".script") || !gameHasFile(file))
            continue;
        std::istringstream text(lint.sources.text(file));
        int number = 0;
        for (std::string line; std::getline(text, line);) {
            ++number;
            std::vector<std::string> words = wordsOf(line);
            if (words.empty())
                continue;
            for (size_t position : keyPositions(words))
                if (position < words.size())
                    if (Symbol* key = constantKey(words[position]))
                        uses.push_back({file, number, key});
        }
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

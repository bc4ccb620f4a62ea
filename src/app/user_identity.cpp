#include "app/user_identity.h"

#include "app/game_config.h"
#include "engine/system/files.h"
#include "engine/resources/resource.h"
#include "resource/cfg_value.h"
#include "resource/configuration.h"
#include "script/symbol.h"

namespace glint {

namespace {

LanguageChoice processLanguage;

// "a<joint>b", or whichever is non-empty, else "Game".
std::string joinNames(const char* first, const char* second, const char* joint) {
    std::string a = first ? first : "", b = second ? second : "";
    if (!a.empty() && !b.empty())
        return a + joint + b;
    if (!a.empty())
        return a;
    return b.empty() ? "Game" : b;
}

std::string readKey(const char* path, const char* key) {
    char value[256] = {};
    readCfgValue(path, key, value);
    return value;
}

} // namespace

std::string composeUserFolder(const std::string& base, const GameSettings& settings, bool streaming) {
    std::string folder = base + "/" + settings.developerName;
    createDirectory(folder.c_str());
    folder += "/" + joinNames(settings.titleName, settings.gameName, " - ");
    if (streaming)
        folder += " - Streaming";
    folder += " - CE"; // every build is the collector's edition
    createDirectory(folder.c_str());
    return folder;
}

LanguageChoice chooseLanguage(const std::string& language, const std::string& supported) {
    if (language.empty())
        return {};
    for (size_t start = 0; start <= supported.size();) {
        size_t comma = supported.find(',', start);
        size_t end = comma == std::string::npos ? supported.size() : comma;
        if (supported.compare(start, end - start, language) == 0)
            return {language, "_" + language};
        start = end + 1;
    }
    return {};
}

std::string composeWindowTitle(const std::string& fromFile, const GameSettings& settings) {
    if (!fromFile.empty())
        return fromFile;
    return joinNames(settings.titleName, settings.gameName, ": ") + " Collector's Edition";
}

std::string userFolderForGame(const GameSettings& settings, bool streaming) {
    std::string base = applicationDataPath();
    if (base.empty())
        base = resolveDataPath(".");
    return composeUserFolder(base, settings, streaming);
}

LanguageChoice languageForGame(const MConfiguration& config) {
    Symbol* supported = config.getString(intern("BuildSupportedLanguages"), nullptr);
    LanguageChoice choice = chooseLanguage(readKey("data/language.txt", "Language"), supported ? supported->text : "");
    setLanguage(choice);
    return choice;
}

std::string windowTitleForGame(const GameSettings& settings, const std::string& suffix) {
    std::string path = "data/game_title" + suffix + ".txt";
    return composeWindowTitle(readKey(path.c_str(), "TitleCE"), settings);
}

const std::string& selectedLanguage() { return processLanguage.language; }
const std::string& languageSuffix() { return processLanguage.suffix; }
void setLanguage(const LanguageChoice& choice) { processLanguage = choice; }

} // namespace glint

// What the process chooses once before the window opens: the per-user
// folder where options and profiles live, the language, and the title.
#pragma once

#include <string>

namespace glint {

class MConfiguration;
struct GameSettings;

// The folder below base: base/developer, then base/developer/"title -
// game" (or whichever name is set, else "Game"), " - Streaming" for the
// streaming build, and " - CE". Both levels are created when missing
// (failures are ignored: the game runs, it cannot save).
std::string composeUserFolder(const std::string& base, const GameSettings& settings, bool streaming);

struct LanguageChoice {
    std::string language; // empty: the default tables
    std::string suffix;   // "" or "_" + language
};

// Keeps language only when the comma-separated list names it exactly.
LanguageChoice chooseLanguage(const std::string& language, const std::string& supported);

// The title from the title file (key "TitleCE"), else the names joined by
// ": " (or whichever is set, else "Game") and " Collector's Edition".
std::string composeWindowTitle(const std::string& fromFile, const GameSettings& settings);

// The three choices as start-up makes them, from the data files and the
// configuration; the language is also set process-wide (below).
std::string userFolderForGame(const GameSettings& settings, bool streaming);
LanguageChoice languageForGame(const MConfiguration& config);
std::string windowTitleForGame(const GameSettings& settings, const std::string& languageSuffix);

// The process-wide language and language suffix.
const std::string& selectedLanguage();
const std::string& languageSuffix();
void setLanguage(const LanguageChoice& choice);

} // namespace glint

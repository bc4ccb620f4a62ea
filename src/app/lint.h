// The kinds of finding of the author's lint, each in a file of its own. They
// run after glint check has loaded every scene and compiled every script,
// on the engine of that run.
#pragma once

#include "app/lint_report.h"

#include <set>
#include <string>
#include <vector>

namespace glint {

class MElement;
class MEngine;
class MScene;

struct LintContext {
    MEngine& engine;
    LintSources& sources;
    LintReport& report;
    // Game paths ("data/hall/hall.script") the run asked the resource layer
    // for, whether they exist or not.
    std::set<std::string> readFiles;
    // Game paths the findings looked at: the files scenes name.
    std::set<std::string> namedFiles;
};

// Images, atlas pages, sounds, videos, particle files and fonts that the
// scenes and sound lists name but the game lacks.
void lintMissingFiles(LintContext& lint);
// Localization keys that scenes or scripts use and a language's table lacks.
void lintMissingKeys(LintContext& lint);
// Texts that do not fit their element's box, in each language.
void lintTextOverflow(LintContext& lint);
// Files under data/ that nothing read, named or registered (warnings).
void lintUnusedFiles(LintContext& lint);

// The scene's description file, as the game names it; empty for a scene
// without one.
std::string sceneFilePath(const MEngine& engine, const MScene& scene);
// The localization tables the game has: the suffix ("" or "_" and a
// language code) of each, in the order of BuildSupportedLanguages after
// the table without suffix.
std::vector<std::string> localizationSuffixes(const MEngine& engine);
// Whether the element displays a text: it has a key or a text of its own.
bool elementShowsText(const MElement& e);

} // namespace glint

#include "app/game_check.h"

#include "app/application.h"
#include "app/engine.h"
#include "app/lint.h"
#include "app/user_identity.h"
#include "engine/resources/resource.h"
#include "engine/system/log.h"
#include "engine/system/system.h"
#include "game/inventory.h"
#include "text/font_list.h"

#include <cstring>
#include <filesystem>
#include <set>
#include <string>

namespace glint {

namespace {

struct CheckReport {
    std::FILE* out;
    int errors = 0;
};

void reportLine(const char* line, void* user) {
    auto* report = static_cast<CheckReport*>(user);
    std::fprintf(report->out, "%s\n", line);
    if (countsAsError(line))
        ++report->errors;
}

bool startsWith(const char* text, const char* prefix) { return std::strncmp(text, prefix, std::strlen(prefix)) == 0; }

// Every path the run reads, as the game names it ("data/hall/hall.script"):
// most callers resolve their paths against the data path, text files are
// opened with the game path itself.
void noteRead(const char* path, void* user) {
    std::filesystem::path read = std::filesystem::path(path).lexically_normal();
    if (read.is_absolute())
        read = read.lexically_relative(std::filesystem::path(dataPath()).lexically_normal());
    std::string game = read.generic_string();
    if (!game.empty() && !game.starts_with(".."))
        static_cast<std::set<std::string>*>(user)->insert(game);
}

void lint(MEngine& engine, std::set<std::string> readFiles, LintReport& report) {
    LintSources sources;
    LintContext context{engine, sources, report, std::move(readFiles), {}};
    lintMissingFiles(context);
    lintMissingKeys(context);
    lintTextOverflow(context);
    lintUnusedFiles(context);
}

} // namespace

bool countsAsError(const char* line) {
    return *line && *line != ' ' && !startsWith(line, "WARNING") && !startsWith(line, "LOAD ") &&
           !startsWith(line, "UNLOAD ");
}

CheckResult checkGame(std::FILE* out) {
    CheckReport report{out};
    LintReport findings(out);
    std::set<std::string> readFiles;
    setTraceSink(reportLine, &report);
    resourceSetLookupObserver(noteRead, &readFiles);
    size_t scenes = 0;
    {
        MApplication app;
        languageForGame(app.gameConfig); // the per-user folder is not needed
        app.chooseSplashImages();
        app.startEngine();
        MEngine& engine = *app.engine();
        loadFonts(engine.fonts, app.settings.fontsTexturesExt);
        for (MScene* scene : engine.scenes.scenes())
            engine.loadDescription(*scene);
        engine.releaseSceneTexts();
        engine.inventory->build(engine.sceneLoadContext());
        engine.createBuiltInVariables();
        for (MScene* scene : engine.scenes.scenes())
            engine.compileScripts(*scene);
        engine.linkAllScripts();
        scenes = engine.scenes.scenes().size();
        // The lint's own reads and table loads are not the game's.
        resourceSetLookupObserver(nullptr, nullptr);
        setTraceSink(nullptr, nullptr);
        lint(engine, std::move(readFiles), findings);
    }
    std::fprintf(out, "checked %zu scenes: %d errors\n", scenes, report.errors + findings.errors());
    return {report.errors + findings.errors(), findings.warnings()};
}

} // namespace glint

#include "app/game_check.h"

#include "app/application.h"
#include "app/engine.h"
#include "app/user_identity.h"
#include "engine/system/log.h"
#include "game/inventory.h"

#include <cstring>

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

} // namespace

bool countsAsError(const char* line) {
    return *line && *line != ' ' && !startsWith(line, "WARNING") && !startsWith(line, "LOAD ") &&
           !startsWith(line, "UNLOAD ");
}

int checkGame(std::FILE* out) {
    CheckReport report{out};
    setTraceSink(reportLine, &report);
    size_t scenes = 0;
    {
        MApplication app;
        languageForGame(app.gameConfig); // the per-user folder is not needed
        app.startEngine();
        MEngine& engine = *app.engine();
        for (MScene* scene : engine.scenes.scenes())
            engine.loadDescription(*scene);
        engine.releaseSceneTexts();
        engine.inventory->build(engine.sceneLoadContext());
        engine.createBuiltInVariables();
        for (MScene* scene : engine.scenes.scenes())
            engine.compileScripts(*scene);
        engine.linkAllScripts();
        scenes = engine.scenes.scenes().size();
    }
    setTraceSink(nullptr, nullptr);
    std::fprintf(out, "checked %zu scenes: %d errors\n", scenes, report.errors);
    return report.errors;
}

} // namespace glint

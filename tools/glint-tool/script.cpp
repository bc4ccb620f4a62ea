// glint-tool script run FILE [--ticks N]: runs a script file as the scene
// "main" of a bare game, so that an author can try a piece of script. Its
// init blocks run when it is linked; then N script updates follow (timed
// actions, signals, tasks, always blocks). Script errors and the output of
// error go to standard error as the engine's trace lines; print writes its
// text to standard output, one line per statement.
#include "command.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "engine/system/log.h"
#include "engine/system/numbers.h"
#include "script/bare_game.h"

namespace glint::tool {

namespace {

constexpr const char* kUsage = "glint-tool script run FILE [--ticks N]";

int usage() {
    std::fprintf(stderr, "usage: %s\n", kUsage);
    return 2;
}

// A count of updates: decimal digits only, at most a billion.
bool parseTicks(const char* text, long& ticks) {
    if (!*text) return false;
    for (const char* p = text; *p; ++p)
        if (*p < '0' || *p > '9') return false;
    errno = 0;
    ticks = std::strtol(text, nullptr, 10);
    return errno == 0 && ticks <= 1000000000L;
}

void printLine(const char* text) {
    std::fputs(text, stdout);
    std::fputc('\n', stdout);
}

int runScript(int argc, char** argv) {
    if (argc < 3 || std::strcmp(argv[1], "run") != 0) return usage();
    const char* file = nullptr;
    long ticks = 0;
    for (int i = 2; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--ticks")) {
            if (++i >= argc || !parseTicks(argv[i], ticks)) return usage();
        } else if (argv[i][0] == '-' || file) {
            return usage();
        } else {
            file = argv[i];
        }
    }
    if (!file) return usage();

    traceToStandardError();
    seedRandom();
    BareGame game;
    game.system().printOutput = printLine;
    if (!game.load(file)) {
        std::fprintf(stderr, "glint-tool script: cannot read '%s'\n", file);
        return 1;
    }
    for (long tick = 0; tick < ticks; ++tick) game.update();
    std::fflush(stdout);
    return 0;
}

} // namespace

GLINT_TOOL_COMMAND("script", kUsage, runScript);

} // namespace glint::tool

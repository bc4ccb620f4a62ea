// glint-tool: the authoring tool. Each subcommand lives in its own file.
#include "command.h"

#include "app/version.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

namespace glint::tool {

static std::vector<Command>& commands() {
    static std::vector<Command> all;
    return all;
}

bool registerCommand(const Command& command) {
    commands().push_back(command);
    return true;
}

static void printUsage(FILE* out) {
    std::vector<Command> sorted = commands();
    std::sort(sorted.begin(), sorted.end(),
              [](const Command& a, const Command& b) { return std::strcmp(a.name, b.name) < 0; });
    std::fprintf(out, "usage:\n");
    for (const Command& command : sorted)
        std::fprintf(out, "%s\n", command.usage);
    std::fprintf(out, "glint-tool COMMAND --help\nglint-tool --version\n");
}

// "--help" or "-h" among a command's arguments.
static bool asksForHelp(int argc, char** argv) {
    for (int i = 2; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--help") || !std::strcmp(argv[i], "-h"))
            return true;
    }
    return false;
}

} // namespace glint::tool

int main(int argc, char** argv) {
    using namespace glint::tool;
    if (argc < 2 || !std::strcmp(argv[1], "--help") || !std::strcmp(argv[1], "-h")) {
        printUsage(argc < 2 ? stderr : stdout);
        return argc < 2 ? 2 : 0;
    }
    if (argc == 2 && !std::strcmp(argv[1], "--version")) {
        std::printf("glint-tool %s\n", glint::engineVersion());
        return 0;
    }
    for (const Command& command : commands()) {
        if (std::strcmp(command.name, argv[1]))
            continue;
        if (asksForHelp(argc, argv)) {
            std::printf("usage:\n%s\n", command.usage);
            return 0;
        }
        return command.run(argc - 1, argv + 1);
    }
    std::fprintf(stderr, "glint-tool: unknown command '%s'\n", argv[1]);
    printUsage(stderr);
    return 2;
}

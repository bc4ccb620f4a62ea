// glint-tool: the authoring tool. Each subcommand lives in its own file.
#include "command.h"

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
}

} // namespace glint::tool

int main(int argc, char** argv) {
    using namespace glint::tool;
    if (argc < 2 || !std::strcmp(argv[1], "--help") || !std::strcmp(argv[1], "-h")) {
        printUsage(argc < 2 ? stderr : stdout);
        return argc < 2 ? 2 : 0;
    }
    for (const Command& command : commands()) {
        if (!std::strcmp(command.name, argv[1]))
            return command.run(argc - 1, argv + 1);
    }
    std::fprintf(stderr, "glint-tool: unknown command '%s'\n", argv[1]);
    printUsage(stderr);
    return 2;
}

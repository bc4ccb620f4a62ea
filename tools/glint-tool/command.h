// Subcommands of glint-tool register themselves with GLINT_TOOL_COMMAND, so
// that each lives in its own file and main() stays a plain dispatcher.
#pragma once

namespace glint::tool {

// argv[0] is the subcommand's own name; the result is the exit status.
using CommandFunction = int (*)(int argc, char** argv);

struct Command {
    const char* name;
    const char* usage; // one or more lines, each "glint-tool NAME ..."
    CommandFunction run;
};

bool registerCommand(const Command& command);

} // namespace glint::tool

#define GLINT_TOOL_COMMAND(name, usage, function) \
    static const bool glintToolRegistered_##function = ::glint::tool::registerCommand({name, usage, function})

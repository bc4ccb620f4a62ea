// Both programs answer --help and --version, and refuse a command line they
// cannot use with status 2 and the usage on standard error.
#include "support/test_support.h"

#include <gtest/gtest.h>
#include <ostream>

using namespace glint::test;

namespace {

struct Invocation {
    const char* name;
    bool tool; // glint-tool, else glint
    const char* arguments;
    int status;
    const char* expected; // text the answering stream holds
};

// Status 0 answers on standard output, everything else on standard error.
const Invocation kInvocations[] = {
    {"PlayerHelp", false, "--help", 0, "usage: glint [GAME_DIR]"},
    {"PlayerShortHelp", false, "-h", 0, "glint prove GAME_DIR"},
    {"PlayerHelpAfterAFolder", false, "games/demo --headless --help", 0, "usage: glint [GAME_DIR]"},
    {"PlayerVersion", false, "--version", 0, "glint 0."},
    {"CheckHelp", false, "check --help", 0, "glint check GAME_DIR"},
    {"ProveHelp", false, "prove --help", 0, "usage: glint prove GAME_DIR"},
    {"PlayerUnknownOption", false, "--fast", 2, "usage: glint [GAME_DIR]"},
    {"PlayerTwoFolders", false, "a b", 2, "usage: glint [GAME_DIR]"},
    {"CheckWithoutFolder", false, "check", 2, "usage: glint check GAME_DIR"},
    {"ProveWithoutFolder", false, "prove", 2, "usage: glint prove GAME_DIR"},
    {"ProveBadSteps", false, "prove games/demo --steps 0", 2, "usage: glint prove GAME_DIR"},
    {"ToolHelp", true, "--help", 0, "glint-tool ship GAME_DIR OUT_DIR"},
    {"ToolVersion", true, "--version", 0, "glint-tool 0."},
    {"ToolWithoutCommand", true, "", 2, "glint-tool pak create"},
    {"ToolUnknownCommand", true, "frobnicate", 2, "unknown command 'frobnicate'"},
    {"AtlasHelp", true, "atlas --help", 0, "glint-tool atlas pack"},
    {"CfgHelp", true, "cfg --help", 0, "glint-tool cfg get"},
    {"FontHelp", true, "font -h", 0, "glint-tool font bake"},
    {"ImageHelp", true, "image --help", 0, "glint-tool image decode"},
    {"PakHelp", true, "pak create --help", 0, "glint-tool pak list"},
    {"SaveHelp", true, "save --help", 0, "glint-tool save dump"},
    {"SceneHelp", true, "scene --help", 0, "glint-tool scene convert"},
    {"ScriptHelp", true, "script run --help", 0, "glint-tool script run"},
    {"ShipHelp", true, "ship --help", 0, "glint-tool ship GAME_DIR OUT_DIR"},
    {"AtlasUsage", true, "atlas", 2, "glint-tool atlas pack"},
    {"CfgUsage", true, "cfg get", 2, "glint-tool cfg get"},
    {"FontUsage", true, "font bake", 2, "glint-tool font bake"},
    {"ImageUsage", true, "image decode a.png", 2, "glint-tool image decode"},
    {"PakUsage", true, "pak create only.pak", 2, "glint-tool pak create"},
    {"SaveUsage", true, "save", 2, "glint-tool save dump"},
    {"SceneUsage", true, "scene convert", 2, "glint-tool scene convert"},
    {"ScriptUsage", true, "script run a.script --ticks x", 2, "glint-tool script run"},
    {"ShipUsage", true, "ship games/demo", 2, "glint-tool ship GAME_DIR OUT_DIR"},
    {"ShipUnknownOption", true, "ship games/demo out --zip", 2, "glint-tool ship GAME_DIR OUT_DIR"},
};

void PrintTo(const Invocation& value, std::ostream* out) { *out << value.name; }

class CommandLine : public ::testing::TestWithParam<Invocation> {};

TEST_P(CommandLine, AnswersWithTheUsageAndItsStatus) {
    const Invocation& call = GetParam();
    std::string program = shellQuote(call.tool ? toolPath() : playerPath());
    CommandResult result =
        runCommand("cd " + shellQuote(sourceDir().string()) + " && " + program + " " + call.arguments);
    EXPECT_EQ(result.status, call.status) << result.err;
    const std::string& answer = call.status == 0 ? result.out : result.err;
    EXPECT_NE(answer.find(call.expected), std::string::npos) << "out: " << result.out << "\nerr: " << result.err;
    if (call.status == 0) {
        EXPECT_EQ(result.err, "");
    }
}

INSTANTIATE_TEST_SUITE_P(Programs, CommandLine, ::testing::ValuesIn(kInvocations),
                         [](const ::testing::TestParamInfo<Invocation>& info) { return std::string(info.param.name); });

} // namespace

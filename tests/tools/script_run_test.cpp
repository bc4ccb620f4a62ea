#include "support/test_support.h"

#include <gtest/gtest.h>

#include <string>

using namespace glint::test;

namespace {

CommandResult scriptRun(const std::string& arguments) {
    return runCommand(shellQuote(toolPath()) + " script run " + arguments);
}

CommandResult runFile(const TempDir& dir, const std::string& text, const std::string& options = "") {
    writeFile(dir / "try.script", text);
    return scriptRun(shellQuote((dir / "try.script").string()) + options);
}

const char* kUsage = "usage: glint-tool script run FILE [--ticks N]\n";

} // namespace

TEST(ScriptRun, InitRunsAtLinkAndErrorsGoToStandardError) {
    TempDir dir;
    CommandResult result = runFile(dir, "init {\n  print \"hello\" 1 2.5 #nothing\n  error \"bad thing\" 7 2.5\n"
                                        "  idiv #a 0.00005\n  print #a\n}\n");
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, "hello 1 2.50 ?\n0\n");
    EXPECT_EQ(result.err, "ERROR in script main: bad thing 7 2.50\n");
}

TEST(ScriptRun, CompileAndLinkErrorsAreReportedAndTheRestRuns) {
    TempDir dir;
    CommandResult result = runFile(dir, "init {\n  set #x 1\n  %x 1\n  print \"still\" #x\n}\n"
                                        "fun caller {\n  call &missing\n  frobnicate 2\n}\n"
                                        "}\ninit {\n  print \"never compiled\"\n}\n");
    EXPECT_EQ(result.status, 0); // script errors never fail the run
    EXPECT_EQ(result.out, "still 1\n");
    EXPECT_EQ(result.err, "ERROR in script main: Invalid command - %x\n"
                          "ERROR in script main: Unexpected end of script\n"
                          "ERROR in script game: Function not defined: game:frobnicate\n"
                          "ERROR in script main: Function not defined: main:missing\n");
}

TEST(ScriptRun, TicksRunTimedActionsSignalsAndAlwaysBlocks) {
    TempDir dir;
    const std::string script = "always {\n  add #n 1\n  print \"tick\" #n\n}\n"
                               "on !ring {\n  print \"rang\" #n\n}\n"
                               "fun later %what {\n  print %what #n\n}\n"
                               "init {\n  after 0.02 {\n    print \"after\" #n\n  }\n"
                               "  signal !ring 0.01\n  call_fx 0.03 &later \"call\"\n  print \"init\"\n}\n";
    struct Case {
        const char* options;
        const char* out;
    } cases[] = {
        {"", "init\n"},
        {" --ticks 0", "init\n"},
        {" --ticks 1", "init\nrang ?\ntick 1\n"},
        {" --ticks 4", "init\nrang ?\ntick 1\nafter 1\ntick 2\ncall 2\ntick 3\ntick 4\n"},
    };
    for (const Case& c : cases) {
        CommandResult result = runFile(dir, script, c.options);
        EXPECT_EQ(result.status, 0) << c.options;
        EXPECT_EQ(result.out, c.out) << c.options;
        EXPECT_EQ(result.err, "") << c.options;
    }
    // Options may come before the file.
    CommandResult result = scriptRun("--ticks 1 " + shellQuote((dir / "try.script").string()));
    EXPECT_EQ(result.out, "init\nrang ?\ntick 1\n");
}

TEST(ScriptRun, CommonScriptsAndIncludesComeFromTheFilesFolder) {
    TempDir dir;
    writeFile(dir / "common_all.script", "fun greet %who {\n  print \"hello\" %who\n}\ndef #order first\n");
    writeFile(dir / "common_all_post.script", "init {\n  print \"post\" #order\n}\n");
    writeFile(dir / "helpers.script", "fun twice %x {\n  mul %x 2\n  print %x\n}\n");
    CommandResult result =
        runFile(dir, "include helpers\ninit {\n  call &greet \"author\"\n  call &twice 21\n}\ndef #order main\n");
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, "hello author\n42\npost main\n");
    EXPECT_EQ(result.err, "");

    // Without them the unit is the file alone, and a byte-order mark is no
    // part of the first word.
    TempDir bare;
    result = runFile(bare, "\xEF\xBB\xBFinit {\n  print \"alone\"\n}\n");
    EXPECT_EQ(result.out, "alone\n");
    EXPECT_EQ(result.err, "");
}

TEST(ScriptRun, UnreadableFilesAndBadArguments) {
    TempDir dir;
    CommandResult missing = scriptRun(shellQuote((dir / "none.script").string()));
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.out, "");
    EXPECT_EQ(missing.err, "glint-tool script: cannot read '" + (dir / "none.script").string() + "'\n");
    CommandResult folder = scriptRun(shellQuote(dir.str()));
    EXPECT_EQ(folder.status, 1);

    writeFile(dir / "ok.script", "init {\n}\n");
    const std::string ok = shellQuote((dir / "ok.script").string());
    for (const std::string& arguments :
         {std::string(""), ok + " --ticks", ok + " --ticks x", ok + " --ticks -1", ok + " --ticks 1.5",
          ok + " --ticks 99999999999", ok + " --fast", ok + " " + ok}) {
        CommandResult result = scriptRun(arguments);
        EXPECT_EQ(result.status, 2) << arguments;
        EXPECT_EQ(result.err, kUsage) << arguments;
    }
    CommandResult noVerb = runCommand(shellQuote(toolPath()) + " script");
    EXPECT_EQ(noVerb.status, 2);
    CommandResult otherVerb = runCommand(shellQuote(toolPath()) + " script check " + ok);
    EXPECT_EQ(otherVerb.status, 2);
    EXPECT_EQ(otherVerb.err, kUsage);
}

// The authors' script reference, docs/scripting.md, against the engine: its
// command list must be the set of commands a started engine registers, and
// its runnable examples must print what the page says they print.
#include "engine_fixture.h"

#include "script/script_system.h"

#include <regex>
#include <set>
#include <string>
#include <vector>

using namespace glint;
using namespace glint::test;

namespace {

std::string reference() { return readFile(sourceDir() / "docs" / "scripting.md"); }

// The names of the items "- `name ...`" under "## Built-in commands".
std::set<std::string> documentedCommands(const std::string& page) {
    std::set<std::string> names;
    size_t section = page.find("\n## Built-in commands\n");
    if (section == std::string::npos) return names;
    std::string rest = page.substr(section);
    std::regex item(R"(\n- `([a-z_][a-z0-9_]*))");
    for (std::sregex_iterator it(rest.begin(), rest.end(), item), end; it != end; ++it)
        names.insert((*it)[1].str());
    return names;
}

std::set<std::string> registeredCommands() {
    std::set<std::string> names;
    for (VariableEntry* entry : script().global().list(KindFunction))
        if (entry->cell && entry->cell->is(ValueType::Function) &&
            entry->cell->as<ScriptFunction>()->impl == FunctionImpl::BuiltIn)
            names.insert(entry->name->text);
    return names;
}

std::string joined(const std::set<std::string>& names) {
    std::string text;
    for (const std::string& name : names) text += " " + name;
    return text;
}

struct Example {
    std::string script;
    std::string ticks;
    std::string output;
};

// A fence "script" or "script ticks=N" followed by a fence "output".
std::vector<Example> runnableExamples(const std::string& page) {
    std::vector<Example> examples;
    std::regex pair("```script( ticks=([0-9]+))?\n([^`]*)```\\s*```output\n([^`]*)```");
    for (std::sregex_iterator it(page.begin(), page.end(), pair), end; it != end; ++it)
        examples.push_back({(*it)[3].str(), (*it)[2].str(), (*it)[4].str()});
    return examples;
}

TEST_F(EngineFixture, TheScriptReferenceListsExactlyTheRegisteredCommands) {
    makeGame();
    start();
    std::set<std::string> registered = registeredCommands();
    std::set<std::string> documented = documentedCommands(reference());
    ASSERT_GT(registered.size(), 100u);
    std::set<std::string> missing, unknown;
    for (const std::string& name : registered)
        if (!documented.count(name)) missing.insert(name);
    for (const std::string& name : documented)
        if (!registered.count(name)) unknown.insert(name);
    EXPECT_EQ(joined(missing), "") << "registered but not documented";
    EXPECT_EQ(joined(unknown), "") << "documented but not registered";
}

TEST(ScriptReference, RunnableExamplesPrintWhatThePageShows) {
    std::vector<Example> examples = runnableExamples(reference());
    ASSERT_GE(examples.size(), 4u);
    TempDir dir;
    for (size_t i = 0; i < examples.size(); ++i) {
        const Example& example = examples[i];
        std::filesystem::path file = dir / ("example" + std::to_string(i) + ".script");
        writeFile(file, example.script);
        std::string ticks = example.ticks.empty() ? "" : " --ticks " + example.ticks;
        CommandResult result =
            runCommand(shellQuote(toolPath()) + " script run " + shellQuote(file.string()) + ticks);
        EXPECT_EQ(result.status, 0) << example.script;
        EXPECT_EQ(result.out, example.output) << example.script;
        EXPECT_EQ(result.err, "") << example.script;
    }
}

} // namespace

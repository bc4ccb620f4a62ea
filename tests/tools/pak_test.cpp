#include "engine/archive_fixtures.h"
#include "support/test_support.h"

#include <gtest/gtest.h>
#include <map>
#include <sstream>

using namespace glint::test;
namespace fs = std::filesystem;

namespace {

CommandResult pak(const std::string& arguments) { return runCommand(shellQuote(toolPath()) + " pak " + arguments); }

std::map<std::string, int> listing(const std::string& archive) {
    CommandResult result = pak("list " + shellQuote(archive));
    EXPECT_EQ(result.status, 0) << result.err;
    std::map<std::string, int> sizes;
    std::istringstream lines(result.out);
    std::string name;
    int size;
    while (lines >> name >> size)
        sizes[name] = size;
    return sizes;
}

std::map<std::string, int> fixtureSizes() {
    std::map<std::string, int> sizes;
    for (const auto& [name, bytes] : fixtureFiles())
        sizes[name] = static_cast<int>(bytes.size());
    return sizes;
}

// Every file under root/data, by name relative to root.
std::map<std::string, std::string> folderContents(const fs::path& root) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(root / "data")) {
        if (entry.is_regular_file())
            files[entry.path().lexically_relative(root).generic_string()] = readFile(entry.path());
    }
    return files;
}

class Pak : public ::testing::Test {
protected:
    void SetUp() override {
        game = dir / "game";
        writeFixtureFolder(game);
    }
    std::string at(const std::string& name) const { return (dir / name).string(); }

    TempDir dir;
    fs::path game;
};

} // namespace

TEST_F(Pak, CatAndListShowEveryEntryOfRealArchives) {
    makeMixedZip(game, at("mixed.zip"));
    makeTar(game, at("gnu.tar"), "gnu");
    makeTar(game, at("ustar.tar"), "ustar");
    for (const char* archive : {"mixed.zip", "gnu.tar", "ustar.tar"}) {
        for (const auto& [name, bytes] : fixtureFiles()) {
            CommandResult result = pak("cat " + shellQuote(at(archive)) + " " + shellQuote(name));
            EXPECT_EQ(result.status, 0) << archive << " " << name << ": " << result.err;
            EXPECT_EQ(result.out, bytes) << archive << " " << name;
        }
        EXPECT_EQ(listing(at(archive)), fixtureSizes()) << archive;
    }
}

TEST_F(Pak, ArchivePathMayBeRelative) {
    makeTar(game, at("gnu.tar"), "gnu");
    CommandResult result =
        runCommand("cd " + shellQuote(dir.str()) + " && " + shellQuote(toolPath()) + " pak cat gnu.tar data/game.cfg");
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, fixtureFiles()["data/game.cfg"]);
}

TEST_F(Pak, CatOfAMissingEntryOrArchiveFails) {
    makeMixedZip(game, at("mixed.zip"));
    // A loose file of the same name must not stand in for the archive's.
    writeFile(dir / "data" / "loose.txt", "loose");
    CommandResult result =
        runCommand("cd " + shellQuote(dir.str()) + " && " + shellQuote(toolPath()) + " pak cat mixed.zip data/loose.txt");
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, "glint-tool pak: no entry 'data/loose.txt' in 'mixed.zip'\n");
    result = pak("cat " + shellQuote(at("absent.zip")) + " data/game.cfg");
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find("cannot open archive"), std::string::npos);
    EXPECT_EQ(pak("list " + shellQuote(at("absent.zip"))).status, 1);
    EXPECT_EQ(pak("cat " + shellQuote(at("mixed.zip"))).status, 2);
}

TEST_F(Pak, CreateRoundTripsTheDataFolder) {
    struct Case {
        const char* flags;
        const char* extract; // the real tool that unpacks it into "out"
    } cases[] = {
        {"", "unzip -q out.pak -d out"},
        {"--encrypt", "unzip -q -P Gl1ntPak out.pak -d out"},
        {"--tar", "mkdir out && tar -xf out.pak -C out"},
    };
    writeFile(game / "notes.txt", "outside data, not packed");
    for (const Case& c : cases) {
        fs::remove_all(dir / "out");
        fs::remove(dir / "out.pak");
        CommandResult made = pak("create " + shellQuote(at("out.pak")) + " " + shellQuote(game.string()) + " " + c.flags);
        ASSERT_EQ(made.status, 0) << c.flags << ": " << made.err;
        EXPECT_NE(made.out.find("pak: wrote '" + at("out.pak") + "': 7 files"), std::string::npos) << made.out;
        mustRun("cd " + shellQuote(dir.str()) + " && " + c.extract);
        EXPECT_EQ(folderContents(dir / "out"), folderContents(game)) << c.flags;
        EXPECT_FALSE(fs::exists(dir / "out" / "notes.txt"));
        for (const auto& [name, bytes] : fixtureFiles())
            EXPECT_EQ(pak("cat " + shellQuote(at("out.pak")) + " " + shellQuote(name)).out, bytes) << c.flags << name;
        EXPECT_EQ(listing(at("out.pak")), fixtureSizes()) << c.flags;
    }
    // Encrypted entries really need the password.
    EXPECT_NE(runCommand("cd " + shellQuote(dir.str()) + " && unzip -o -P wrong -t out.pak").status, 0);
}

TEST_F(Pak, CreateIsDeterministicAndDeflates) {
    for (const char* flags : {"", "--tar"}) {
        ASSERT_EQ(pak("create " + shellQuote(at("a.pak")) + " " + shellQuote(game.string()) + " " + flags).status, 0);
        ASSERT_EQ(pak("create " + shellQuote(at("b.pak")) + " " + shellQuote(game.string()) + " " + flags).status, 0);
        EXPECT_EQ(readFile(dir / "a.pak"), readFile(dir / "b.pak")) << flags;
    }
    CommandResult listed = pak("list " + shellQuote(at("a.pak")));
    std::string sorted;
    for (const auto& [name, size] : fixtureSizes())
        sorted += name + " " + std::to_string(size) + "\n";
    EXPECT_EQ(listed.out, sorted);
    ASSERT_EQ(pak("create " + shellQuote(at("z.pak")) + " " + shellQuote(game.string())).status, 0);
    CommandResult verbose = runCommand("unzip -v " + shellQuote(at("z.pak")));
    EXPECT_NE(verbose.out.find("Defl:N"), std::string::npos) << verbose.out;
    EXPECT_EQ(verbose.out.find("Stored"), std::string::npos) << verbose.out;
}

TEST_F(Pak, CreateReportsProgressEveryHundredFiles) {
    for (int i = 0; i < 243; ++i)
        writeFile(game / "data" / "many" / ("f" + std::to_string(i) + ".txt"), std::to_string(i));
    CommandResult made = pak("create " + shellQuote(at("many.pak")) + " " + shellQuote(game.string()) + " --tar");
    ASSERT_EQ(made.status, 0) << made.err;
    EXPECT_NE(made.out.find("pak: 100 of 250 files\npak: 200 of 250 files\npak: wrote"), std::string::npos) << made.out;
    EXPECT_EQ(made.out.find("300 of"), std::string::npos);
}

TEST_F(Pak, CreateErrors) {
    CommandResult result = pak("create " + shellQuote(at("x.pak")) + " " + shellQuote(at("nowhere")));
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find("no folder '" + at("nowhere") + "/data'"), std::string::npos) << result.err;
    for (const char* flags : {"", "--tar"}) {
        result = pak("create " + shellQuote(at("no/such/folder/x.pak")) + " " + shellQuote(game.string()) + " " + flags);
        EXPECT_EQ(result.status, 1) << flags;
        EXPECT_NE(result.err.find("cannot write '" + at("no/such/folder/x.pak") + "'"), std::string::npos) << result.err;
    }
    EXPECT_EQ(pak("create " + shellQuote(at("x.pak"))).status, 2);
    EXPECT_EQ(pak("create a b --bogus").status, 2);
}

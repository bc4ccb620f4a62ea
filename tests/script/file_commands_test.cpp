// The scripts' file commands: where they may act (only below the game folder
// and the per-user folder), and what each writes and reads.
#include <filesystem>
#include <fstream>

#include "engine/resources/resource.h"
#include "script/array_object.h"
#include "script/file_commands.h"
#include "script_fixture.h"
#include "support/test_support.h"

using namespace glint;
using namespace glint::test;
namespace fs = std::filesystem;

namespace {

// A game folder and a per-user folder side by side, with a file beside
// them that no script may touch, and links from the game to each place.
struct Folders {
    TempDir root;
    ScriptFolders folders{(root / "game").string(), (root / "user").string()};
    Folders() {
        fs::create_directories(root / "game/data");
        fs::create_directories(root / "user");
        fs::create_directories(root / "outside");
        writeFile(root / "victim.txt", "keep me");
        fs::create_directory_symlink(root / "outside", root / "game/data/out_link");
        fs::create_directory_symlink(root / "user", root / "game/data/user_link");
        fs::create_symlink(root / "outside/new.txt", root / "game/data/dangling");
    }
};

struct PathCase {
    const char* name;
    bool fromUser;      // relative to the per-user folder (the log commands)
    const char* path;   // "{root}" stands for the folders' parent
    const char* result; // below {root}; empty when refused
};

void PrintTo(const PathCase& c, std::ostream* os) { *os << c.name; }

std::string filled(std::string text, const std::string& root) {
    size_t at = text.find("{root}");
    return at == std::string::npos ? text : text.replace(at, 6, root);
}

class ConfinedPath : public ::testing::TestWithParam<PathCase> {};

TEST_P(ConfinedPath, LeadsOnlyBelowTheGameOrTheUserFolder) {
    Folders f;
    const PathCase& c = GetParam();
    std::string root = f.root.str();
    std::string expected = *c.result ? root + "/" + c.result : "";
    EXPECT_EQ(confinedPath(f.folders, c.fromUser ? f.folders.user : f.folders.game, filled(c.path, root).c_str()),
              expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ConfinedPath,
    ::testing::Values(PathCase{"InTheGame", false, "data/x.txt", "game/data/x.txt"},
                      PathCase{"BackslashesSeparate", false, "data\\sub\\x.txt", "game/data/sub/x.txt"},
                      PathCase{"DotsAreWorkedOut", false, "./data/../data/./x.txt", "game/data/x.txt"},
                      PathCase{"LogInTheUserFolder", true, "game.log", "user/game.log"},
                      PathCase{"OutAndBackIn", false, "../game/data/x.txt", "game/data/x.txt"},
                      PathCase{"FromTheGameIntoTheUserFolder", false, "../user/x.cfg", "user/x.cfg"},
                      PathCase{"AbsoluteInTheUserFolder", false, "{root}/user/x.cfg", "user/x.cfg"},
                      PathCase{"LinkIntoTheUserFolder", false, "data/user_link/x.cfg", "game/data/user_link/x.cfg"},
                      PathCase{"ClimbingOut", false, "../victim.txt", ""},
                      PathCase{"ClimbingOutOfTheUserFolder", true, "../victim.txt", ""},
                      PathCase{"ClimbingOutDeep", false, "data/../../../../etc/passwd", ""},
                      PathCase{"AbsoluteElsewhere", false, "/etc/passwd", ""},
                      PathCase{"AbsoluteBesideTheFolders", false, "{root}/victim.txt", ""},
                      PathCase{"NetworkShare", false, "\\\\server\\share\\x", ""},
                      PathCase{"DriveLetter", false, "C:/x.txt", ""},
                      PathCase{"TheFolderItself", false, "", ""},
                      PathCase{"TheUserFolderItself", false, "../user", ""},
                      PathCase{"LinkOutOfTheGame", false, "data/out_link/x.txt", ""},
                      PathCase{"DanglingLink", false, "data/dangling", ""},
                      PathCase{"SiblingWithTheSamePrefix", false, "../game2/x.txt", ""}),
    [](const ::testing::TestParamInfo<PathCase>& info) { return std::string(info.param.name); });

// A script system whose file commands act on the folders of Folders.
class FileCommands : public ScriptFixture {
protected:
    FileCommands() {
        resourceInit(); // texts are read through the resource layer
        registerFileCommands(&f.folders);
    }
    ~FileCommands() override { registerFileCommands(nullptr); }
    fs::path game(const std::string& path) { return f.root / "game" / path; }
    fs::path user(const std::string& path) { return f.root / "user" / path; }
    std::vector<std::string> items(const char* name) {
        std::vector<std::string> out;
        for (Value* item : value(name).as<ArrayObject>()->items) out.push_back(item ? valueText(*item) : "<empty>");
        return out;
    }

    Folders f;
};

TEST_F(FileCommands, LinesRoundTripWithCrLfAndEmptyLinesForNonTexts) {
    writeFile(game("data/three.txt"), "a\n\r\nb");
    load("init {\n"
         "  set #out[1] \"first\"\n  set #out[2] 7\n  set #out[4] \"last\"\n"
         "  write_lines #out[] \"data/lines.txt\"\n  read_lines #back[] \"data/lines.txt\"\n"
         "  read_lines #three[] \"data/three.txt\"\n"
         "  set #gone[1] \"x\"\n  read_lines #gone[] \"data/missing.txt\"\n"
         "}\n");
    EXPECT_EQ(readFile(game("data/lines.txt")), "first\r\n\r\n\r\nlast\r\n");
    EXPECT_EQ(items("back[]"), (std::vector<std::string>{"first", "", "", "last"}));
    EXPECT_EQ(items("three[]"), (std::vector<std::string>{"a", "", "b"}));
    EXPECT_TRUE(items("gone[]").empty());
}

TEST_F(FileCommands, ReadLinesIsBoundedInLinesAndBytes) {
    std::ofstream(game("data/huge.txt")) << "a\n";
    fs::resize_file(game("data/huge.txt"), kMaxReadLinesBytes + 1); // sparse: no time to write
    load("init {\n  set #huge[1] \"x\"\n  read_lines #huge[] \"data/huge.txt\"\n}\n");
    EXPECT_TRUE(items("huge[]").empty());
    EXPECT_TRUE(traced("read_lines: 'data/huge.txt' is larger than")) << traceText();

    char text[] = "a\nb\nc\n";
    ArrayObject array(intern("lines[]"), &scene.scope, 0);
    EXPECT_FALSE(appendTextLines(text, array, 2));
    EXPECT_EQ(array.count(), 2);
}

TEST_F(FileCommands, ConfigurationKeysRoundTrip) {
    load("init {\n"
         "  write_cfg \"data/saves/progress.cfg\" level \"3\"\n  write_cfg \"data/saves/progress.cfg\" name \"Anna\"\n"
         "  write_cfg \"data/saves/progress.cfg\" level \"4\"\n  write_cfg \"data/saves/progress.cfg\" name \"\"\n"
         "  read_cfg #level \"data/saves/progress.cfg\" level\n  read_cfg #name \"data/saves/progress.cfg\" name\n"
         "  set #nokey 1\n  read_cfg #nokey \"data/saves/progress.cfg\" 5\n"
         "  write_cfg \"data/saves/progress.cfg\" count 5\n"
         "}\n");
    // The removed key leaves an empty line, which the next rewrite drops.
    EXPECT_EQ(readFile(game("data/saves/progress.cfg")), "level=4\r\n\r\n");
    EXPECT_EQ(text("level"), "4");
    ASSERT_TRUE(value("name").isString());
    EXPECT_EQ(text("name"), "");
    EXPECT_TRUE(value("nokey").isNone());
}

// The side file of a replacement cannot be made (a folder holds its name):
// the old content stays whole.
TEST_F(FileCommands, AWriteThatCannotFinishKeepsTheOldFile) {
    writeFile(game("data/list.txt"), "old\r\n");
    writeFile(game("data/keys.cfg"), "level=1\r\n");
    fs::create_directories(game("data/list.txt.part"));
    fs::create_directories(game("data/keys.cfg.part"));
    load("init {\n"
         "  set #out[1] \"new\"\n  write_lines #out[] \"data/list.txt\"\n"
         "  write_cfg \"data/keys.cfg\" level \"2\"\n"
         "}\n");
    EXPECT_EQ(readFile(game("data/list.txt")), "old\r\n");
    EXPECT_EQ(readFile(game("data/keys.cfg")), "level=1\r\n");
}

TEST_F(FileCommands, LogsLiveInTheUserFolder) {
    writeFile(user("game.log"), "old line\n");
    load("init {\n"
         "  fcreatelog \"game.log\"\n  flog \"game.log\" score 12.5\n  flog \"game.log\"\n"
         "  fcreatelog \"gone.log\"\n  fdeletelog \"gone.log\"\n"
         "}\n");
    EXPECT_EQ(readFile(user("game.log")), "score 12.50\n\n");
    EXPECT_FALSE(fs::exists(user("gone.log")));
}

TEST_F(FileCommands, TouchMakesTheFolderAndKeepsContentDeleteRemovesFilesOnly) {
    writeFile(game("data/kept.txt"), "content");
    fs::create_directories(game("data/folder"));
    load("init {\n"
         "  ftouch \"data/new/marker\"\n  ftouch \"data/kept.txt\"\n"
         "  ftouch \"data/doomed\"\n  fdelete \"data/doomed\"\n  fdelete \"data/folder\"\n"
         "}\n");
    EXPECT_TRUE(fs::is_regular_file(game("data/new/marker")));
    EXPECT_EQ(readFile(game("data/kept.txt")), "content");
    EXPECT_FALSE(fs::exists(game("data/doomed")));
    EXPECT_TRUE(fs::is_directory(game("data/folder")));
}

// Every command refuses a place outside both folders with a script error
// and leaves the file there alone.
TEST_F(FileCommands, PlacesOutsideBothFoldersAreRefused) {
    std::string victim = (f.root / "victim.txt").string();
    writeFile(f.root / "outside/secret.cfg", "key=secret\r\nline\r\n");
    load("init {\n"
         "  ftouch \"../touched\"\n  fdelete \"" + victim + "\"\n  fdeletelog \"../victim.txt\"\n"
         "  fcreatelog \"../victim.txt\"\n  flog \"../victim.txt\" more\n"
         "  set #out[1] \"x\"\n  write_lines #out[] \"../victim.txt\"\n"
         "  read_lines #out[] \"data/out_link/secret.cfg\"\n"
         "  read_cfg #secret \"../outside/secret.cfg\" key\n"
         "  write_cfg \"data/out_link/secret.cfg\" key other\n  write_cfg \"data/dangling\" key other\n"
         "}\n");
    EXPECT_EQ(readFile(victim), "keep me");
    EXPECT_FALSE(fs::exists(f.root / "touched"));
    EXPECT_EQ(readFile(f.root / "outside/secret.cfg"), "key=secret\r\nline\r\n");
    EXPECT_FALSE(fs::exists(f.root / "outside/new.txt"));
    EXPECT_TRUE(items("out[]").empty());
    EXPECT_EQ(text("secret"), "");
    EXPECT_EQ(tracedCount("is outside the game folder and the user folder"), 10) << traceText();
    EXPECT_TRUE(traced("fdelete: '" + victim + "' is outside")) << traceText();
}

} // namespace

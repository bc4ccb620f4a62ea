#include "engine/resources/resource_paths.h"

#include <gtest/gtest.h>
#include <string>

using namespace glint;

namespace {

std::string resolved(const char* dataPath, const std::string& path) {
    char out[kResourcePathBuffer];
    int length = resolveDataPathWith(dataPath, path.c_str(), out);
    EXPECT_EQ(length, static_cast<int>(std::string(out).size()));
    return out;
}

std::string archiveName(const char* dataPath, const std::string& path) {
    char out[kResourcePathBuffer];
    archiveEntryName(dataPath, path.c_str(), out);
    return out;
}

} // namespace

TEST(ResourcePaths, ResolveDataPath) {
    struct Case {
        const char* path;
        const char* expected;
    } cases[] = {
        {"data/game.cfg", "/games/demo/data/game.cfg"},
        {"data\\s\\hall.scene", "/games/demo/data/s/hall.scene"},
        {"\\data\\game.cfg", "/games/demo/data/game.cfg"}, // one leading backslash is dropped
        {":data/game.cfg", "/games/demo/data/game.cfg"},
        {"/usr/share/x.png", "/usr/share/x.png"},          // the native root stays absolute
        {"/usr\\share\\x.png", "/usr/share/x.png"},
        {"C:\\games\\x.png", "C:/games/x.png"},            // drive letters are copied as they are
        {"\\\\server\\share\\x", "//server/share/x"},      // so are network shares
        {"", "/games/demo/"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(resolved("/games/demo", c.path), c.expected) << c.path;
}

TEST(ResourcePaths, ResolveDataPathFromTheRootFolder) {
    // An executable in "/" has the empty data path.
    EXPECT_EQ(resolved("", "data.pak"), "/data.pak");
}

TEST(ResourcePaths, LongPathsAreCutNeverOverflow) {
    std::string longName(400, 'a');
    EXPECT_EQ(resolved("/games/demo", longName), ("/games/demo/" + longName).substr(0, 259));
    EXPECT_EQ(resolved("/games/demo", "/" + longName), ("/" + longName).substr(0, 259));
    EXPECT_EQ(resolved(std::string(300, 'p').c_str(), "x"), std::string(259, 'p'));
    EXPECT_EQ(archiveName("", longName), longName.substr(0, 259));
}

TEST(ResourcePaths, ArchiveEntryNames) {
    struct Case {
        const char* path;
        const char* expected;
    } cases[] = {
        {"/games/demo/data/game.cfg", "data/game.cfg"},
        {"/games/demo\\data\\game.cfg", "data/game.cfg"},  // backslashes and the absolute data path
        {"/games/demo:data/game.cfg", "data/game.cfg"},
        {"data/game.cfg", "data/game.cfg"},                 // already relative
        {"/games/demobar/data/x", "/games/demobar/data/x"}, // not inside the data path
        {"/games/demo", ""},
        {"/Games/demo/data/game.cfg", "/Games/demo/data/game.cfg"}, // the prefix test is case-sensitive
    };
    for (const Case& c : cases)
        EXPECT_EQ(archiveName("/games/demo", c.path), c.expected) << c.path;
}

TEST(ResourcePaths, DiskNamesUseTheNativeSeparator) {
    char out[kResourcePathBuffer];
    diskEntryName("data\\s\\hall\\_hall.scene", out);
    EXPECT_STREQ(out, "data/s/hall/_hall.scene");
}

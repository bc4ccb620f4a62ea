// The mount list and the order in which the lookups ask their sources. The
// tests run inside the game folder, as the game does: relative paths are
// both the archive's entry names and the disk's paths.
#include "engine/archive_fixtures.h"
#include "engine/resources/resource.h"
#include "engine/resources/resource_archive.h"
#include "engine/system/log.h"

#include <gtest/gtest.h>
#include <unistd.h>

using namespace glint;
using namespace glint::test;

namespace {

class Lookup : public ::testing::Test {
protected:
    void SetUp() override {
        previous = std::filesystem::current_path();
        std::filesystem::current_path(dir.path());
        writeFile(dir / "src" / "data" / "game.cfg", "archived");
        writeFile(dir / "src" / "data" / "only_archived.txt", "inside");
        writeFile(dir / "data" / "game.cfg", "loose");
        writeFile(dir / "data" / "only_loose.txt", "outside");
        mustRun("cd src && zip -q -r ../data.zip data");
        mustRun("tar --format=gnu -cf data.tar -C src data");
        resourceInit();
        clearMemoryLog();
    }
    void TearDown() override {
        resourceSetTracing(false);
        resourceShutdown();
        std::filesystem::current_path(previous);
    }

    std::string load(const char* path) {
        char* data = nullptr;
        int32_t size = 0;
        if (!resourceLoadFile(path, &data, &size))
            return "<missing>";
        std::string bytes(data, static_cast<size_t>(size));
        delete[] data;
        return bytes;
    }

    // Opens, seeks to the end, tells the size, seeks back and reads, as the
    // text loader does.
    std::string stream(const char* path) {
        KResourceStream holder;
        if (holder.open(path) != K_RES_OK)
            return "<missing>";
        int32_t size = 0;
        EXPECT_EQ(holder.file()->seek(K_SEEK_END, 0), K_RES_OK);
        EXPECT_EQ(holder.file()->tell(&size), K_RES_OK);
        EXPECT_EQ(holder.file()->seek(K_SEEK_SET, 0), K_RES_OK);
        std::string bytes(static_cast<size_t>(size), '?');
        EXPECT_EQ(holder.file()->read(bytes.data(), static_cast<uint32_t>(size)), K_RES_OK);
        return bytes;
    }

    TempDir dir;
    std::filesystem::path previous;
};

} // namespace

TEST_F(Lookup, ArchiveFirstForLoadsAndInfoDiskFirstForStreams) {
    for (const char* archive : {"data.zip", "data.tar"}) {
        resourceShutdown();
        resourceInit();
        ASSERT_EQ(resourceMountArchive(archive), K_RES_OK);
        EXPECT_EQ(load("data/game.cfg"), "archived") << archive;
        EXPECT_EQ(stream("data/game.cfg"), "loose") << archive;
        KResourceEntryInfo info;
        ASSERT_TRUE(resourceGetInfo("data/game.cfg", &info));
        EXPECT_EQ(info.inArchive, 1);
        // Each source fills in for the other.
        EXPECT_EQ(load("data/only_loose.txt"), "outside") << archive;
        EXPECT_EQ(stream("data/only_archived.txt"), "inside") << archive;
        ASSERT_TRUE(resourceGetInfo("data/only_loose.txt", &info));
        EXPECT_EQ(info.inArchive, 0);
        EXPECT_EQ(info.size, 7);
        EXPECT_NE(info.modificationTime, 0);
        EXPECT_FALSE(resourceGetInfo("data/nowhere.txt", &info));
        EXPECT_EQ(load("data/nowhere.txt"), "<missing>");
        EXPECT_EQ(stream("data/nowhere.txt"), "<missing>");
    }
}

TEST_F(Lookup, BackslashesAndCaseOfArchiveNames) {
    ASSERT_EQ(resourceMountArchive("data.zip"), K_RES_OK);
    ASSERT_EQ(resourceMountArchive("data.tar"), K_RES_OK);
    EXPECT_EQ(load("data\\only_archived.txt"), "inside");
    EXPECT_EQ(stream("data\\only_loose.txt"), "outside");
    resourceShutdown();
    resourceInit();
    // Zip names ignore case, tar names do not.
    ASSERT_EQ(resourceMountArchive("data.zip"), K_RES_OK);
    EXPECT_EQ(load("DATA/ONLY_ARCHIVED.TXT"), "inside");
    resourceShutdown();
    resourceInit();
    ASSERT_EQ(resourceMountArchive("data.tar"), K_RES_OK);
    EXPECT_EQ(load("DATA/ONLY_ARCHIVED.TXT"), "<missing>");
}

TEST_F(Lookup, TracingNamesTheSourceOfEachFile) {
    ASSERT_EQ(resourceMountArchive("data.zip"), K_RES_OK);
    resourceSetTracing(true);
    clearMemoryLog();
    load("data/game.cfg");
    stream("data/game.cfg");
    load("data/nowhere.txt");
    std::string log = memoryLog();
    EXPECT_NE(log.find("Resource: opened 'data/game.cfg' (archive)"), std::string::npos) << log;
    EXPECT_NE(log.find("Resource: opened 'data/game.cfg' (filesystem)"), std::string::npos) << log;
    EXPECT_NE(log.find("Resource: failed to open 'data/nowhere.txt'"), std::string::npos) << log;
}

TEST_F(Lookup, MissingArchiveFallsThroughToTheDisk) {
    EXPECT_EQ(resourceMountArchive("absent.pak"), K_RES_ERR_ARCHIVE);
    std::string log = memoryLog();
    std::string line = "Resource: missing archive 'absent.pak'";
    ASSERT_NE(log.find(line), std::string::npos) << log;
    EXPECT_EQ(log.find(line), log.rfind(line));
    EXPECT_EQ(load("data/game.cfg"), "loose");
    EXPECT_EQ(load("data/only_archived.txt"), "<missing>");
}

TEST_F(Lookup, AFileThatIsNoZipMountsAsTar) {
    writeFile(dir / "junk.pak", std::string(3000, 'j'));
    EXPECT_EQ(resourceMountArchive("junk.pak"), K_RES_OK);
    EXPECT_NE(memoryLog().find("Resource: archive 'junk.pak' seems to be invalid, WARNING"), std::string::npos);
    EXPECT_NE(memoryLog().find("Resource: added archive 'junk.pak' with 0 entries"), std::string::npos);
    EXPECT_EQ(load("data/game.cfg"), "loose");
}

TEST_F(Lookup, FoldersOnDiskAreNoFiles) {
    EXPECT_EQ(load("data"), "<missing>");
    KResourceStream holder;
    EXPECT_EQ(holder.open("data"), K_RES_ERR_OPEN);
    EXPECT_EQ(holder.file(), nullptr);
    KResourceEntryInfo info;
    ASSERT_TRUE(resourceGetInfo("data", &info));
    EXPECT_EQ(info.isDirectory, 1);
}

TEST_F(Lookup, StreamsCloseOnReopenAndTarFilesOutliveTheirArchive) {
    ASSERT_EQ(resourceMountArchive("data.tar"), K_RES_OK);
    KResourceStream holder;
    ASSERT_EQ(holder.open("data/only_archived.txt"), K_RES_OK);
    ASSERT_EQ(holder.open("data/only_loose.txt"), K_RES_OK); // the first file is closed, not leaked
    ASSERT_EQ(holder.open("data/only_archived.txt"), K_RES_OK);
    resourceShutdown();
    char bytes[6];
    EXPECT_EQ(holder.file()->read(bytes, 6), K_RES_OK);
    EXPECT_EQ(std::string(bytes, 6), "inside");
    holder.close();
    EXPECT_EQ(holder.file(), nullptr);
}

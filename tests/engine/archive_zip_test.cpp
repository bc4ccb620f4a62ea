#include "engine/archive_fixtures.h"
#include "engine/resources/resource_zip.h"
#include "engine/system/log.h"

#include <cstring>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

using namespace glint;
using namespace glint::test;

namespace {

class ZipArchive : public ::testing::Test {
protected:
    void SetUp() override {
        writeFixtureFolder(dir / "game");
        makeMixedZip(dir / "game", path());
    }
    std::string path() const { return (dir / "mixed.zip").string(); }

    std::string load(KResourceArchive& archive, const char* name) {
        char* data = nullptr;
        int32_t size = -1;
        if (!archive.loadFile(name, &data, &size))
            return "<missing>";
        EXPECT_EQ(data[size], 0) << name;
        std::string bytes(data, static_cast<size_t>(size));
        delete[] data;
        return bytes;
    }

    TempDir dir;
};

} // namespace

TEST_F(ZipArchive, LoadsStoredDeflatedAndEncryptedEntries) {
    KResourceArchiveZip zip;
    clearMemoryLog();
    ASSERT_EQ(zip.open(path().c_str(), 0, "Gl1ntPak"), K_RES_OK);
    EXPECT_NE(memoryLog().find("Resource: added archive '" + path() + "' with 8 entries"), std::string::npos)
        << memoryLog();
    for (const auto& [name, bytes] : fixtureFiles()) {
        EXPECT_EQ(load(zip, name.c_str()), bytes) << name;
        std::unique_ptr<KResourceFile> file(zip.openFile(name.c_str()));
        ASSERT_TRUE(file) << name;
        std::string streamed(bytes.size(), '?');
        EXPECT_EQ(file->read(streamed.data(), static_cast<uint32_t>(streamed.size())), K_RES_OK);
        EXPECT_EQ(streamed, bytes) << name;
    }
}

TEST_F(ZipArchive, NamesMatchIgnoringAsciiCaseButNotLength) {
    KResourceArchiveZip zip;
    ASSERT_EQ(zip.open(path().c_str(), 0, "Gl1ntPak"), K_RES_OK);
    EXPECT_EQ(load(zip, "DATA/GAME.CFG"), fixtureFiles()["data/game.cfg"]);
    EXPECT_EQ(load(zip, "data/game.cf"), "<missing>");
    EXPECT_EQ(load(zip, "data/game.cfg "), "<missing>");
    EXPECT_EQ(load(zip, "data\\game.cfg"), "<missing>"); // separators are the lookup's job
}

TEST_F(ZipArchive, InfoOfFilesAndDirectories) {
    KResourceArchiveZip zip;
    ASSERT_EQ(zip.open(path().c_str(), 0, "Gl1ntPak"), K_RES_OK);
    KResourceEntryInfo info;
    ASSERT_TRUE(zip.getInfo("data/noise.bin", &info));
    EXPECT_EQ(info.size, 3000);
    EXPECT_EQ(info.inArchive, 1);
    EXPECT_EQ(info.isDirectory, 0);
    EXPECT_NEAR(static_cast<double>(info.modificationTime), static_cast<double>(std::time(nullptr)), 600.0);
    // Directory entries are found and said to be directories, but do not load.
    ASSERT_TRUE(zip.getInfo("data/s/", &info));
    EXPECT_EQ(info.isDirectory, 1);
    EXPECT_EQ(load(zip, "data/s/"), "<missing>");
    EXPECT_EQ(zip.openFile("data/s/"), nullptr);
    EXPECT_FALSE(zip.getInfo("data/nothing", &info));
}

TEST_F(ZipArchive, ZeroLengthEntryLoadsAsOneZeroByte) {
    KResourceArchiveZip zip;
    ASSERT_EQ(zip.open(path().c_str(), 0, "Gl1ntPak"), K_RES_OK);
    char* data = nullptr;
    int32_t size = -1;
    ASSERT_TRUE(zip.loadFile("data/empty.txt", &data, &size));
    EXPECT_EQ(size, 0);
    EXPECT_EQ(data[0], 0);
    delete[] data;
}

TEST_F(ZipArchive, WrongPasswordAndDamagedDataFailInsteadOfReturningGarbage) {
    KResourceArchiveZip wrong;
    ASSERT_EQ(wrong.open(path().c_str(), 0, "NotThePw"), K_RES_OK);
    EXPECT_EQ(load(wrong, "data/secret_stored.bin"), "<missing>");
    EXPECT_EQ(load(wrong, "data/secret.txt"), "<missing>");
    EXPECT_EQ(load(wrong, "data/noise.bin"), fixtureFiles()["data/noise.bin"]); // plain entries need none

    // Flip one byte inside the stored noise entry: the crc no longer matches.
    std::string bytes = readFile(path());
    std::string noise = fixtureFiles()["data/noise.bin"];
    size_t at = bytes.find(noise.substr(0, 64));
    ASSERT_NE(at, std::string::npos);
    bytes[at + 100] ^= 0x40;
    writeFile(dir / "damaged.zip", bytes);
    KResourceArchiveZip damaged;
    ASSERT_EQ(damaged.open((dir / "damaged.zip").c_str(), 0, "Gl1ntPak"), K_RES_OK);
    clearMemoryLog();
    EXPECT_EQ(load(damaged, "data/noise.bin"), "<missing>");
    EXPECT_NE(memoryLog().find("Resource: cannot read 'data/noise.bin' from the archive, WARNING"), std::string::npos);
}

TEST_F(ZipArchive, OneEntryIsCountedInTheSingular) {
    mustRun("cd " + shellQuote((dir / "game").string()) + " && zip -q ../one.zip data/game.cfg");
    KResourceArchiveZip zip;
    clearMemoryLog();
    ASSERT_EQ(zip.open((dir / "one.zip").c_str(), 0, "Gl1ntPak"), K_RES_OK);
    EXPECT_NE(memoryLog().find("with 1 entry\n"), std::string::npos) << memoryLog();
}

TEST_F(ZipArchive, NotAZipFileIsRefused) {
    writeFile(dir / "plain.txt", "not a zip at all\n");
    KResourceArchiveZip zip;
    EXPECT_EQ(zip.open((dir / "plain.txt").c_str(), 0, ""), K_RES_ERR_ARCHIVE);
    EXPECT_EQ(zip.open((dir / "absent.zip").c_str(), 0, ""), K_RES_ERR_ARCHIVE);
}

TEST_F(ZipArchive, EnumerateReportsDirectChildren) {
    KResourceArchiveZip zip;
    ASSERT_EQ(zip.open(path().c_str(), 0, "Gl1ntPak"), K_RES_OK);
    std::vector<std::string> children;
    auto collect = [](const char* name, bool isDirectory, void* user) {
        static_cast<std::vector<std::string>*>(user)->push_back(std::string(name) + (isDirectory ? "/" : ""));
        return true;
    };
    EXPECT_TRUE(zip.enumerate("data", collect, &children));
    EXPECT_EQ(children, (std::vector<std::string>{"noise.bin", "empty.txt", "game.cfg", "secret.txt",
                                                  "secret_stored.bin", "s/"}));
    auto stopAtFirst = [](const char*, bool, void*) { return false; };
    EXPECT_FALSE(zip.enumerate("data", stopAtFirst, nullptr));
    children.clear();
    EXPECT_TRUE(zip.enumerate("dat", collect, &children)); // "dat" is no folder of "data/..."
    EXPECT_TRUE(children.empty());
}

TEST_F(ZipArchive, ImplausibleSizesAreRefusedBeforeAllocating) {
    // The central record of the stored noise entry claims almost 2 GiB.
    std::string bytes = readFile(path());
    size_t record = bytes.find(std::string("PK\x01\x02", 4));
    ASSERT_NE(record, std::string::npos);
    ASSERT_EQ(bytes.substr(record + 46, 14), "data/noise.bin");
    const char huge[4] = {'\xf0', '\xff', '\xff', '\x7f'};
    std::memcpy(bytes.data() + record + 24, huge, 4);
    writeFile(dir / "huge.zip", bytes);
    KResourceArchiveZip zip;
    ASSERT_EQ(zip.open((dir / "huge.zip").c_str(), 0, "Gl1ntPak"), K_RES_OK);
    EXPECT_EQ(load(zip, "data/noise.bin"), "<missing>");
    EXPECT_EQ(zip.openFile("data/noise.bin"), nullptr);
    EXPECT_EQ(load(zip, "data/game.cfg"), fixtureFiles()["data/game.cfg"]);
}

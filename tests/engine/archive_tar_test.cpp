#include "engine/archive_fixtures.h"
#include "engine/resources/resource_tar.h"
#include "engine/system/log.h"

#include <cstring>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

using namespace glint;
using namespace glint::test;

namespace {

class TarArchive : public ::testing::Test {
protected:
    void SetUp() override { writeFixtureFolder(dir / "game"); }

    std::string make(const std::string& format) {
        std::string out = (dir / (format + ".tar")).string();
        makeTar(dir / "game", out, format);
        return out;
    }

    // A one-file archive made by tar from the given folder entry.
    std::string singleFileTar(const std::string& name, const std::string& bytes) {
        writeFile(dir / "single" / name, bytes);
        std::string out = (dir / ("single" + std::to_string(++made) + ".tar")).string();
        mustRun("tar --format=gnu -cf " + shellQuote(out) + " -C " + shellQuote((dir / "single").string()) + " " +
                shellQuote(name));
        return readFile(out);
    }

    std::string load(KResourceArchive& archive, const std::string& name) {
        char* data = nullptr;
        int32_t size = -1;
        if (!archive.loadFile(name.c_str(), &data, &size))
            return "<missing>";
        EXPECT_EQ(data[size], 0) << name;
        std::string bytes(data, static_cast<size_t>(size));
        delete[] data;
        return bytes;
    }

    std::string write(const std::string& name, const std::string& bytes) {
        writeFile(dir / name, bytes);
        return (dir / name).string();
    }

    TempDir dir;
    int made = 0;
};

} // namespace

TEST_F(TarArchive, ReadsGnuAndUstarArchivesOfRealTar) {
    for (const char* format : {"gnu", "ustar"}) {
        std::string path = make(format);
        KResourceArchiveTar tar;
        clearMemoryLog();
        ASSERT_EQ(tar.open(path.c_str(), 0, ""), K_RES_OK);
        // Only the top folder "data" is counted, not every entry.
        EXPECT_NE(memoryLog().find("Resource: added archive '" + path + "' with 1 entry\n"), std::string::npos)
            << memoryLog();
        for (const auto& [name, bytes] : fixtureFiles())
            EXPECT_EQ(load(tar, name), bytes) << format << " " << name;
        KResourceEntryInfo info;
        ASSERT_TRUE(tar.getInfo("data/s/hall", &info));
        EXPECT_EQ(info.isDirectory, 1);
        ASSERT_TRUE(tar.getInfo(longPath().c_str(), &info));
        EXPECT_EQ(info.isDirectory, 0);
        EXPECT_EQ(info.inArchive, 1);
        EXPECT_EQ(info.size, 9);
        EXPECT_NEAR(static_cast<double>(info.modificationTime), static_cast<double>(std::time(nullptr)), 600.0);
    }
}

TEST_F(TarArchive, NamesAreCaseSensitiveAndDirectoriesDoNotLoad) {
    KResourceArchiveTar tar;
    ASSERT_EQ(tar.open(make("gnu").c_str(), 0, ""), K_RES_OK);
    EXPECT_EQ(load(tar, "DATA/GAME.CFG"), "<missing>");
    EXPECT_EQ(load(tar, "data/s"), "<missing>");
    EXPECT_EQ(tar.openFile("data/s"), nullptr);
    EXPECT_EQ(load(tar, "data/game.cfg/x"), "<missing>");
    EXPECT_EQ(load(tar, "data//game.cfg"), "<missing>");
    EXPECT_EQ(load(tar, "data/" + std::string(256, 'x')), "<missing>");
}

TEST_F(TarArchive, ZeroLengthEntryLoadsAsOneZeroByte) {
    KResourceArchiveTar tar;
    ASSERT_EQ(tar.open(make("ustar").c_str(), 0, ""), K_RES_OK);
    char* data = nullptr;
    int32_t size = -1;
    ASSERT_TRUE(tar.loadFile("data/empty.txt", &data, &size));
    EXPECT_EQ(size, 0);
    EXPECT_EQ(data[0], 0);
    delete[] data;
}

TEST_F(TarArchive, NameOfExactlyOneHundredCharactersIsKeptWhole) {
    // GNU tar fills the whole name field and writes no long-name header.
    std::string name(100, 'n');
    std::string bytes = singleFileTar(name, "full");
    KResourceArchiveTar tar;
    ASSERT_EQ(tar.open(write("hundred.tar", bytes).c_str(), 0, ""), K_RES_OK);
    EXPECT_EQ(load(tar, name), "full");
}

TEST_F(TarArchive, LongNamesAreCutAt259Characters) {
    std::string name;
    for (int i = 0; i < 6; ++i)
        name += std::string(49, static_cast<char>('a' + i)) + "/";
    name += "file.txt"; // 308 characters
    std::string bytes = singleFileTar(name, "deep");
    KResourceArchiveTar tar;
    ASSERT_EQ(tar.open(write("deep.tar", bytes).c_str(), 0, ""), K_RES_OK);
    EXPECT_EQ(load(tar, name.substr(0, 259)), "deep");
    EXPECT_EQ(load(tar, name), "<missing>");
}

TEST_F(TarArchive, ZeroBlocks) {
    std::string first = singleFileTar("first.txt", "one").substr(0, 1024);
    std::string second = singleFileTar("second.txt", "two").substr(0, 1024);
    std::string zero(512, '\0');
    struct Case {
        const char* what;
        std::string bytes;
        bool secondFound;
    } cases[] = {
        {"one zero block goes on", first + zero + second + zero + zero, true},
        {"two zero blocks end the archive", first + zero + zero + second + zero + zero, false},
        {"no end marker at all", first + second, true},
    };
    for (const Case& c : cases) {
        KResourceArchiveTar tar;
        ASSERT_EQ(tar.open(write("zeros.tar", c.bytes).c_str(), 0, ""), K_RES_OK) << c.what;
        EXPECT_EQ(load(tar, "first.txt"), "one") << c.what;
        EXPECT_EQ(load(tar, "second.txt"), c.secondFound ? "two" : "<missing>") << c.what;
    }
}

TEST_F(TarArchive, BadHeadersStopTheWalkWithAWarning) {
    std::string first = singleFileTar("first.txt", "one").substr(0, 1024);
    std::string second = singleFileTar("second.txt", "two").substr(0, 1024);
    std::string damaged = second;
    damaged[10] ^= 1; // the checksum no longer matches
    std::string negative = second;
    std::memcpy(negative.data() + 124, "-0000000001", 11);
    unsigned sum = 0;
    std::memset(negative.data() + 148, ' ', 8);
    for (int i = 0; i < 512; ++i)
        sum += static_cast<unsigned char>(negative[i]);
    std::snprintf(negative.data() + 148, 8, "%06o", sum);

    for (const std::string& bad : {damaged, negative}) {
        std::string path = write("bad.tar", first + bad + singleFileTar("third.txt", "three"));
        KResourceArchiveTar tar;
        clearMemoryLog();
        ASSERT_EQ(tar.open(path.c_str(), 0, ""), K_RES_OK);
        EXPECT_NE(memoryLog().find("Resource: archive '" + path + "' seems to be invalid, WARNING"), std::string::npos);
        EXPECT_EQ(load(tar, "first.txt"), "one"); // what was read before stays usable
        EXPECT_EQ(load(tar, "second.txt"), "<missing>");
        EXPECT_EQ(load(tar, "third.txt"), "<missing>");
    }
}

TEST_F(TarArchive, TruncatedEntryIsListedButDoesNotLoad) {
    std::string bytes = singleFileTar("noise.bin", noise(2000, 3));
    KResourceArchiveTar tar;
    ASSERT_EQ(tar.open(write("cut.tar", bytes.substr(0, 1500)).c_str(), 0, ""), K_RES_OK);
    KResourceEntryInfo info;
    ASSERT_TRUE(tar.getInfo("noise.bin", &info));
    EXPECT_EQ(info.size, 2000);
    EXPECT_EQ(load(tar, "noise.bin"), "<missing>");
    std::unique_ptr<KResourceFile> file(tar.openFile("noise.bin"));
    ASSERT_TRUE(file);
    std::string part(2000, '?');
    EXPECT_EQ(file->read(part.data(), 2000), K_RES_ERR_IO);
    EXPECT_EQ(part.substr(0, 988), noise(2000, 3).substr(0, 988));
}

TEST_F(TarArchive, FileUsedAsFolderIsSkipped) {
    // "a" is a file, then "a/b" would need it to be a folder.
    std::string a = singleFileTar("a", "file a").substr(0, 1024);
    std::filesystem::remove(dir / "single" / "a");
    std::string ab = singleFileTar("a/b", "file b");
    KResourceArchiveTar tar;
    ASSERT_EQ(tar.open(write("clash.tar", a + ab).c_str(), 0, ""), K_RES_OK);
    EXPECT_EQ(load(tar, "a"), "file a");
    EXPECT_EQ(load(tar, "a/b"), "<missing>");
}

TEST_F(TarArchive, NotATarFileMountsEmptyWithTheWarning) {
    std::string path = write("notes.txt", std::string(2000, 'x'));
    KResourceArchiveTar tar;
    clearMemoryLog();
    ASSERT_EQ(tar.open(path.c_str(), 0, ""), K_RES_OK);
    EXPECT_NE(memoryLog().find("seems to be invalid, WARNING"), std::string::npos);
    EXPECT_NE(memoryLog().find("with 0 entries"), std::string::npos);
    EXPECT_EQ(tar.open((dir / "absent.tar").c_str(), 0, ""), K_RES_ERR_OPEN);
}

TEST_F(TarArchive, EnumerateReportsChildrenInArchiveOrder) {
    std::string path = write("two.tar", singleFileTar("x/first.txt", "1").substr(0, 1024) +
                                            singleFileTar("x/second.txt", "2"));
    KResourceArchiveTar tar;
    ASSERT_EQ(tar.open(path.c_str(), 0, ""), K_RES_OK);
    std::vector<std::string> children;
    auto collect = [](const char* name, bool, void* user) {
        static_cast<std::vector<std::string>*>(user)->push_back(name);
        return true;
    };
    EXPECT_TRUE(tar.enumerate("x", collect, &children));
    EXPECT_EQ(children, (std::vector<std::string>{"first.txt", "second.txt"}));
}

// Archives opened from bytes in memory read as the same archives opened
// from their files.
#include "engine/archive_fixtures.h"
#include "engine/resources/resource_tar.h"
#include "engine/resources/resource_zip.h"

#include <gtest/gtest.h>
#include <memory>

using namespace glint;
using namespace glint::test;

namespace {

std::string loadEntry(KResourceArchive& archive, const std::string& name) {
    char* data = nullptr;
    int32_t size = 0;
    if (!archive.loadFile(name.c_str(), &data, &size))
        return "<cannot load>";
    std::string bytes(data, static_cast<size_t>(size));
    delete[] data;
    return bytes;
}

// An open file's first bytes, read after the archive that made it is gone.
std::string streamedAfterClose(std::unique_ptr<KResourceArchive> archive, const std::string& name) {
    std::unique_ptr<KResourceFile> file(archive->openFile(name.c_str()));
    archive.reset();
    if (!file)
        return "<cannot open>";
    std::string bytes(16, '\0');
    file->read(bytes.data(), static_cast<uint32_t>(bytes.size()));
    return bytes;
}

class MemoryArchive : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override {
        writeFixtureFolder(dir / "game");
        std::string kind = GetParam();
        path = dir / ("game." + kind);
        if (kind == "zip")
            makeMixedZip(dir / "game", path);
        else
            makeTar(dir / "game", path, kind == "gnu" ? "gnu" : "ustar");
        bytes = readFile(path);
    }
    std::unique_ptr<KResourceArchive> fromFile() {
        std::unique_ptr<KResourceArchive> archive;
        if (std::string(GetParam()) == "zip")
            archive = std::make_unique<KResourceArchiveZip>();
        else
            archive = std::make_unique<KResourceArchiveTar>();
        EXPECT_EQ(archive->open(path.c_str(), 0, kResourceArchivePassword), K_RES_OK);
        return archive;
    }
    std::unique_ptr<KResourceArchive> fromMemory() {
        if (std::string(GetParam()) == "zip") {
            auto zip = std::make_unique<KResourceArchiveZip>();
            EXPECT_EQ(zip->openBytes(bytes.data(), bytes.size(), "memory", kResourceArchivePassword), K_RES_OK);
            return zip;
        }
        auto tar = std::make_unique<KResourceArchiveTar>();
        EXPECT_EQ(tar->openBytes(bytes.data(), bytes.size(), "memory"), K_RES_OK);
        return tar;
    }

    TempDir dir;
    std::filesystem::path path;
    std::string bytes;
};

} // namespace

TEST_P(MemoryArchive, ReadsEveryEntryAsTheFileDoes) {
    std::unique_ptr<KResourceArchive> memory = fromMemory(), file = fromFile();
    for (const auto& [name, content] : fixtureFiles()) {
        EXPECT_EQ(loadEntry(*memory, name), content) << name;
        EXPECT_EQ(streamedAfterClose(fromMemory(), name), streamedAfterClose(fromFile(), name)) << name;
    }
    for (const char* name : {"data/s", "data/s/", "data/game.cfg"}) {
        KResourceEntryInfo fromBytes{}, fromDisk{};
        EXPECT_EQ(memory->getInfo(name, &fromBytes), file->getInfo(name, &fromDisk)) << name;
        EXPECT_EQ(fromBytes.isDirectory, fromDisk.isDirectory) << name;
        EXPECT_EQ(fromBytes.size, fromDisk.size) << name;
    }
}

TEST_P(MemoryArchive, CutBytesAreRefusedOrReadShort) {
    // Every entry of the first half either loads whole or not at all.
    std::string half = bytes.substr(0, bytes.size() / 2);
    std::unique_ptr<KResourceArchive> archive;
    if (std::string(GetParam()) == "zip") {
        auto zip = std::make_unique<KResourceArchiveZip>();
        EXPECT_NE(zip->openBytes(half.data(), half.size(), "half", kResourceArchivePassword), K_RES_OK)
            << "the directory is at the end";
        return;
    }
    auto tar = std::make_unique<KResourceArchiveTar>();
    ASSERT_EQ(tar->openBytes(half.data(), half.size(), "half"), K_RES_OK);
    for (const auto& [name, content] : fixtureFiles()) {
        std::string got = loadEntry(*tar, name);
        EXPECT_TRUE(got == content || got == "<cannot load>") << name;
    }
}

INSTANTIATE_TEST_SUITE_P(Kinds, MemoryArchive, ::testing::Values("zip", "gnu", "ustar"),
                         [](const auto& info) { return std::string(info.param); });

// The read rules of open files at and past the ends of an entry, for the
// zip kind (zero-filled, lenient) and the tar kind (strict).
#include "engine/archive_fixtures.h"
#include "engine/resources/resource_direct.h"
#include "engine/resources/resource_tar.h"
#include "engine/resources/resource_zip.h"

#include <gtest/gtest.h>
#include <memory>

using namespace glint;
using namespace glint::test;

namespace {

constexpr char kEntry[] = "0123456789";

struct ReadCase {
    const char* what;
    int origin;
    int32_t offset;
    uint32_t length;
    int zipResult;
    std::string zipBytes;
    int tarResult;
    std::string tarBytes; // what lands in the buffer; the unread rest is zeros
    int32_t tarPosition;  // the zip position always moves by the full length
};

std::string zeros(size_t count) { return std::string(count, '\0'); }

class ReadRules : public ::testing::Test {
protected:
    void SetUp() override {
        writeFile(dir / "game" / "data" / "ten.txt", kEntry);
        mustRun("cd " + shellQuote((dir / "game").string()) + " && zip -q -0 ../ten.zip data/ten.txt");
        makeTar(dir / "game", dir / "ten.tar", "ustar");
        ASSERT_EQ(zip.open((dir / "ten.zip").c_str(), 0, ""), K_RES_OK);
        ASSERT_EQ(tar.open((dir / "ten.tar").c_str(), 0, ""), K_RES_OK);
    }

    TempDir dir;
    KResourceArchiveZip zip;
    KResourceArchiveTar tar;
};

void check(KResourceFile& file, const ReadCase& c, int expected, const std::string& bytes, int32_t position,
           const char* kind) {
    ASSERT_EQ(file.seek(c.origin, c.offset), K_RES_OK) << kind << ": " << c.what;
    std::string buffer(c.length, '?');
    EXPECT_EQ(file.read(buffer.data(), c.length), expected) << kind << ": " << c.what;
    EXPECT_EQ(buffer, bytes) << kind << ": " << c.what;
    int32_t at = 0;
    EXPECT_EQ(file.tell(&at), K_RES_OK);
    EXPECT_EQ(at, position) << kind << ": " << c.what;
}

} // namespace

TEST_F(ReadRules, AtAndPastTheEndOfAnEntry) {
    const ReadCase cases[] = {
        {"whole entry", K_SEEK_SET, 0, 10, K_RES_OK, kEntry, K_RES_OK, kEntry, 10},
        {"straddles the end", K_SEEK_SET, 8, 4, K_RES_OK, "89" + zeros(2), K_RES_ERR_IO, "89" + zeros(2), 12},
        {"one byte at the end", K_SEEK_SET, 10, 1, K_RES_ERR_IO, zeros(1), K_RES_ERR_IO, zeros(1), 11},
        {"nothing at the end", K_SEEK_SET, 10, 0, K_RES_OK, "", K_RES_OK, "", 10},
        {"past the end", K_SEEK_SET, 12, 2, K_RES_ERR_IO, zeros(2), K_RES_ERR_IO, zeros(2), 14},
        {"before the start", K_SEEK_SET, -2, 4, K_RES_OK, zeros(2) + "01", K_RES_ERR_IO, zeros(4), -2},
        {"from the end", K_SEEK_END, -3, 3, K_RES_OK, "789", K_RES_OK, "789", 10},
        {"unknown origin counts from the start", 7, 4, 2, K_RES_OK, "45", K_RES_OK, "45", 6},
    };
    for (const ReadCase& c : cases) {
        std::unique_ptr<KResourceFile> zipped(zip.openFile("data/ten.txt"));
        std::unique_ptr<KResourceFile> tarred(tar.openFile("data/ten.txt"));
        ASSERT_TRUE(zipped && tarred);
        check(*zipped, c, c.zipResult, c.zipBytes, c.offset + static_cast<int32_t>(c.length) +
                                                       (c.origin == K_SEEK_END ? 10 : 0),
              "zip");
        check(*tarred, c, c.tarResult, c.tarBytes, c.tarPosition, "tar");
    }
}

TEST_F(ReadRules, SeekFromTheCurrentPositionAndNeverWraps) {
    std::unique_ptr<KResourceFile> file(tar.openFile("data/ten.txt"));
    ASSERT_TRUE(file);
    char two[2];
    ASSERT_EQ(file->read(two, 2), K_RES_OK);
    ASSERT_EQ(file->seek(K_SEEK_CUR, 3), K_RES_OK);
    ASSERT_EQ(file->read(two, 2), K_RES_OK);
    EXPECT_EQ(std::string(two, 2), "56");
    ASSERT_EQ(file->seek(K_SEEK_CUR, INT32_MAX), K_RES_OK);
    int32_t at = 0;
    file->tell(&at);
    EXPECT_EQ(at, INT32_MAX); // saturated, not wrapped to a negative position
    EXPECT_EQ(file->read(two, 2), K_RES_ERR_IO);
}

TEST_F(ReadRules, DiskFilesMoveByWhatWasRead) {
    KResourceArchiveDirect disk;
    std::unique_ptr<KResourceFile> file(disk.openFile((dir / "game" / "data" / "ten.txt").c_str()));
    ASSERT_TRUE(file);
    ASSERT_EQ(file->seek(K_SEEK_SET, 8), K_RES_OK);
    char buffer[4];
    EXPECT_EQ(file->read(buffer, 4), K_RES_ERR_IO);
    int32_t at = 0;
    EXPECT_EQ(file->tell(&at), K_RES_OK);
    EXPECT_EQ(at, 10);
    EXPECT_EQ(file->seek(K_SEEK_SET, -1), K_RES_ERR_IO);
    EXPECT_EQ(file->read(buffer, 0), K_RES_OK);

    KResourceFileDirect closed(nullptr);
    EXPECT_EQ(closed.seek(K_SEEK_SET, 0), K_RES_ERR_IO);
    EXPECT_EQ(closed.tell(&at), K_RES_ERR_IO);
    EXPECT_EQ(closed.read(buffer, 1), K_RES_ERR_IO);
    EXPECT_EQ(closed.read(buffer, 0), K_RES_OK);
}

// Damaged and hostile archives: real archives with random damage must never
// crash or read out of bounds (the suite runs under AddressSanitizer). The
// loop is short here; GLINT_FUZZ_ITERATIONS runs it longer by hand.
#include "engine/archive_fixtures.h"
#include "engine/resources/resource_archive.h"
#include "engine/resources/resource_tar.h"
#include "engine/resources/resource_zip.h"

#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

using namespace glint;
using namespace glint::test;

namespace {

int iterations() {
    const char* wanted = std::getenv("GLINT_FUZZ_ITERATIONS");
    return wanted ? std::atoi(wanted) : 300;
}

// Rewrites the checksum of the 512-byte block at offset so that damage
// inside it gets past the header check and reaches the field parsers.
void fixTarChecksum(std::string& bytes, size_t offset) {
    if (offset + 512 > bytes.size())
        return;
    char* block = bytes.data() + offset;
    std::memset(block + 148, ' ', 8);
    unsigned sum = 0;
    for (int i = 0; i < 512; ++i)
        sum += static_cast<unsigned char>(block[i]);
    std::snprintf(block + 148, 8, "%06o", sum);
}

std::string mutate(std::string bytes, std::mt19937& random, bool tar) {
    int steps = 1 + static_cast<int>(random() % 6);
    for (int step = 0; step < steps && !bytes.empty(); ++step) {
        size_t at = random() % bytes.size();
        switch (random() % 6) {
        case 0:
            bytes[at] = static_cast<char>(random());
            break;
        case 1:
            bytes[at] ^= static_cast<char>(1 << (random() % 8));
            break;
        case 2:
            bytes.resize(at);
            break;
        case 3: { // an extreme 32-bit value, as sizes and offsets of zip records
            static const uint32_t extremes[] = {0, 1, 0x7fffffff, 0x80000000, 0xffffffff, 0xfffffff0};
            uint32_t value = extremes[random() % 6];
            if (at + 4 <= bytes.size())
                std::memcpy(bytes.data() + at, &value, 4);
            break;
        }
        case 4: { // a tar number field with a valid checksum
            size_t block = at / 512 * 512;
            static const char* numbers[] = {"77777777777", "-0000000001", "00000001000", "17777777777", "00000000000"};
            size_t field = random() % 2 ? 124 : 136;
            if (block + 512 <= bytes.size())
                std::memcpy(bytes.data() + block + field, numbers[random() % 5], 11);
            fixTarChecksum(bytes, block);
            break;
        }
        default:
            bytes.insert(at, std::string(1 + random() % 600, static_cast<char>(random())));
            break;
        }
        if (tar && random() % 2)
            fixTarChecksum(bytes, at / 512 * 512);
    }
    return bytes;
}

void collectName(const char* path, int32_t, void* user) { static_cast<std::vector<std::string>*>(user)->push_back(path); }
bool keepGoing(const char*, bool, void*) { return true; }

// Every operation an archive offers, on every entry it claims to have.
void exercise(KResourceArchive& archive) {
    std::vector<std::string> names;
    archive.listFiles(collectName, &names);
    names.push_back("data/game.cfg");
    archive.enumerate("", keepGoing, nullptr);
    archive.enumerate("data", keepGoing, nullptr);
    for (const std::string& name : names) {
        KResourceEntryInfo info;
        archive.getInfo(name.c_str(), &info);
        char* data = nullptr;
        int32_t size = 0;
        if (archive.loadFile(name.c_str(), &data, &size)) {
            EXPECT_EQ(data[size], 0);
            delete[] data;
        }
        std::unique_ptr<KResourceFile> file(archive.openFile(name.c_str()));
        if (file) {
            char buffer[256];
            file->read(buffer, sizeof buffer);
            file->seek(K_SEEK_END, -10);
            file->read(buffer, sizeof buffer);
            file->seek(K_SEEK_SET, -3);
            file->read(buffer, 8);
        }
    }
}

} // namespace

TEST(ArchiveFuzz, DamagedArchivesNeverCrash) {
    TempDir dir;
    writeFixtureFolder(dir / "game");
    makeMixedZip(dir / "game", dir / "mixed.zip");
    makeTar(dir / "game", dir / "gnu.tar", "gnu");
    makeTar(dir / "game", dir / "ustar.tar", "ustar");
    std::mt19937 random(20261209);
    for (const char* name : {"mixed.zip", "gnu.tar", "ustar.tar"}) {
        std::string original = readFile(dir / name);
        bool tar = std::string(name).ends_with(".tar");
        for (int i = 0; i < iterations(); ++i) {
            std::string path = (dir / "fuzz.pak").string();
            writeFile(path, mutate(original, random, tar));
            std::unique_ptr<KResourceArchive> archive(resourceOpenArchive(path.c_str()));
            ASSERT_TRUE(archive) << "any file that opens mounts at least as a tar";
            exercise(*archive);
        }
    }
}

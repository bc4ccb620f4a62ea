#include "engine/system/memory.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

using namespace glint;

namespace {

// The process's resident anonymous memory in KiB, as the kernel counts it.
// Read without the heap: an allocation here would reuse the freed blocks.
long residentAnonKb() {
    char text[4096] = {};
    int file = open("/proc/self/status", O_RDONLY);
    if (file < 0)
        return -1;
    ssize_t length = read(file, text, sizeof text - 1);
    close(file);
    const char* line = length > 0 ? std::strstr(text, "RssAnon:") : nullptr;
    return line ? std::strtol(line + 8, nullptr, 10) : -1;
}

} // namespace

// Blocks freed between blocks still in use are where a long session's
// memory hid: the allocator keeps them until it is asked to give them back.
TEST(Memory, FreeBlocksBetweenLiveOnesGoBackToTheSystem) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the sanitizer's allocator keeps its own pages";
#endif
    // 64 KiB blocks stay in the heap (larger ones get pages of their own).
    constexpr size_t kBlock = 64 * 1024;
    constexpr int kBlocks = 512, kKeepEvery = 64;
    std::vector<char*> blocks;
    for (int i = 0; i < kBlocks; ++i) {
        blocks.push_back(static_cast<char*>(std::malloc(kBlock)));
        std::memset(blocks.back(), 1, kBlock);
    }
    // Every 64th block stays, the last one too, so nothing freed lies at the
    // heap's top, which the allocator would give back by itself.
    for (int i = 0; i < kBlocks; ++i) {
        if (i % kKeepEvery != kKeepEvery - 1) {
            std::free(blocks[i]);
            blocks[i] = nullptr;
        }
    }
    const long before = residentAnonKb();
    releaseFreeMemory();
    const long after = residentAnonKb();
    for (char* block : blocks) std::free(block);
    ASSERT_GT(before, 0);
    // 31.5 MiB were freed; at least half of it must have left.
    EXPECT_GT(before - after, 16 * 1024) << "before " << before << " kB, after " << after << " kB";
}

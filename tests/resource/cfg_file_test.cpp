#include "engine/resources/resource.h"
#include "engine/system/log.h"
#include "resource/cfg_value.h"
#include "resource/configuration.h"
#include "resource/file_util.h"
#include "script/symbol.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

using namespace glint;
using namespace glint::test;

namespace {

std::string readValue(const std::filesystem::path& path, const char* key) {
    char out[kCfgValueSize];
    std::memset(out, 'x', sizeof out);
    readCfgValue(path.c_str(), key, out);
    return out;
}

// The resource layer answers disk lookups once it is started.
const bool resourceLayerStarted = (resourceInit(), true);

} // namespace

TEST(TextFileLoad, FilesThroughTheResourceLayer) {
    TempDir dir;
    writeFile(dir / "marked.txt", "\xEF\xBB\xBFk=v\n");
    writeFile(dir / "empty.txt", "");
    MTextFile file;
    ASSERT_TRUE(file.loadText((dir / "marked.txt").c_str()));
    EXPECT_EQ(std::string(file.data(), static_cast<size_t>(file.size())), "k=v\n");
    ASSERT_TRUE(file.loadBinary((dir / "marked.txt").c_str()));
    EXPECT_EQ(file.size(), 7);
    ASSERT_TRUE(file.loadText((dir / "empty.txt").c_str()));
    EXPECT_EQ(file.size(), 0);
    EXPECT_STREQ(file.data(), "");
    EXPECT_FALSE(file.loadText((dir / "missing.txt").c_str()));
    EXPECT_EQ(file.size(), 0);
    EXPECT_FALSE(file.loadText(nullptr));
}

TEST(Configuration, LoadsItsFileAndReloads) {
    TempDir dir;
    std::filesystem::path path = dir / "scene.sxcfg";
    writeFile(path, "a=1\r\nb=two\r\n");
    std::string pathText = path.string();
    MConfiguration config(pathText.c_str());
    config.load();
    EXPECT_EQ(config.getInt(intern("a"), 0), 1);
    writeFile(path, "b=three\r\n");
    config.load();
    EXPECT_EQ(config.getInt(intern("a"), 0), 0) << "a reload starts empty";
    EXPECT_EQ(config.getString(intern("b"), nullptr), intern("three"));
    std::filesystem::remove(path);
    config.load();
    EXPECT_EQ(config.entryCount(), 0);
}

TEST(Configuration, TracesLoadsWhenAsked) {
    std::vector<std::string> traces;
    setTraceSink([](const char* line, void* user) { static_cast<std::vector<std::string>*>(user)->push_back(line); },
                 &traces);
    MConfiguration config("missing.cfg");
    config.load();
    setResourceTrace(true);
    config.load();
    setResourceTrace(false);
    setTraceSink(nullptr, nullptr);
    EXPECT_EQ(traces, (std::vector<std::string>{"UNLOAD missing.cfg", "LOAD missing.cfg"}));
}

TEST(ReadCfgValue, LastMatchingLineWins) {
    TempDir dir;
    std::filesystem::path path = dir / "language.txt";
    writeFile(path, "Language=de\r\n;Language=it\r\nLanguage = es\r\nLanguage=fr\r\nlanguage=en\r\nLong=" +
                        std::string(300, 'L') + "\r\nEq=a=b\r\n");
    EXPECT_EQ(readValue(path, "Language"), "fr");
    EXPECT_EQ(readValue(path, ";Language"), "it");
    EXPECT_EQ(readValue(path, "Long"), std::string(255, 'L'));
    EXPECT_EQ(readValue(path, "Eq"), "a=b");
    EXPECT_EQ(readValue(path, "Missing"), "");
    EXPECT_EQ(readValue(path, ""), "");
    EXPECT_EQ(readValue(dir / "missing.txt", "Language"), "");
}

TEST(WriteCfgValue, SetsReplacesAndRemoves) {
    TempDir dir;
    std::filesystem::path path = dir / "options.cfg";
    writeFile(path, "k=1\nj=2\n");
    ASSERT_TRUE(writeCfgValue(path.c_str(), "k", ""));
    EXPECT_EQ(readFile(path), "\r\nj=2\r\n");
    ASSERT_TRUE(writeCfgValue(path.c_str(), "k", "5"));
    EXPECT_EQ(readFile(path), "j=2\r\nk=5\r\n");

    writeFile(path, ";comment\nk=1\r\nx\nk=2\n\nK=3\n");
    ASSERT_TRUE(writeCfgValue(path.c_str(), "k", "9"));
    EXPECT_EQ(readFile(path), ";comment\r\nk=9\r\nx\r\nk=9\r\nK=3\r\n");
    EXPECT_EQ(readValue(path, "k"), "9");

    EXPECT_FALSE(writeCfgValue(path.c_str(), "", "1"));
    EXPECT_FALSE(writeCfgValue(nullptr, "k", "1"));
}

TEST(WriteCfgValue, CreatesFoldersAndNewFiles) {
    TempDir dir;
    std::filesystem::path path = dir / "a" / "b" / "new.cfg";
    ASSERT_TRUE(writeCfgValue(path.c_str(), "Key", "value with = sign"));
    EXPECT_EQ(readFile(path), "Key=value with = sign\r\n");
    EXPECT_EQ(readValue(path, "Key"), "value with = sign");
    ASSERT_TRUE(writeCfgValue(path.c_str(), "Key", ""));
    EXPECT_EQ(readFile(path), "\r\n");
    writeFile(dir / "file", "");
    EXPECT_FALSE(writeCfgValue((dir / "file" / "x.cfg").c_str(), "Key", "1"));
}

TEST(WriteCfgValue, RewritesContentOver64KiB) {
    TempDir dir;
    std::filesystem::path path = dir / "big.cfg";
    std::string content;
    for (int i = 0; i < 3000; ++i)
        content += "key" + std::to_string(i) + "=" + std::string(40, 'v') + "\r\n";
    ASSERT_GT(content.size(), 65536u);
    writeFile(path, content);
    ASSERT_TRUE(writeCfgValue(path.c_str(), "last", "1"));
    EXPECT_EQ(readFile(path), content + "last=1\r\n");
    ASSERT_TRUE(writeCfgValue(path.c_str(), "key0", "changed"));
    EXPECT_EQ(readValue(path, "key0"), "changed");
    EXPECT_EQ(readValue(path, "key2999"), std::string(40, 'v'));
    EXPECT_EQ(readValue(path, "last"), "1");
}

TEST(FileHelpers, CopyFile) {
    TempDir dir;
    std::string bytes("a\0b\r\n\xFF", 6);
    writeFile(dir / "s\xC3\xA9.bin", bytes);
    writeFile(dir / "empty", "");
    copyFile((dir / "s\xC3\xA9.bin").c_str(), (dir / "copy.bin").c_str());
    EXPECT_EQ(readFile(dir / "copy.bin"), bytes);
    copyFile((dir / "empty").c_str(), (dir / "copy.bin").c_str());
    EXPECT_TRUE(std::filesystem::exists(dir / "copy.bin"));
    EXPECT_EQ(readFile(dir / "copy.bin"), "");
    copyFile((dir / "missing").c_str(), (dir / "none.bin").c_str());
    EXPECT_FALSE(std::filesystem::exists(dir / "none.bin"));
    EXPECT_EQ(openFileUtf8(nullptr, "rb"), nullptr);
    EXPECT_EQ(openFileUtf8((dir / "missing").c_str(), "rb"), nullptr);
}

TEST(FileHelpers, NativeSeparators) {
    char path[] = "data\\_interface/fonts\\x.cfg";
    EXPECT_EQ(toNativeSeparators(path), 27);
    EXPECT_STREQ(path, "data/_interface/fonts/x.cfg");
    EXPECT_EQ(toNativeSeparators(nullptr), 0);
}

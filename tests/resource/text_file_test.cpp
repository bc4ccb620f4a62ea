#include "engine/system/log.h"
#include "resource/text_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace glint;

namespace {

std::vector<std::string> traces;
void collect(const char* line, void*) { traces.emplace_back(line); }

std::string utf16(const std::u16string& text, bool bigEndian) {
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (char16_t unit : text) {
        char low = static_cast<char>(unit & 0xFF), high = static_cast<char>(unit >> 8);
        bytes += bigEndian ? high : low;
        bytes += bigEndian ? low : high;
    }
    return bytes;
}

struct Loaded {
    std::string text;
    int32_t size;
    bool terminated;
};

Loaded assign(const std::string& bytes) {
    MTextFile file;
    file.assignText(bytes.data(), static_cast<int32_t>(bytes.size()), "sample.txt");
    const char* data = file.data();
    bool terminated = data[file.size()] == 0 && data[file.size() + 1] == 0 && data[file.size() + 2] == 0 &&
                      data[file.size() + 3] == 0;
    return {std::string(data, static_cast<size_t>(file.size())), file.size(), terminated};
}

class TextFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        traces.clear();
        setTraceSink(collect, nullptr);
    }
    void TearDown() override { setTraceSink(nullptr, nullptr); }
};

} // namespace

TEST_F(TextFileTest, ByteOrderMarks) {
    struct Case {
        const char* name;
        std::string bytes;
        std::string text;
        bool warns;
    };
    const Case cases[] = {
        {"plain", "a=1\r\n", "a=1\r\n", false},
        {"utf-8 mark dropped", "\xEF\xBB\xBF" "a=1\r\n", "a=1\r\n", false},
        {"utf-8 mark alone is too short to count", "\xEF\xBB\xBF", "\xEF\xBB\xBF", false},
        {"utf-16 le", utf16(u"Hello\r\n", false), "Hello\r\n", true},
        {"utf-16 be", utf16(u"Hello\r\n", true), "Hello\r\n", true},
        {"utf-16 non-ascii and surrogate pair", utf16(u"\u00e9\u20ac\U0001F600", false),
         "\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80", true},
        {"utf-16 stops at a zero unit", utf16(std::u16string(u"ab\0cd", 5), false), "ab", true},
        {"utf-16 lone surrogate", utf16(u"\xD800x", false), "\xEF\xBF\xBDx", true},
        {"two-byte mark only is plain", "\xFF\xFE", "\xFF\xFE", false},
        {"empty", "", "", false},
    };
    for (const Case& c : cases) {
        traces.clear();
        Loaded loaded = assign(c.bytes);
        EXPECT_EQ(loaded.text, c.text) << c.name;
        EXPECT_EQ(loaded.size, static_cast<int32_t>(c.text.size())) << c.name;
        EXPECT_TRUE(loaded.terminated) << c.name;
        std::vector<std::string> expected;
        if (c.warns)
            expected.push_back("WARNING: All text files should be in ANSI or UTF8 format: sample.txt");
        EXPECT_EQ(traces, expected) << c.name;
    }
}

// Every 2-byte unit of this text becomes 3 bytes of UTF-8: converting within
// the loaded buffer would write past its end.
TEST_F(TextFileTest, Utf16ThatGrowsAsUtf8) {
    std::u16string wide(5000, u'\u4e2d');
    std::string expected;
    for (int i = 0; i < 5000; ++i)
        expected += "\xE4\xB8\xAD";
    Loaded loaded = assign(utf16(wide, false));
    EXPECT_EQ(loaded.size, 15000);
    EXPECT_EQ(loaded.text, expected);
    EXPECT_TRUE(loaded.terminated);
}

TEST_F(TextFileTest, EmptyBeforeLoading) {
    MTextFile file;
    EXPECT_EQ(file.size(), 0);
    EXPECT_STREQ(file.data(), "");
}

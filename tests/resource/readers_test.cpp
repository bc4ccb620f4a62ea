#include "resource/cfg_line.h"
#include "resource/line_reader.h"
#include "resource/number.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

using namespace glint;

namespace {

std::vector<std::string> lines(std::string text) {
    MLineReader reader(text.data());
    std::vector<std::string> out;
    while (reader.next()) {
        out.emplace_back(reader.line);
        EXPECT_EQ(reader.lineNumber, static_cast<int>(out.size()));
    }
    return out;
}

std::vector<std::string> tokens(std::string text) {
    MTokenReader reader(text.data());
    std::vector<std::string> out;
    while (reader.next())
        out.emplace_back(reader.token);
    return out;
}

using Lines = std::vector<std::string>;

} // namespace

TEST(ParseNumber, SinglePrecision) {
    struct Case {
        const char* text;
        double value;
    };
    const Case cases[] = {
        {"0.1", 0.100000001490116}, {"12", 12},      {"-3.5", -3.5}, {"12px", 12}, {"1.5.5", 1.5},
        {"+3", 0},                  {" 3", 0},       {"1e5", 1},     {"", 0},      {"-", 0},
        {".5", 0.5},                {"16777217", 16777216},
    };
    for (const Case& c : cases)
        EXPECT_NEAR(static_cast<double>(parseNumber(c.text)), c.value, 1e-15) << c.text;
    EXPECT_EQ(parseNumber(nullptr), 0.0f);
    EXPECT_TRUE(std::signbit(parseNumber("-x")));
}

TEST(LineReader, LineEnds) {
    EXPECT_EQ(lines("a\r\r\nb"), (Lines{"a", "", "b"}));
    EXPECT_EQ(lines("a\n\rb"), (Lines{"a", "", "b"}));
    EXPECT_EQ(lines("a\nb\n"), (Lines{"a", "b"}));
    EXPECT_EQ(lines(" a \r\n\r\n"), (Lines{" a ", ""}));
    EXPECT_EQ(lines(""), Lines{});
    MLineReader none(nullptr);
    EXPECT_FALSE(none.next());
}

TEST(LineReader, RestoresTheTextAndToleratesWritesIntoTheLine) {
    std::string text = "k=1\r\nj=2\n";
    MLineReader reader(text.data());
    Lines keys;
    while (reader.next()) {
        splitCfgLine(reader.line);
        keys.emplace_back(reader.line);
    }
    EXPECT_EQ(keys, (Lines{"k", "j"}));
    EXPECT_EQ(text, std::string("k\0" "1\r\nj\0" "2\n", 9)) << "only its own cuts are restored";
}

TEST(TokenReader, Tokens) {
    EXPECT_EQ(tokens("  a\tbb  c "), (Lines{"a", "bb", "c"}));
    EXPECT_EQ(tokens("x \"a b\" 'c d'e f"), (Lines{"x", "\"a b\"", "'c d'e", "f"}));
    EXPECT_EQ(tokens("\"open to the end"), (Lines{"\"open to the end"}));
    EXPECT_EQ(tokens("\"cut\nhere"), (Lines{"\"cut", "here"}));
    EXPECT_EQ(tokens(""), Lines{});
}

TEST(TokenReader, Numbers) {
    std::string text = "12 -7 x 0.25";
    MTokenReader reader(text.data());
    EXPECT_EQ(reader.nextInt(), 12);
    EXPECT_EQ(reader.nextInt(), -7);
    EXPECT_EQ(reader.nextInt(), 0);
    EXPECT_FLOAT_EQ(reader.nextFloat(9.0f), 0.25f);
    EXPECT_FLOAT_EQ(reader.nextFloat(9.0f), 9.0f);
    EXPECT_EQ(reader.nextInt(), 0);
}

TEST(CfgLine, ValueTyping) {
    struct Case {
        const char* value;
        bool isNumber;
        double number;
        const char* text;
    };
    const Case cases[] = {
        {"\"12\"", false, 0, "12"},    {"12", true, 12, nullptr},     {"-3.5", true, -3.5, nullptr},
        {"-", false, 0, "-"},          {".5", false, 0, ".5"},        {"", false, 0, ""},
        {"12px", true, 12, nullptr},   {"-x", false, 0, "-x"},        {"true", false, 0, "true"},
        {" 1", false, 0, " 1"},        {"\"a\"b\"", false, 0, "a\"b"}, {"\"open", false, 0, "open"},
        {"\"", false, 0, ""},          {"a,b", false, 0, "a,b"},      {"0.1", true, 0.100000001490116, nullptr},
    };
    for (const Case& c : cases) {
        std::string value = c.value;
        CfgValue parsed = parseCfgValue(value.data());
        EXPECT_EQ(parsed.isNumber, c.isNumber) << c.value;
        if (c.isNumber)
            EXPECT_NEAR(parsed.number, c.number, 1e-15) << c.value;
        else
            EXPECT_STREQ(parsed.text, c.text) << c.value;
    }
}

TEST(CfgLine, Split) {
    std::string line = "a = 1=2";
    char* value = splitCfgLine(line.data());
    EXPECT_STREQ(line.c_str(), "a ");
    EXPECT_STREQ(value, " 1=2");
    std::string bare = "no equals";
    EXPECT_EQ(splitCfgLine(bare.data()), nullptr);
    EXPECT_EQ(bare, "no equals");
}

#include "engine/system/log.h"
#include "resource/configuration.h"
#include "script/symbol.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

using namespace glint;

namespace {

MTextFile textOf(const std::string& bytes) {
    MTextFile file;
    file.assignText(bytes.data(), static_cast<int32_t>(bytes.size()), "test.cfg");
    return file;
}

// A configuration filled from texts instead of files.
struct Config {
    explicit Config(const std::string& main, const std::string& override = "") {
        config.addMainText(textOf(main));
        if (!override.empty())
            config.addOverrideText(textOf(override));
    }
    const Value* find(const char* key) const { return config.find(intern(key)); }
    double number(const char* key) const {
        const Value* value = find(key);
        EXPECT_TRUE(value && value->isNumber()) << key;
        return value && value->isNumber() ? value->number : -12345;
    }
    std::string string(const char* key) const {
        const Value* value = find(key);
        EXPECT_TRUE(value && value->isString()) << key;
        return value && value->isString() ? value->symbol()->text : "<not a string>";
    }
    MConfiguration config{"test.cfg"};
};

std::vector<std::string> traces;
void collect(const char* line, void*) { traces.emplace_back(line); }

} // namespace

TEST(Configuration, FirstOccurrenceWinsAndCommentsAreSkipped) {
    Config c("a=1\r\n\r\n;b=2\r\na=2\r\n");
    EXPECT_EQ(c.number("a"), 1);
    EXPECT_EQ(c.find("b"), nullptr);
    EXPECT_EQ(c.find(";b"), nullptr);
    EXPECT_EQ(c.config.entryCount(), 1);
}

TEST(Configuration, OverrideLastOccurrenceWins) {
    Config c("a=1\nkeep=7\na=9\n", "a=3\na=4\nnew=\"x\"\n");
    EXPECT_EQ(c.number("a"), 4);
    EXPECT_EQ(c.number("keep"), 7);
    EXPECT_EQ(c.string("new"), "x");
}

TEST(Configuration, OverrideMayChangeTheKind) {
    Config c("a=1\n", "a=one\n");
    EXPECT_EQ(c.string("a"), "one");
    EXPECT_EQ(c.config.getInt(intern("a"), -1), -1);
}

TEST(Configuration, KeysAndValuesAreTakenAsWritten) {
    Config c("a = 1\nq=\"12\"\nn=12\nneg=-3.5\nminus=-\nhalf=.5\nempty=\nsmall=0.1\nno equals here\nCase=1\n");
    EXPECT_EQ(c.string("a "), " 1");
    EXPECT_EQ(c.find("a"), nullptr);
    EXPECT_EQ(c.string("q"), "12");
    EXPECT_EQ(c.number("n"), 12);
    EXPECT_EQ(c.number("neg"), -3.5);
    EXPECT_EQ(c.string("minus"), "-");
    EXPECT_EQ(c.string("half"), ".5");
    EXPECT_EQ(c.string("empty"), "");
    EXPECT_EQ(c.number("small"), static_cast<double>(0.1f)) << "single precision, widened";
    EXPECT_NEAR(c.number("small"), 0.100000001490116, 1e-15);
    EXPECT_EQ(c.string(""), "no equals here");
    EXPECT_EQ(c.find("case"), nullptr);
}

TEST(Configuration, TypedLookups) {
    Config c("up=2.5\ndown=-2.5\nsmall=-0.4\nhuge=99999999999\ntiny=-99999999999\ns=\"text\"\nlist=png,dds\n"
             "one=png\nlead=,dds\nnum=3\n");
    const MConfiguration& config = c.config;
    struct IntCase {
        const char* key;
        int value;
    };
    const IntCase ints[] = {{"up", 3},        {"down", -3},       {"small", 0}, {"huge", INT_MAX},
                            {"tiny", INT_MIN}, {"s", 42},         {"missing", 42}};
    for (const IntCase& i : ints)
        EXPECT_EQ(config.getInt(intern(i.key), 42), i.value) << i.key;
    EXPECT_EQ(config.getInt(nullptr, 42), 42);

    EXPECT_FLOAT_EQ(config.getFloat(intern("up"), 0), 2.5f);
    EXPECT_FLOAT_EQ(config.getFloat(intern("s"), 7), 7);

    Symbol* fallback = intern("fallback");
    EXPECT_EQ(config.getString(intern("s"), fallback), intern("text"));
    EXPECT_EQ(config.getString(intern("num"), fallback), fallback);
    EXPECT_EQ(config.getString(nullptr, fallback), fallback);

    EXPECT_EQ(config.getFirstItem(intern("list"), fallback), intern("png"));
    EXPECT_EQ(config.getFirstItem(intern("one"), fallback), intern("png"));
    EXPECT_EQ(config.getFirstItem(intern("lead"), fallback), intern(""));
    EXPECT_EQ(config.getFirstItem(intern("num"), fallback), fallback);
    EXPECT_EQ(config.getFirstItem(intern("missing"), fallback), fallback);
}

TEST(Configuration, FirstItemIsCutAt1023Bytes) {
    std::string item(1500, 'x');
    Config c("list=" + item + ",rest\n");
    Symbol* first = c.config.getFirstItem(intern("list"), nullptr);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(std::string(first->text), item.substr(0, 1023));
}

// Enough keys to fill several entry blocks, added out of order.
TEST(Configuration, ManyKeys) {
    std::string text;
    for (int i = 349; i >= 0; --i)
        text += "key" + std::to_string(i * 13 % 350) + "=" + std::to_string(i * 13 % 350) + "\n";
    Config c(text);
    EXPECT_EQ(c.config.entryCount(), 350);
    for (int i = 0; i < 350; ++i)
        EXPECT_EQ(c.config.getInt(intern(("key" + std::to_string(i)).c_str()), -1), i);
}

TEST(Configuration, UnloadEmptiesAndTraces) {
    Config c("a=1\n");
    traces.clear();
    setTraceSink(collect, nullptr);
    c.config.unload();
    setResourceTrace(true);
    c.config.unload();
    setResourceTrace(false);
    setTraceSink(nullptr, nullptr);
    EXPECT_EQ(c.find("a"), nullptr);
    EXPECT_EQ(c.config.getInt(intern("a"), 5), 5);
    EXPECT_EQ(traces, std::vector<std::string>{"UNLOAD test.cfg"});
    EXPECT_EQ(c.config.kind, ResourceKind::Configuration);
}

#include "engine/resources/resource.h"
#include "engine/system/system.h"
#include "resource/configuration.h"
#include "script/array_object.h"
#include "script/script_fixture.h"
#include "support/test_support.h"
#include "text/localization.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

namespace glint::test {
namespace {

MTextFile textOf(const std::string& bytes) {
    MTextFile file;
    file.assignText(bytes.data(), static_cast<int32_t>(bytes.size()), "test");
    return file;
}

std::optional<std::string> lookup(const MLocalization& table, const char* key) {
    const char* text = table.find(intern(key));
    return text ? std::optional<std::string>(text) : std::nullopt;
}

struct Case {
    const char* file;
    const char* key;
    std::optional<std::string> text;
};

TEST(LocalizationTable, CutsKeysAndValues) {
    const Case cases[] = {
        {"plain\thello world\n", "plain", "hello world"},
        {"q\t\"say \"\"hi\"\"\"\n", "q", "say \"hi\""},        // doubled quotes, quoted
        {"u\tsay \"\"hi\"\"\n", "u", "say \"hi\""},            // the same unquoted
        {"lone\tab\"cd\nnext\tx\n", "lone", "ab"},              // a lone quote ends the value
        {"lone\tab\"cd\nnext\tx\n", "next", "x"},
        {"rest\t\"ab\" ignored\tz\n", "rest", "ab"},            // after the closing quote
        {"multi\t\"one\r\ntwo\rthree\"\n", "multi", "one\ntwo\nthree"},
        {"tabs\t\"a\tb\"\n", "tabs", "a\tb"},
        {"bare\nafter\tv\n", "bare", ""},                       // no TAB: empty text
        {"bare\nafter\tv\n", "after", "v"},
        {"last", "last", ""},
        {"empty\t\n", "empty", ""},
        {"open\t\"runs to the end", "open", "runs to the end"},
        {"eof\tno line end", "eof", "no line end"},
        {"a\tx\rb\ty\r", "b", "y"},                             // CR-only line ends
        {"a\tx\r\nb\ty\r\n", "b", "y"},
        {";c\tcomment\nc2\tkept\n", ";c", std::nullopt},
        {";c\tcomment\nc2\tkept\n", "c2", "kept"},
        {"\tno key\n\nk\tv\n", "", "no key"},                   // a leading TAB: the key ""
        {"\n\nk\tv\n", "", std::nullopt},                        // blank lines define nothing
        {"Mixed\tcase\n", "mixed", std::nullopt},               // keys are case-sensitive
        {"Mixed\tcase\n", "Mixed", "case"},
        {"utf\t\xC3\xA4\xE2\x82\xAC\n", "utf", "\xC3\xA4\xE2\x82\xAC"},
    };
    for (const Case& c : cases) {
        MLocalization table;
        table.assign(textOf(c.file), false, nullptr);
        EXPECT_EQ(lookup(table, c.key), c.text) << "file: " << c.file << " key: " << c.key;
    }
}

TEST(LocalizationTable, DiagnosticsCountEveryLineOfAQuotedValue) {
    const char* ends[] = {"\n", "\r\n", "\r"};
    for (const char* end : ends) {
        std::string e = end;
        std::string file = "first\t\"a" + e + "b" + e + "c\"" + e + "; note" + e + e + "first\tlater" + e +
                           "Upper\tu" + e + "ART:Image\tart" + e;
        TraceCapture trace;
        MLocalization table;
        table.assign(textOf(file), true, nullptr);
        EXPECT_EQ(trace.lines().size(), 2u);
        EXPECT_TRUE(trace.contains("[Localization] Duplicate localization key on line 6: first"));
        EXPECT_TRUE(trace.contains("[Localization] Upper-case letter in localization key on line 7: Upper"));
        EXPECT_EQ(lookup(table, "first"), "a\nb\nc");
        EXPECT_EQ(lookup(table, "Upper"), "u"); // reported, still usable
        EXPECT_EQ(lookup(table, "ART:Image"), "art");
    }
}

TEST(LocalizationTable, KeyCheckOnlyWhenEnabled) {
    TraceCapture trace;
    MLocalization table;
    table.assign(textOf("Upper\tu\n"), false, nullptr);
    EXPECT_TRUE(trace.lines().empty());
    table.assign(textOf("lower_Upper\tu\nART:\tx\nart:X\ty\n"), true, nullptr);
    EXPECT_EQ(trace.lines().size(), 2u);
    EXPECT_TRUE(trace.contains("on line 1: lower_Upper"));
    EXPECT_TRUE(trace.contains("on line 3: art:X")); // the exemption is case-sensitive
}

TEST(LocalizationTable, SetReplacesOrInsertsInOrder) {
    MLocalization table;
    table.assign(textOf("b\ttwo\nd\tfour\n"), false, nullptr);
    const char* added[] = {"z", "a", "c", "e", "b"};
    for (const char* key : added)
        table.set(intern(key), intern(std::string("new ") + key));
    EXPECT_EQ(table.count(), 6);
    EXPECT_EQ(lookup(table, "b"), "new b");
    EXPECT_EQ(lookup(table, "d"), "four");
    for (const char* key : added)
        EXPECT_EQ(lookup(table, key), std::string("new ") + key);
    table.clear();
    EXPECT_EQ(lookup(table, "d"), std::nullopt);
}

// A game folder with localization files, loaded through the resource layer.
struct LocalizationFiles : ScriptFixture {
    TempDir game;
    MConfiguration config{"data/game.cfg"};

    LocalizationFiles() {
        std::filesystem::create_directories(game / "data");
        systemResetForTests();
        systemInit(game.str().c_str());
        resourceInit();
    }
    ~LocalizationFiles() override {
        localization().clear();
        std::filesystem::current_path(std::filesystem::temp_directory_path());
    }
    void write(const std::string& name, const std::string& bytes) { writeFile(game / "data" / name, bytes); }
    void configure(const std::string& text) { config.addMainText(textOf(text)); }

    std::vector<std::string> keyList() {
        std::vector<std::string> keys;
        Value* cell = findVariable(system.global(), KindPlain, intern("Localization_keys[]"), nullptr, false);
        if (!cell || !cell->is(ValueType::Array)) return keys;
        for (Value* item : cell->as<ArrayObject>()->items)
            keys.push_back(item ? valueText(*item) : "<empty>");
        return keys;
    }
    std::optional<std::string> text(const char* key) {
        const char* t = localizedText(intern(key));
        return t ? std::optional<std::string>(t) : std::nullopt;
    }
};

TEST_F(LocalizationFiles, FileOfTheLanguageSuffix) {
    EXPECT_EQ(localizationPath(""), "data/_localization.txt");
    EXPECT_EQ(localizationPath("_de"), "data/_localization_de.txt");
    write("_localization.txt", "hello\tHello\n");
    write("_localization_de.txt", "hello\tHallo\n");
    loadLocalization(config, "");
    EXPECT_EQ(text("hello"), "Hello");
    loadLocalization(config, "_de");
    EXPECT_EQ(text("hello"), "Hallo");
    loadLocalization(config, "_fr"); // missing: the table is emptied
    EXPECT_EQ(text("hello"), std::nullopt);
    EXPECT_TRUE(keyList().empty());
}

TEST_F(LocalizationFiles, Utf16FilesAreDecoded) {
    std::string bytes = "\xFF\xFE";
    for (char c : std::string("k\tv\xE4\n")) {
        bytes.push_back(c);
        bytes.push_back(0);
    }
    write("_localization.txt", bytes);
    loadLocalization(config, "");
    EXPECT_EQ(text("k"), "v\xC3\xA4");
}

TEST_F(LocalizationFiles, KeysArrayInFileOrderWithoutDuplicates) {
    write("_localization.txt", "zeta\t1\nalpha\t2\nzeta\t3\nbare\n;skip\tx\nmid\t\"a\nb\"\n");
    loadLocalization(config, "");
    EXPECT_EQ(keyList(), (std::vector<std::string>{"zeta", "alpha", "bare", "mid"}));
    EXPECT_EQ(text("zeta"), "1");
    write("_localization.txt", "other\tx\n");
    loadLocalization(config, "");
    EXPECT_EQ(keyList(), (std::vector<std::string>{"other"}));
}

TEST_F(LocalizationFiles, LocalizationVersionEnablesTheKeyCheck) {
    write("_localization.txt", "Upper\tu\n");
    loadLocalization(config, "");
    EXPECT_FALSE(traced("Upper-case letter"));
    configure("BuildLocalizationVersion=1\n");
    loadLocalization(config, "");
    EXPECT_TRUE(traced("[Localization] Upper-case letter in localization key on line 1: Upper"));
    EXPECT_EQ(text("Upper"), "u");
}

TEST_F(LocalizationFiles, CommandsFromAScript) {
    write("_localization.txt",
          "score\tYou have % of % points\n"
          "plain\tNo placeholders\n");
    loadLocalization(config, "");
    load("init {\n"
         "  has_local_text #has score\n"
         "  has_local_text #has_not missing\n"
         "  has_local_text #has_number 5\n"
         "  get_local_text #both score 3 10\n"
         "  get_local_text #one score 3\n"
         "  get_local_text #none score\n"
         "  get_local_text #plain plain 1 2\n"
         "  set #missing old\n"
         "  get_local_text #missing missing\n"
         "  set_local_text fresh \"New %\"\n"
         "  get_local_text #fresh fresh word\n"
         "  set_local_text plain replaced\n"
         "  get_local_text #replaced plain\n"
         "  has_local_text #has_fresh fresh\n"
         "}\n");
    EXPECT_EQ(number("has"), 1);
    EXPECT_EQ(number("has_not"), 0);
    EXPECT_EQ(number("has_number"), 0);
    EXPECT_EQ(ScriptFixture::text("both"), "You have 3 of 10 points");
    EXPECT_EQ(ScriptFixture::text("one"), "You have 3 of  points");
    EXPECT_EQ(ScriptFixture::text("none"), "You have  of  points");
    EXPECT_EQ(ScriptFixture::text("plain"), "No placeholders");
    EXPECT_TRUE(value("missing").isNone());
    EXPECT_EQ(ScriptFixture::text("fresh"), "New word");
    EXPECT_EQ(ScriptFixture::text("replaced"), "replaced");
    EXPECT_EQ(number("has_fresh"), 1);
    EXPECT_EQ(text("fresh"), "New %");
}

TEST_F(LocalizationFiles, PlaceholderCharacterFromTheConfiguration) {
    write("_localization.txt", "hashed\tLevel # of #, 100%\n");
    loadLocalization(config, "");
    static Value replaceChar;
    system.configuration.read = [](Symbol* key, Value& out) {
        if (key != sym::BuildLocalizationReplaceChar()) return false;
        out = replaceChar;
        return true;
    };
    const std::pair<Value, const char*> cases[] = {
        {Value::fromSymbol(intern("#")), "Level 2 of 9, 100%"},
        {Value::fromSymbol(intern("#!")), "Level 2 of 9, 100%"}, // the first character only
        {Value::fromSymbol(intern("")), "Level # of #, 1002"},   // empty: the default '%'
        {Value::fromNumber(35), "Level # of #, 1002"},           // not a string: '%'
    };
    load("fun fill {\n  get_local_text #out hashed 2 9\n}\n");
    for (const auto& [setting, expected] : cases) {
        replaceChar = setting;
        call("fill");
        EXPECT_EQ(ScriptFixture::text("out"), expected) << valueText(setting);
    }
}

TEST_F(LocalizationFiles, LongResultsAreCutAtTheBuffer) {
    write("_localization.txt", "long\t" + std::string(3000, 'x') + "%\nshort\t" + std::string(3000, 'y') +
                                   "\nwide\t%" + std::string(2046, 'w') + "\xE2\x82\xAC\n");
    loadLocalization(config, "");
    load("init {\n  get_local_text #long long 1\n  get_local_text #short short\n"
         "  get_local_text #wide wide\n}\n");
    EXPECT_EQ(ScriptFixture::text("long"), std::string(2047, 'x'));
    // The euro sign would straddle the end: it goes whole.
    EXPECT_EQ(ScriptFixture::text("wide"), std::string(2046, 'w'));
    EXPECT_EQ(ScriptFixture::text("short").size(), 3000u); // nothing to replace: the whole text
}

} // namespace
} // namespace glint::test

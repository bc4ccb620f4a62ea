#include "script/symbol.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

using namespace glint;

TEST(Symbol, InterningGivesOneRecordPerExactText) {
    Symbol* abc = intern("abc");
    EXPECT_EQ(abc, intern("abc"));
    EXPECT_EQ(abc, intern(std::string_view("abcdef", 3)));
    EXPECT_NE(abc, intern("ABC"));
    EXPECT_NE(intern("Task"), intern("task"));
    EXPECT_STREQ(abc->text, "abc");
    EXPECT_EQ(abc->length, 3);
    EXPECT_EQ(intern(static_cast<const char*>(nullptr)), nullptr);
}

TEST(Symbol, FindDoesNotCreate) {
    int bucket = -1;
    EXPECT_EQ(findSymbol("never_interned_name_42", &bucket), nullptr);
    EXPECT_EQ(static_cast<uint32_t>(bucket), symbolHash("never_interned_name_42", 22));
    Symbol* s = intern("never_interned_name_42");
    EXPECT_EQ(findSymbol("never_interned_name_42"), s);
}

TEST(Symbol, ArenaTextsAreFramedByZeroBytes) {
    Symbol* s = intern("framed_text");
    EXPECT_EQ(s->text[-1], 0);
    EXPECT_EQ(s->text[-2], 0);
    EXPECT_EQ(s->text[s->length], 0);
    EXPECT_EQ(s->text[s->length + 1], 0);
}

TEST(Symbol, LongTextsAreCutAndStillInterned) {
    std::string big(70000, 'x');
    Symbol* s = intern(big);
    EXPECT_EQ(s->length, kMaxSymbolLength);
    EXPECT_EQ(s, intern(big.substr(0, kMaxSymbolLength)));
    std::string second(65535, 'y'); // fills a chunk of its own
    EXPECT_EQ(intern(second)->length, 65535);
}

TEST(Symbol, ArrayElementDecomposition) {
    struct Case {
        const char* name;
        const char* base; // null: a plain name
        int index;
    } cases[] = {
        {"book_3", "book[]", 3},     {"lamp_12", "lamp[]", 12}, {"a_b_3", "a_b[]", 3},
        {"book_0", nullptr, 0},      {"book_", nullptr, 0},     {"book_3a", nullptr, 0},
        {"book", nullptr, 0},        {"lamp_1x", nullptr, 0},   {"_7", "[]", 7},
        {"x_99999999999", nullptr, 0},
    };
    for (const Case& c : cases) {
        Symbol* s = intern(c.name);
        if (!c.base) {
            EXPECT_EQ(s->arrayBase, nullptr) << c.name;
            EXPECT_EQ(s->arrayIndex, 0) << c.name;
        } else {
            EXPECT_EQ(s->arrayBase, intern(c.base)) << c.name;
            EXPECT_EQ(s->arrayIndex, c.index) << c.name;
        }
    }
}

TEST(Symbol, WellKnownRecordsAreTheInternedOnes) {
    EXPECT_EQ(intern("alpha"), sym::alpha());
    EXPECT_EQ(intern("="), sym::eq());
    EXPECT_EQ(intern(""), sym::empty());
    EXPECT_EQ(intern("Call_stack[]"), sym::Call_stack_array());
    EXPECT_EQ(intern("?reset_state"), sym::q_reset_state());
    EXPECT_EQ(intern("if"), sym::if_());
    EXPECT_EQ(intern("ps_option_z"), sym::ps_option_z());
    // Registered records are decomposed like interned ones.
    EXPECT_EQ(sym::hud_pre_picking_time_5()->arrayBase, intern("hud_pre_picking_time[]"));
    EXPECT_EQ(sym::hud_pre_picking_factor_0()->arrayBase, nullptr);
    EXPECT_GE(symbolCount(), static_cast<int>(sym::kWellKnownCount));
}

TEST(Symbol, WellKnownTextsAreDistinct) {
    for (int i = 0; i < sym::kWellKnownCount; ++i) {
        Symbol* record = &sym::wellKnown[i];
        EXPECT_EQ(findSymbol(record->text, record->length), record) << record->text;
    }
}

TEST(Symbol, HashIsSeededWithLengthAndReadsSignedTails) {
    EXPECT_EQ(symbolHash("", 0), 0u);
    // Tails with a byte above 127 must differ from the unsigned reading.
    // Expected buckets worked out by hand from the published algorithm; the
    // last two read their tail byte 0xE9 as -23.
    struct Case {
        const char* text;
        uint32_t bucket;
    } cases[] = {{"a", 6881}, {"abc", 5548}, {"alpha", 10058}, {"Call_stack[]", 3749},
                 {"\xE9", 4588}, {"ab\xE9", 8224}};
    for (const Case& c : cases)
        EXPECT_EQ(symbolHash(c.text, static_cast<int>(std::strlen(c.text))), c.bucket) << c.text;
}

// What an element displays as its text: the localized key, the "text"
// variable, their merge, arrays of lines and the font that allows a text.
#include "element_fixture.h"

#include "engine/text/text.h"
#include "scene/scene_engine_state.h"
#include "script/array_object.h"
#include "text/font_list.h"
#include "text/localization.h"

#include <memory>

namespace glint::test {
namespace {

struct ElementTextTest : ElementFixture {
    SceneEngineState saved = sceneEngineState();
    MFontList fonts;
    MElement* label = make("label");

    ElementTextTest() {
        fonts.set(0, std::make_unique<KText>());
        fonts.set(1, std::make_unique<KText>());
        sceneEngineState().fonts = &fonts;
        setLocalizedText(intern("greeting"), intern("Hello"));
    }
    ~ElementTextTest() override {
        sceneEngineState() = saved;
        localization().clear();
    }
    void setText(const Value& value) { label->members.set(sym::text(), value); }
    void setKey(const char* key) { label->members.set(sym::text_key(), Value::fromSymbol(intern(key))); }
    std::string shown() {
        const char* text = label->text();
        return text ? text : "(none)";
    }
};

TEST_F(ElementTextTest, KeyAndTextCombine) {
    struct Case {
        const char* key; // null: no text_key
        const char* text; // null: no text variable
        bool merge;
        const char* shown;
    } cases[] = {
        {"greeting", nullptr, true, "Hello"},
        {"greeting", ", keeper", true, "Hello, keeper"},
        {"greeting", ", keeper", false, ", keeper"},
        {"missing", "plain", true, "plain"},
        {"", nullptr, true, "(none)"},
        {nullptr, nullptr, true, "(none)"},
    };
    for (const Case& c : cases) {
        label->members.set(sym::text_key(), Value());
        label->members.set(sym::text(), Value());
        if (c.key)
            setKey(c.key);
        if (c.text)
            setText(Value::fromSymbol(intern(c.text)));
        sceneEngineState().mergeTextKeyAndText = c.merge;
        EXPECT_EQ(shown(), c.shown) << (c.key ? c.key : "-") << " + " << (c.text ? c.text : "-");
    }
}

TEST_F(ElementTextTest, AnArrayGivesOneLinePerItemAndOtherItemsStayEmpty) {
    run("init {\n  set #lines[1] \"first\"\n  set #lines[2] 5\n  set #lines[3] \"third\"\n}\n");
    Value* lines = findVariable(room.scope, KindPlain, intern("lines[]"), nullptr, false);
    ASSERT_TRUE(lines && lines->is(ValueType::Array));
    setText(*lines);
    EXPECT_EQ(shown(), "first\n\nthird");
}

TEST_F(ElementTextTest, TheFontDecidesWhetherThereIsAText) {
    setText(Value::fromSymbol(intern("x")));
    label->font = 7;
    EXPECT_EQ(shown(), "x") << "an index past the table uses font 1";
    fonts.set(0, nullptr);
    label->font = 0;
    EXPECT_EQ(shown(), "x") << "font 0 missing: font 1";
    MFontList single;
    single.set(0, nullptr);
    sceneEngineState().fonts = &single;
    EXPECT_EQ(shown(), "(none)");
}

TEST_F(ElementTextTest, AnOverlongTextIsCutAtTheBuffer) {
    std::string huge(70000, 'a');
    setKey("greeting");
    setText(Value::fromSymbol(intern(huge.c_str())));
    EXPECT_EQ(shown().size(), 65535u);
}

} // namespace
} // namespace glint::test

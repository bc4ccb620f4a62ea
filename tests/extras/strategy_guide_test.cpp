// The strategy guide read from its XML document into the guide scene's
// variables: numbering across chapters, pictures and bullet texts, and the
// documents that set nothing.
#include "app/engine_fixture.h"
#include "extras/guide_document.h"
#include "extras/strategy_guide.h"
#include "scene/registry_fixture.h"
#include "scene/scene.h"
#include "script/value.h"

using namespace glint;
using namespace glint::test;

namespace {

const char* const kGuide = R"(<?xml version="1.0" encoding="UTF-8"?>
<!-- the guide -->
<xml>
  <toc><h2>The Keeper's Guide</h2>
    <ul><li>Arrival</li><li></li><li>The Lamp</li><li><b>bold</b></li></ul>
    <ul><li>ignored</li></ul>
  </toc>
  <toc><h2>second toc</h2></toc>
  <guide>
    <chapter>
      <page><img src="sg_page_01.png"/><ul><li>a</li><li/><li>b</li></ul><ul><li>ignored</li></ul></page>
      <page><img src="plain.png"/><img/><img src="nodot"/><ul/></page>
    </chapter>
    <chapter>
      <page>
        <img src="p1.png"/><img src="sg_page_07.png"/><img src="3.png"/><img src="4.png"/><img src="5.png"/>
        <img src="6.png"/><img src="7.png"/><img src="8.png"/><img src="9.png"/><img src="10.png"/>
        <img src="11.png"/>
      </page>
      <page><img src="first_12.png"/></page>
    </chapter>
    <chapter/>
    <chapter><page/></chapter>
  </guide>
  <guide><chapter><page><ul><li>ignored</li></ul></page></chapter></guide>
</xml>
)";

struct GuideFixture : RegistryFixture {
    // A registry with the guide scene and the document written under the
    // language suffix.
    MScene* readGuide(const std::string& document, const std::string& suffix = "") {
        contentFor("data/strategy_guide_ce\n");
        file("data/strategy_guide" + suffix + ".xml", document);
        build("data/strategy_guide_ce\n");
        loadStrategyGuide(engine->scenes, suffix);
        return scene("strategy_guide_ce");
    }
    static Value* variable(MScene* guide, const std::string& name) {
        return findVariable(guide->scriptClass(), KindPlain, intern(name), nullptr, false);
    }
    static std::string text(MScene* guide, const std::string& name) {
        Value* v = variable(guide, name);
        return v && v->isString() ? v->symbol()->text : "<unset>";
    }
    static double number(MScene* guide, const std::string& name) {
        Value* v = variable(guide, name);
        return v && v->isNumber() ? v->number : -1;
    }
};

TEST_F(GuideFixture, ChaptersPagesPicturesAndTextsAreNumberedAcrossTheGuide) {
    MScene* guide = readGuide(kGuide);
    ASSERT_NE(guide, nullptr);
    EXPECT_EQ(text(guide, "Title"), "The Keeper's Guide");
    EXPECT_EQ(text(guide, "ChapterTitle_1"), "Arrival");
    EXPECT_EQ(variable(guide, "ChapterTitle_2"), nullptr) << "an item without text leaves a gap";
    EXPECT_EQ(text(guide, "ChapterTitle_3"), "The Lamp");
    EXPECT_EQ(variable(guide, "ChapterTitle_4"), nullptr) << "its first child is an element, not text";

    const double expectedChapters[][2] = {{1, 2}, {3, 2}, {5, 0}, {5, 1}};
    for (int c = 1; c <= 4; ++c) {
        EXPECT_EQ(number(guide, "ChapterFirstPage_" + std::to_string(c)), expectedChapters[c - 1][0]) << c;
        EXPECT_EQ(number(guide, "ChapterPageCount_" + std::to_string(c)), expectedChapters[c - 1][1]) << c;
    }

    EXPECT_EQ(number(guide, "PageImage_11"), 1);
    EXPECT_EQ(number(guide, "PageImage_21"), 0) << "no digits before the dot";
    EXPECT_EQ(text(guide, "PageImageName_21"), "plain.png");
    EXPECT_EQ(variable(guide, "PageImage_22"), nullptr) << "an img without src keeps its number";
    EXPECT_EQ(number(guide, "PageImage_23"), 0) << "no dot at all";
    EXPECT_EQ(text(guide, "PageImageName_23"), "nodot");
    EXPECT_EQ(number(guide, "PageImage_32"), 7);
    EXPECT_EQ(text(guide, "PageImageName_32"), "sg_page_07.png");
    EXPECT_EQ(number(guide, "PageImage_40"), 10);
    EXPECT_EQ(text(guide, "PageImageName_41"), "first_12.png") << "the next page's first picture wins";
    EXPECT_EQ(number(guide, "PageImage_41"), 12);

    EXPECT_EQ(text(guide, "PageText_1"), "- a\n- b");
    EXPECT_EQ(text(guide, "PageText_2"), "") << "a list without items";
    EXPECT_EQ(variable(guide, "PageText_3"), nullptr) << "a page without a list";
    EXPECT_EQ(variable(guide, "PageText_6"), nullptr) << "the second guide is ignored";

    Value* title = variable(guide, "Title");
    EXPECT_NE(title->symbol(), findSymbol("The Keeper's Guide")) << "titles are strings of their own";
    EXPECT_EQ(variable(guide, "PageImageName_11")->symbol(), intern("sg_page_01.png")) << "image names are names";
}

TEST_F(GuideFixture, DocumentsThatAreNotAGuideSetNothing) {
    const std::pair<const char*, const char*> cases[] = {
        {"upper-case root", "<XML><toc><h2>T</h2></toc></XML>"},
        {"other root", "<guide><toc><h2>T</h2></toc></guide>"},
        {"damaged", "<xml><toc><h2>T</h2></toc>"},
        {"empty", ""},
        {"deep", nullptr},
    };
    for (const auto& [name, document] : cases) {
        std::string text = document ? document : "";
        if (!document) {
            text = "<xml><toc><h2>T</h2></toc>";
            for (int i = 0; i < 5000; ++i) text += "<a>";
            for (int i = 0; i < 5000; ++i) text += "</a>";
            text += "</xml>";
        }
        MScene* guide = readGuide(text);
        EXPECT_EQ(variable(guide, "Title"), nullptr) << name;
    }
}

TEST_F(GuideFixture, TheLanguagesDocumentIsReadOnlyForTheGuideScene) {
    // Image names are interned: they show whether a document was read.
    const char* english = "<xml><guide><chapter><page><img src=\"english_1.png\"/></page></chapter></guide></xml>";
    file("data/strategy_guide.xml", english);
    MScene* guide = readGuide("<xml><toc><h2>Deutsch</h2></toc></xml>", "_de");
    EXPECT_EQ(text(guide, "Title"), "Deutsch");
    EXPECT_EQ(findSymbol("english_1.png"), nullptr);

    contentFor("data/other\n");
    build("data/other\n");
    loadStrategyGuide(engine->scenes, "");
    EXPECT_EQ(findSymbol("english_1.png"), nullptr) << "without the guide scene the document is not read";
}

TEST(GuideDocument, APageTextIsCutAtItsBufferOnACharacterBoundary) {
    struct Texts : GuideSink {
        void number(const std::string&, double) override {}
        void text(const std::string& name, std::string_view value) override {
            if (name == "PageText_1") page = value;
        }
        void imageName(const std::string&, std::string_view) override {}
        std::string page;
    } sink;
    // Two-byte characters from an odd offset: the cut would split one.
    std::string bullet;
    for (int i = 0; i < 40000; ++i) bullet += "\xC3\xA9";
    std::string document = "<xml><guide><chapter><page><ul><li>" + bullet + "</li><li>" + bullet +
                           "</li></ul></page></chapter></guide></xml>";
    ASSERT_TRUE(readGuideDocument(document.c_str(), sink));
    EXPECT_LE(sink.page.size(), kMaxPageText);
    EXPECT_GE(sink.page.size(), kMaxPageText - 1);
    EXPECT_EQ(sink.page.substr(0, 4), "- \xC3\xA9");
    EXPECT_NE(static_cast<unsigned char>(sink.page.back()), 0xC3) << "no character is split";
}

struct GuideLoadingTest : EngineFixture {};

TEST_F(GuideLoadingTest, LoadingFillsTheGuideBeforeItsScriptsRun) {
    makeGame();
    file("data/scenes.cfg", "data/_interface/loading\r\ndata/startup\r\ndata/strategy_guide_ce\r\n");
    file("data/strategy_guide_ce/_strategy_guide_ce.scene", "{}");
    file("data/strategy_guide_ce/strategy_guide_ce.script", "init {\n  set #seen #ChapterPageCount_1\n}\n");
    file("data/strategy_guide.xml", "<xml><guide><chapter><page/><page/></chapter></guide></xml>");
    MEngine& engine = start();
    loadUntilPlay(engine);
    MScene* guide = engine.findScene(intern("strategy_guide_ce"));
    ASSERT_NE(guide, nullptr);
    Value* seen = findVariable(guide->scriptClass(), KindPlain, intern("seen"), nullptr, false);
    ASSERT_NE(seen, nullptr);
    EXPECT_EQ(seen->number, 2);
}

} // namespace

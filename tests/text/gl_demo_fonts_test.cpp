// The sample game's own fonts: found as the engine looks for them, with the
// game's page extension and line spacing, and drawing ink.
#include "engine/render/quad_batch.h"
#include "engine/resources/resource.h"
#include "engine/system/system.h"
#include "engine/text/text_encoding.h"
#include "support/gl_test_support.h"
#include "support/test_support.h"
#include "text/font_list.h"

namespace glint::test {
namespace {

class DemoFontsTest : public GlWindowTest {};

TEST_F(DemoFontsTest, BothFontsLoadWithTheirSpacingAndDraw) {
    open(320, 64, 320, 64);
    systemResetForTests();
    ASSERT_TRUE(systemInit((sourceDir() / "games" / "demo").string().c_str()));
    resourceInit();
    MFontList fonts;
    ASSERT_EQ(loadFonts(fonts, "png"), 2);
    EXPECT_FLOAT_EQ(fonts.font(0)->lineSpacing, 2);
    EXPECT_FLOAT_EQ(fonts.font(1)->lineSpacing, 4);
    EXPECT_GT(fonts.font(1)->height(), fonts.font(0)->height());
    KText* text = fonts.font(0);
    ASSERT_NE(text->page(0), nullptr);
    Readback frame = drawFrame([text] { text->drawLeft("Lighthouse", 4, 8, 0, 1, 1, K_TEXT_UTF8); });
    int lit = 0;
    for (uint32_t pixel : frame.pixels)
        lit += (pixel & 0xFF) > 128;
    EXPECT_GT(lit, 100) << "the word leaves ink";
}

} // namespace
} // namespace glint::test

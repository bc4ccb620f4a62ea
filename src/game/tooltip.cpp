#include "game/tooltip.h"

#include <algorithm>
#include <cmath>

#include "engine/system/numbers.h"
#include "engine/text/text.h"
#include "engine/text/text_encoding.h"
#include "scene/element.h"
#include "scene/element_geometry.h"
#include "scene/scene_draw.h"

namespace glint {

namespace {

// Stretched from two pixels left of the text to six right of it, and down
// from five above it by the picture's own height.
void drawBack(MElement& back, float x, float y, float width, float opacity) {
    if (!back.visual || !back.visual->image.texture)
        return;
    const MImageAnim& image = back.visual->image;
    const float w = width + 8, h = back.visual->height;
    Corners corners = rectangleCorners(x - 2, y - 5, w, h, 0, 0, 0);
    drawElementImage(back, image, image.frameRect(static_cast<float>(roundToInteger(back.time))), corners,
                     packColor(1, 1, 1, opacity));
}

} // namespace

void drawTooltip(const TooltipStyle& style, float x, float y, const std::string& text, int32_t ticks, float opacity,
                 bool clamp) {
    KText* font = style.font;
    if (!font || opacity <= 0 || text.empty())
        return;
    const float scale = style.fontScale;
    float width = font->textWidth(text.c_str(), 0, scale, K_TEXT_UTF8);
    float height = static_cast<float>(font->height());
    if (clamp) {
        x = std::clamp(x, 0.0f, std::max(0.0f, style.screenW - width - 6));
        y = std::clamp(y, 0.0f, std::max(0.0f, style.screenH - height - 6));
    }
    if (style.back)
        drawBack(*style.back, x, y, width, opacity);
    int32_t shownChars = ticks * std::max(textCharCount(text.c_str(), K_TEXT_UTF8), 10) / 50;
    font->setColor(packColor(0.78f, 0.67f, 0.54f, opacity));
    font->drawTextBox(text.c_str(), shownChars, std::round(x), std::round(x) + width + 4096, std::round(y), K_ALIGN_LEFT,
                      -1, scale, scale);
}

} // namespace glint

// Putting scenes on screen: colours, an element's image (plain quad,
// nine-part frame or waving strips) and its text. MScene::draw drives them
// (scene_draw.cpp); render hooks of scripts call them directly.
#pragma once

#include <array>
#include <cstdint>

#include "engine/system/numbers.h"
#include "resource/image_anim.h"
#include "scene/element_polygon.h"

namespace glint {

class KText;
class MElement;

using Corners = std::array<PolygonPoint, 4>;

// The element's channels times its tint (when tinted), with alpha opacity.
uint32_t elementColor(const MElement& element, float opacity);

// The image rectangle (texels of the bound page) onto the corners in the
// packed colour: one quad, a nine-part frame or waving strips, by the
// element's settings.
void drawElementImage(const MElement& element, const MImageAnim& image, const FrameRect& rect,
                      const Corners& corners, uint32_t color);

// What an element's text is drawn with; see drawElementText.
struct TextPlacement {
    float x = 0, y = 0;           // the anchor
    float boxWidth = 0, boxHeight = 0;
    float pivotX = 0.5f, pivotY = 0.5f;
    int horizontal = 7, vertical = 1; // the two digits of the alignment code
};

// Draws text laid out by the font: maxChars (-1 all) characters, measured
// size (mw, mh), lineHeight (-1 the font's own), scale, placement; the
// outline (four copies moved by one unit diagonally) only when its alpha
// byte is not 0, the text only when its own is not 0.
void drawElementText(KText& font, const char* text, int maxChars, float measuredW, float measuredH,
                     float lineHeight, float scaleX, float scaleY, const TextPlacement& place,
                     uint32_t outlineColor, uint32_t color);

// The element's text (MElement::text) with its font at its place, anchor,
// alignment, colours and outline, with opacity.
void drawTextOfElement(MElement& element, const char* text, float opacity);

// The font an element's text uses, or null when it has none.
KText* elementFont(const MElement& element);

// How big the text of an element shows with its font: measured in its box,
// scaled as drawing scales it.
struct TextExtent {
    float width = 0, height = 0;
};
TextExtent measureElementText(MElement& element, const char* text, float lineHeight);

} // namespace glint

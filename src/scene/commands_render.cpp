// Drawing and measuring from scripts: render_text and render_image draw at
// once (render hooks call them while their element is drawn), get_text_w
// and get_text_h measure an element's text as it would show.
#include "scene/render_commands.h"

#include "engine/text/text.h"
#include "resource/texture.h"
#include "scene/element.h"
#include "scene/element_geometry.h"
#include "scene/scene_draw.h"
#include "scene/scene_engine_state.h"
#include "script/commands.h"
#include "script/interpreter.h"
#include "text/font_list.h"

namespace glint {

namespace {

float numberOr(const Value& value, float fallback) {
    return value.isNumber() ? static_cast<float>(value.number) : fallback;
}

MElement* elementOf(const Value& value) {
    if (!value.is(ValueType::Element) || !value.pointer)
        return nullptr;
    return dynamic_cast<MElement*>(value.as<ScriptElement>());
}

// The main font: font 0, or font 1 when there is no font 0.
KText* mainFont() {
    const MFontList* fonts = sceneEngineState().fonts;
    if (!fonts)
        return nullptr;
    KText* font = fonts->font(0);
    return font ? font : fonts->font(1);
}

// render_text text x y align r g b a
uint32_t commandRenderText(Value* args, int) {
    KText* font = mainFont();
    if (!font || !args[0].isString() || !args[0].symbol()->text[0])
        return 0;
    const char* text = args[0].symbol()->text;
    const SceneEngineState& state = sceneEngineState();
    int align = roundedInt(args[3], 22);
    TextPlacement place;
    place.x = numberOr(args[1], state.screenW / 2);
    place.y = numberOr(args[2], state.screenH / 2);
    place.horizontal = align % 10;
    place.vertical = align / 10;
    float alpha = numberOr(args[7], 1);
    KTextBoxSize size = font->measureTextBox(text, 0, -1, 1, 1);
    uint32_t color = packColor(numberOr(args[4], 1), numberOr(args[5], 1), numberOr(args[6], 1), alpha);
    TextPlacement shadow = place;
    shadow.x += 1, shadow.y += 1;
    drawElementText(*font, text, -1, size.width, size.height, -1, 1, 1, shadow, 0, packColor(0, 0, 0, alpha));
    drawElementText(*font, text, -1, size.width, size.height, -1, 1, 1, place, 0, color);
    return 0;
}

// render_image element x y w h scale_x scale_y angle r g b a blend
uint32_t commandRenderImage(Value* args, int) {
    MElement* e = elementOf(args[0]);
    const MElementVisual* visual = e && e->imageSource && e->imageSource->visual ? e->imageSource->visual
                                   : e                                          ? e->visual
                                                                                : nullptr;
    if (!visual || !visual->image.texture)
        return 0;
    const MImageAnim& image = visual->image;
    FrameRect rect = image.frameRect(static_cast<float>(roundToInteger(e->time)));
    float w = numberOr(args[3], rect.x1 - rect.x0) * numberOr(args[5], 1);
    float h = numberOr(args[4], rect.y1 - rect.y0) * numberOr(args[6], 1);
    Corners corners = rectangleCorners(numberOr(args[1], e->absX), numberOr(args[2], e->absY), w, h,
                                       numberOr(args[7], 0), e->pivotX, e->pivotY);
    uint32_t color = packColor(numberOr(args[8], 1), numberOr(args[9], 1), numberOr(args[10], 1),
                               numberOr(args[11], 1));
    uint8_t ownBlend = e->blendMode;
    if (args[12].isNumber())
        e->blendMode = static_cast<uint8_t>(roundedInt(args[12]));
    drawElementImage(*e, image, rect, corners, color);
    e->blendMode = ownBlend;
    return 0;
}

// get_text_w and get_text_h: out element [line height]
uint32_t measure(Value* args, bool width) {
    MElement* e = elementOf(args[1]);
    const char* text = e ? e->text() : nullptr;
    if (!text) {
        args[0] = Value::fromNumber(0);
        return 1;
    }
    float lineHeight = -1;
    if (args[2].isNumber())
        lineHeight = static_cast<float>(roundedInt(args[2]));
    else if (const Value* own = e->members.get(sym::font_height()); own && own->isNumber() && own->number >= 1)
        lineHeight = static_cast<float>(roundedInt(*own));
    TextExtent size = measureElementText(*e, text, lineHeight);
    float scale = sceneEngineState().globalFontScaling;
    args[0] = Value::fromNumber((width ? size.width : size.height) * scale);
    return 1;
}

uint32_t commandGetTextW(Value* args, int) { return measure(args, true); }
uint32_t commandGetTextH(Value* args, int) { return measure(args, false); }

} // namespace

void registerRenderCommands() {
    registerKeyword(KwGetTextW, "get_text_w", commandGetTextW, 3, 0);
    registerKeyword(KwGetTextH, "get_text_h", commandGetTextH, 3, 0);
    registerKeyword(KwRenderText, "render_text", commandRenderText, 8, 0);
    registerKeyword(KwRenderImage, "render_image", commandRenderImage, 13, 0);
}

} // namespace glint

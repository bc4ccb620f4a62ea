// An element's displayed text: assembled from its localized key and its
// "text" variable, measured and drawn with its font.
#include <algorithm>
#include <cstring>

#include "engine/text/text.h"
#include "scene/element.h"
#include "scene/scene_draw.h"
#include "scene/scene_engine_state.h"
#include "scene/scene_update_steps.h"
#include "script/array_object.h"
#include "text/font_list.h"
#include "text/localization.h"

namespace glint {

namespace {

constexpr size_t kTextBufferSize = 65536;

// The one buffer every element text is assembled in; a text that would
// pass its end is cut there.
class TextAssembly {
public:
    void clear() { length_ = 0, buffer_[0] = 0; }
    void append(const char* text) {
        size_t room = kTextBufferSize - 1 - length_;
        size_t count = std::min(std::strlen(text), room);
        std::memcpy(buffer_ + length_, text, count);
        length_ += count;
        buffer_[length_] = 0;
    }
    const char* text() const { return buffer_; }

private:
    char buffer_[kTextBufferSize];
    size_t length_ = 0;
};

TextAssembly& assembly() {
    static TextAssembly buffer;
    return buffer;
}

const char* localizedPart(const MElement& e) {
    const Value* key = e.members.get(sym::text_key());
    if (!key || !key->isString() || !key->symbol()->text[0])
        return nullptr;
    const char* text = localizedText(key->symbol());
    return text && text[0] ? text : nullptr;
}

void appendLines(TextAssembly& out, const ArrayObject& lines) {
    for (size_t i = 0; i < lines.items.size(); ++i) {
        if (i > 0)
            out.append("\n");
        const Value* item = lines.items[i];
        if (item && item->isString())
            out.append(item->symbol()->text);
    }
}

float numberMember(const MElement& e, Symbol* key, float fallback) {
    const Value* value = e.members.get(key);
    return value && value->isNumber() ? static_cast<float>(value->number) : fallback;
}

// A present non-number adds nothing.
float offsetMember(const MElement& e, Symbol* key) { return numberMember(e, key, 0); }

} // namespace

KText* elementFont(const MElement& e) {
    const MFontList* fonts = sceneEngineState().fonts;
    return fonts ? fonts->drawingFont(e.font) : nullptr;
}

const char* MElement::text() const {
    if (!elementFont(*this))
        return nullptr;
    const char* localized = localizedPart(*this);
    const Value* text = members.get(sym::text());
    if (!text || text->isNone())
        return localized;
    TextAssembly& out = assembly();
    out.clear();
    if (localized && sceneEngineState().mergeTextKeyAndText)
        out.append(localized);
    if (text->isString())
        out.append(text->symbol()->text);
    else if (text->is(ValueType::Array) && text->pointer)
        appendLines(out, *text->as<ArrayObject>());
    return out.text();
}

void drawElementText(KText& font, const char* text, int maxChars, float measuredW, float measuredH,
                     float lineHeight, float scaleX, float scaleY, const TextPlacement& place,
                     uint32_t outlineColor, uint32_t color) {
    if (!text || !text[0])
        return;
    const SceneEngineState& state = sceneEngineState();
    scaleX *= state.globalFontScaling;
    scaleY *= state.globalFontScaling;
    float y = place.y;
    switch (place.vertical) {
    case 1: y -= place.boxHeight * place.pivotY; break;
    case 2: y -= measuredH / 2; break;
    case 3: y = y + (1 - place.pivotY) * place.boxHeight - measuredH; break;
    default: break;
    }
    float left = place.x - place.boxWidth * place.pivotX, right = left + place.boxWidth;
    int alignment = place.horizontal == 3 ? K_ALIGN_RIGHT : K_ALIGN_LEFT;
    if (place.horizontal == 2) {
        left = place.x - measuredW / 2, right = place.x + measuredW / 2;
        alignment = K_ALIGN_CENTER;
    }
    if (outlineColor >> 24) {
        font.setColor(outlineColor);
        for (float dx : {-1.0f, 1.0f})
            for (float dy : {-1.0f, 1.0f})
                font.drawTextBox(text, maxChars, left + dx, right + dx, y + dy, alignment, lineHeight, scaleX,
                                 scaleY);
    }
    if (color >> 24) {
        font.setColor(color);
        font.drawTextBox(text, maxChars, left, right, y, alignment, lineHeight, scaleX, scaleY);
    }
}

namespace {

float elementLineHeight(const MElement& e) {
    float height = numberMember(e, sym::font_height(), -1);
    return height >= 1 ? height : -1;
}

struct TextScale {
    float x = 1, y = 1;
};

TextScale textScaleOf(const MElement& e) {
    if (sceneEngineState().fontScaling)
        return {e.absScaleX, e.absScaleY};
    return {};
}

} // namespace

TextExtent measureElementText(MElement& e, const char* text, float lineHeight) {
    KText* font = elementFont(e);
    if (!font || !text)
        return {};
    TextScale scale = textScaleOf(e);
    KTextBoxSize size = font->measureTextBox(text, static_cast<float>(static_cast<int>(e.absW)), lineHeight,
                                             scale.x, scale.y);
    return {size.width, size.height};
}

void drawTextOfElement(MElement& e, const char* text, float opacity) {
    KText* font = elementFont(e);
    if (!font || !text || !text[0])
        return;
    float tint[3] = {1, 1, 1};
    if (e.hasFlag(kElementTinted))
        for (int i = 0; i < 3; ++i)
            tint[i] = e.tint[i] / 255.0f;
    float r = e.textColor[0] / 255.0f * tint[0], g = e.textColor[1] / 255.0f * tint[1],
          b = e.textColor[2] / 255.0f * tint[2];
    uint32_t color = packColor(r, g, b, opacity);
    float outlineAlpha = e.hasFlag(kElementTextOutline) ? opacity : 0;
    uint32_t outline = pointerTarget() == &e ? packColor(r / 2, g / 2, b / 2, outlineAlpha)
                                             : packColor(0, 0, 0, outlineAlpha);
    int maxChars = e.charsCount > 0 ? static_cast<int>(e.charsCount + 0.5f) : -1;
    float lineHeight = elementLineHeight(e);
    TextScale scale = textScaleOf(e);
    TextExtent size = measureElementText(e, text, lineHeight);
    TextPlacement place;
    place.x = e.absX + offsetMember(e, sym::text_offset_x());
    place.y = e.absY + offsetMember(e, sym::text_offset_y());
    place.boxWidth = e.absW, place.boxHeight = e.absH;
    place.pivotX = e.pivotX, place.pivotY = e.pivotY;
    place.horizontal = e.textAlign % 10;
    place.vertical = e.textAlign / 10;
    drawElementText(*font, text, maxChars, size.width, size.height, lineHeight, scale.x, scale.y, place, outline,
                    color);
}

} // namespace glint

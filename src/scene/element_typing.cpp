// The typing effect: a text shown one character more at a time.
#include "scene/element.h"
#include "scene/element_lists.h"
#include "scene/scene.h"
#include "text/localization.h"

namespace glint {

namespace {

int32_t codePoints(const char* text) {
    int32_t count = 0;
    for (const char* p = text; *p; ++p)
        count += (static_cast<unsigned char>(*p) & 0xC0) != 0x80;
    return count;
}

} // namespace

const char* MElement::currentText() {
    Value* text = members.get(sym::text());
    if (text && text->isString())
        return text->symbol()->text;
    Value* key = members.get(sym::text_key());
    if (key && key->isString()) {
        const char* localized = localizedText(key->symbol());
        return localized ? localized : key->symbol()->text;
    }
    return "";
}

void MScene::updateTyping() {
    std::vector<MElement*> running = typing;
    for (MElement* element : running) {
        if (element->charsCount <= 0) {
            removeFrom(typing, element);
            continue;
        }
        element->charsCount += static_cast<float>(element->charsSpeed) / 1024.0f;
        if (element->charsCount >= static_cast<float>(codePoints(element->currentText())))
            element->charsCount = 0; // all of it shows
        element->markTransformDirty();
    }
}

} // namespace glint

// The typing effect: a text shown one character more at a time.
#include "scene/element.h"
#include "scene/element_lists.h"
#include "scene/scene.h"

namespace glint {

namespace {

// A text without a font has nothing to type.
int32_t codePoints(const char* text) {
    int32_t count = 0;
    for (const char* p = text; p && *p; ++p)
        count += (static_cast<unsigned char>(*p) & 0xC0) != 0x80;
    return count;
}

} // namespace

void MScene::updateTyping() {
    std::vector<MElement*> running = typing;
    for (MElement* element : running) {
        if (element->charsCount <= 0) {
            removeFrom(typing, element);
            continue;
        }
        element->charsCount += static_cast<float>(element->charsSpeed) / 1024.0f;
        if (element->charsCount >= static_cast<float>(codePoints(element->text())))
            element->charsCount = 0; // all of it shows
        element->markTransformDirty();
    }
}

} // namespace glint

// The typing effect: a text shown one character more at a time.
#include "engine/text/text_encoding.h"
#include "scene/element.h"
#include "scene/element_lists.h"
#include "scene/scene.h"

namespace glint {

void MScene::updateTyping() {
    std::vector<MElement*> running = typing;
    for (MElement* element : running) {
        if (element->charsCount <= 0) {
            removeFrom(typing, element);
            continue;
        }
        element->charsCount += static_cast<float>(element->charsSpeed) / 1024.0f;
        // A text without a font has nothing to type.
        const char* text = element->text();
        const int32_t length = text ? textCharCount(text, K_TEXT_UTF8) : 0;
        if (element->charsCount >= static_cast<float>(length))
            element->charsCount = 0; // all of it shows
        element->markTransformDirty();
    }
}

} // namespace glint

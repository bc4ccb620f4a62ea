// Element commands that ask the element model: hit tests, image sizes, and
// the hover link that answers the pointer.
#include "resource/texture.h"
#include "scene/element_command_args.h"
#include "scene/scene.h"
#include "script/interpreter.h"

namespace glint {

namespace {

// One frame of the drawn image (the whole texture for a single picture);
// 0 without a texture.
float frameSize(const MElement& element, bool width) {
    const MElement& drawn = element.imageSource ? *element.imageSource : element;
    if (!drawn.visual || !drawn.visual->image.texture)
        return 0;
    const MImageAnim& image = drawn.visual->image;
    const int cells = width ? image.columns : image.rows;
    const float size = width ? image.texture->drawWidth() : image.texture->drawHeight();
    return cells > 1 ? size / static_cast<float>(cells) : size;
}

uint32_t imageSize(Value* args, bool width) {
    const MElement* element = elementArgument(args[1]);
    args[0] = Value::fromNumber(element ? frameSize(*element, width) : 0);
    return 1;
}

} // namespace

// out element x y, or out element other [mode]: 1 on a hit, else none.
uint32_t commandCheckHit(Value* args, int count) {
    const MElement* element = elementArgument(args[1]);
    bool hit = false;
    if (element) {
        if (const MElement* other = elementArgument(args[2]))
            hit = element->hitsElement(*other, count > 3 ? roundedInt(args[3]) : 0);
        else
            hit = element->hitTest(numberArgument(args, count, 2, 0), numberArgument(args, count, 3, 0));
    }
    args[0] = hit ? Value::fromNumber(1) : Value();
    return 1;
}

uint32_t commandGetImageW(Value* args, int) { return imageSize(args, true); }

uint32_t commandGetImageH(Value* args, int) { return imageSize(args, false); }

// element other scale: replaces the element's hover link in its scene.
uint32_t commandSetHover(Value* args, int count) {
    MElement* element = elementArgument(args[0]);
    if (!element || !element->owner())
        return 0;
    element->markChangedByScript();
    element->owner()->addHoverLink(element, elementArgument(args[1]), numberArgument(args, count, 2, 0));
    return 0;
}

} // namespace glint

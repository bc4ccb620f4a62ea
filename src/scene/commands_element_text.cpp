// Text commands on elements: the two-digit alignment code, the font, the
// text colour and the outline.
#include "scene/element_command_args.h"
#include "scene/scene_engine_state.h"
#include "script/interpreter.h"
#include "text/font_list.h"

namespace glint {

namespace {

// One digit of the alignment code: 1 to 9 replaces it, a missing, zero or
// out-of-range part keeps it (the code stays two digits).
int alignDigit(const Value* args, int count, int i, int current) {
    int digit = i < count ? roundedInt(args[i], 0) : 0;
    return digit >= 1 && digit <= 9 ? digit : current;
}

void setAlignment(MElement& element, const Value* args, int count, int horizontalArg) {
    int horizontal = alignDigit(args, count, horizontalArg, element.textAlign % 10);
    int vertical = alignDigit(args, count, horizontalArg + 1, element.textAlign / 10 % 10);
    element.textAlign = static_cast<uint8_t>(horizontal + 10 * vertical);
}

bool fontLoaded(int index) {
    const MFontList* fonts = sceneEngineState().fonts;
    return index >= 0 && index <= 255 && fonts && fonts->font(index);
}

} // namespace

uint32_t commandSetTextAlign(Value* args, int count) {
    forEachChangedElement(args[0], [&](MElement& element) { setAlignment(element, args, count, 1); });
    return 0;
}

// element font horizontal vertical r g b shadow
uint32_t commandSetTextProps(Value* args, int count) {
    const float rgb[3] = {numberArgument(args, count, 4, 1), numberArgument(args, count, 5, 1),
                          numberArgument(args, count, 6, 1)};
    const bool coloured = differsFromWhite(rgb);
    forEachChangedElement(args[0], [&](MElement& element) {
        if (count > 1 && args[1].isNumber() && fontLoaded(roundedInt(args[1])))
            element.font = static_cast<uint8_t>(roundedInt(args[1]));
        setAlignment(element, args, count, 2);
        if (coloured)
            for (int i = 0; i < 3; ++i)
                element.textColor[i] = colourByte(rgb[i]);
        if (count > 7) {
            if (roundedInt(args[7]) != 0)
                element.flags |= kElementTextOutline;
            else
                element.flags &= ~kElementTextOutline;
        }
    });
    return 0;
}

} // namespace glint

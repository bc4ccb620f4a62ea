// Localized text commands: scripts look texts up by key, fill in their
// placeholders and replace texts for the rest of the run.
#include <cstring>

#include "script/commands.h"
#include "script/script_system.h"
#include "text/localization.h"

namespace glint {

namespace {

constexpr size_t kLocalTextCapacity = 2048;

const char* textOfKey(const Value& key) { return key.isString() ? localizedText(key.symbol()) : nullptr; }

// The first character of the configuration's BuildLocalizationReplaceChar
// when that is a non-empty string, else '%'.
char placeholderChar() {
    const ConfigurationAccess& configuration = script().configuration;
    Value setting;
    if (configuration.read && configuration.read(sym::BuildLocalizationReplaceChar(), setting) &&
        setting.isString() && setting.symbol()->length > 0)
        return setting.symbol()->text[0];
    return '%';
}

// The bytes a UTF-8 lead byte announces; 1 for anything else.
size_t sequenceLength(unsigned char lead) {
    return lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
}

// A text cut at the buffer's end keeps no half character, which the fonts
// would draw as garbage.
size_t withoutPartialCharacter(const char* text, size_t length) {
    size_t start = length;
    while (start > 0 && length - start < 4 && (static_cast<unsigned char>(text[start - 1]) & 0xC0) == 0x80) --start;
    if (start == 0) return length;
    size_t lead = start - 1;
    return lead + sequenceLength(static_cast<unsigned char>(text[lead])) > length ? lead : length;
}

// Each placeholder takes the text form of the next argument; placeholders
// without argument vanish. The result is cut at the buffer's end.
Symbol* substituted(const char* text, char placeholder, const Value* args, int count) {
    char buffer[kLocalTextCapacity];
    size_t length = 0;
    buffer[0] = 0;
    int next = 0;
    for (const char* p = text; *p && length + 1 < sizeof buffer; ++p) {
        if (*p != placeholder) {
            buffer[length++] = *p;
            buffer[length] = 0;
        } else if (next < count) {
            formatValue(args[next++], buffer, sizeof buffer);
            length = std::strlen(buffer);
        }
    }
    if (length + 1 == sizeof buffer) length = withoutPartialCharacter(buffer, length);
    return intern(buffer, static_cast<int>(length));
}

} // namespace

uint32_t commandHasLocalText(Value* args, int) {
    args[0] = Value::fromNumber(textOfKey(args[1]) ? 1 : 0);
    return 1;
}

uint32_t commandGetLocalText(Value* args, int count) {
    const char* text = textOfKey(args[1]);
    if (!text) {
        args[0] = Value();
        return 1;
    }
    char placeholder = placeholderChar();
    Symbol* result = std::strchr(text, placeholder) ? substituted(text, placeholder, args + 2, count - 2)
                                                     : intern(text);
    args[0] = Value::fromSymbol(result);
    return 1;
}

uint32_t commandSetLocalText(Value* args, int) {
    if (args[0].isString()) setLocalizedText(args[0].symbol(), args[1].isString() ? args[1].symbol() : intern(""));
    return 0;
}

} // namespace glint

// String building and comparison, and the commands that report text
// (error, print). Built strings are interned like every script string.
#include <cstring>
#include <string>

#include "script/commands_value.h"
#include "script/interpreter.h"
#include "script/script_error.h"

namespace glint {

const char* joinedTexts(const Value* args, int count) {
    char* text = script().text;
    const size_t capacity = sizeof script().text;
    text[0] = 0;
    for (int i = 0; i < count; ++i) {
        size_t used = std::strlen(text);
        if (i && used + 1 < capacity) {
            text[used] = ' ';
            text[used + 1] = 0;
        }
        formatValue(args[i], text, capacity);
    }
    return text;
}

// set_str out parts...: the text forms without separators; parts holding
// none add nothing.
uint32_t commandSetStr(Value* args, int count) {
    char* text = script().text;
    text[0] = 0;
    for (int i = 1; i < count; ++i)
        if (!args[i].isNone()) formatValue(args[i], text, sizeof script().text);
    args[0] = Value::fromSymbol(intern(text));
    return 1;
}

uint32_t commandStrCmp(Value* args, int) {
    int order = std::strcmp(textOf(args[1]), textOf(args[2]));
    args[0] = Value::fromNumber(order < 0 ? -1 : order > 0 ? 1 : 0);
    return 1;
}

// set_char str position code: replaces one character (appends at
// length + 1; code 0 cuts the text there). Out-of-range positions and codes
// leave str alone, and then nothing is written back.
uint32_t commandSetChar(Value* args, int) {
    if (!args[0].isString()) return 0;
    Symbol* text = args[0].symbol();
    int32_t position = roundedInt(args[1]);
    int32_t code = roundedInt(args[2]);
    if (position < 1 || position > text->length + 1 || code < 0 || code > 255) return 0;
    std::string changed(text->text, text->length);
    if (code == 0)
        changed.resize(position - 1);
    else if (position == text->length + 1)
        changed.push_back(static_cast<char>(code));
    else
        changed[position - 1] = static_cast<char>(code);
    args[0] = Value::fromSymbol(intern(changed));
    return 1;
}

uint32_t commandError(Value* args, int count) {
    scriptError("%s", joinedTexts(args, count));
    return 0;
}

// The game has no console: print goes where the host asked (the authoring
// tool prints it), else nowhere.
uint32_t commandPrint(Value* args, int count) {
    if (PrintOutput output = script().printOutput) output(joinedTexts(args, count));
    return 0;
}

} // namespace glint

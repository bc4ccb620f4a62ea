// The in-place reader of localization files: one key per line, a TAB, then
// the value, plain or in double quotes (which may span lines).
#pragma once

namespace glint {

struct LocalizationLine {
    const char* key;   // zero-terminated in the text
    int keyLength;
    const char* value; // zero-terminated in the text; "" when the line has no TAB
    int lineNumber;    // where the key stands, counting from 1
};

using LocalizationLineFn = void (*)(const LocalizationLine& line, void* user);

// Walks a zero-terminated text, cutting keys and values in place, and hands
// every key line to fn in file order. Comment lines (";") and lines with an
// empty key are skipped. CR, LF and CR LF each count as one line end.
void scanLocalization(char* text, LocalizationLineFn fn, void* user);

} // namespace glint

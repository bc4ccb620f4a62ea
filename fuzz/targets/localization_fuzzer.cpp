// The localization table reader over arbitrary text (the byte-order marks
// and UTF-16 forms included), with the key check on, and a lookup and a
// replacement in the table it builds.
#include "resource/text_file.h"
#include "script/symbol.h"
#include "text/localization.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

using namespace glint;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    MTextFile text;
    text.assignText(reinterpret_cast<const char*>(data), static_cast<int32_t>(size), "fuzz.txt");
    MLocalization table;
    table.assign(std::move(text), true, nullptr);
    static Symbol* const key = intern("menu_title");
    static Symbol* const replacement = intern("Title");
    table.find(key);
    table.set(key, replacement);
    // A key set is always found, with the text it was given.
    const char* found = table.find(key);
    if (!found || std::strcmp(found, "Title") != 0)
        std::abort();
    return 0;
}

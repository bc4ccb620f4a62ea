#include "text/typed_chars.h"

#include "engine/resources/resource.h"
#include "engine/text/text_encoding.h"
#include "resource/line_reader.h"
#include "resource/text_file.h"
#include "text/font_list.h"

#include <bitset>
#include <string>

namespace glint {

namespace {

std::bitset<kTypedCharCount>& table() {
    static std::bitset<kTypedCharCount> allowed;
    return allowed;
}

void allowLine(const char* line) {
    while (*line && static_cast<unsigned char>(*line) < 0x20)
        ++line;
    if (!*line || *line == ';')
        return;
    size_t offset = 0;
    for (int32_t code; (code = textNextChar(line, &offset, K_TEXT_UTF8)) != 0;) {
        if (code >= 0 && code < kTypedCharCount)
            table().set(static_cast<size_t>(code));
    }
}

} // namespace

void loadCharacterTable() {
    table().reset();
    for (int32_t code = ' '; code <= '~'; ++code)
        table().set(static_cast<size_t>(code));
    MTextFile file;
    const std::string path = std::string(kFontsFolder) + "/characters.cfg";
    if (!file.loadText(resolveDataPath(path.c_str())))
        return;
    MLineReader reader(file.data());
    while (reader.next())
        allowLine(reader.line);
}

bool typedCharAllowed(int32_t code) {
    return code >= 0 && code < kTypedCharCount && table().test(static_cast<size_t>(code));
}

} // namespace glint

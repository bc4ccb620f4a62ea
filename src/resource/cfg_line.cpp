#include "resource/cfg_line.h"

#include "resource/number.h"

#include <cstring>

namespace glint {

namespace {
bool isDigit(char c) { return c >= '0' && c <= '9'; }
} // namespace

char* splitCfgLine(char* line) {
    char* equals = std::strchr(line, '=');
    if (!equals)
        return nullptr;
    *equals = 0;
    return equals + 1;
}

bool isCfgCommentLine(const char* line) { return !*line || *line == ';'; }

CfgValue parseCfgValue(char* value) {
    CfgValue parsed;
    if (*value == '"') {
        char* text = value + 1;
        size_t length = std::strlen(text);
        if (length > 0 && text[length - 1] == '"')
            text[length - 1] = 0;
        parsed.text = text;
    } else if (isDigit(value[0]) || (value[0] == '-' && isDigit(value[1]))) {
        parsed.isNumber = true;
        parsed.number = static_cast<double>(parseNumber(value));
    } else {
        parsed.text = value;
    }
    return parsed;
}

} // namespace glint

#include "resource/number.h"

namespace glint {

namespace {
bool isDigit(char c) { return c >= '0' && c <= '9'; }
} // namespace

float parseNumber(const char* text) {
    if (!text)
        return 0.0f;
    bool negative = *text == '-';
    if (negative)
        ++text;
    float value = 0.0f;
    for (; isDigit(*text); ++text)
        value = value * 10.0f + static_cast<float>(*text - '0');
    if (*text == '.') {
        float scale = 10.0f;
        for (++text; isDigit(*text); ++text) {
            value += static_cast<float>(*text - '0') / scale;
            scale *= 10.0f;
        }
    }
    return negative ? -value : value;
}

} // namespace glint

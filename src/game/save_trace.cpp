#include "game/save_trace.h"

#include <cmath>
#include <cstdio>

namespace glint {

void SaveTrace::separate() {
    if (empty_.empty())
        return;
    if (!empty_.back())
        json += ',';
    empty_.back() = false;
}

void SaveTrace::open(const char* key, char bracket) {
    separate();
    if (key)
        json += quote(key) + ':';
    json += bracket;
    empty_.push_back(true);
}

void SaveTrace::close(char bracket) {
    if (!empty_.empty())
        empty_.pop_back();
    json += bracket;
}

void SaveTrace::field(const char* key, const std::string& value) { field(std::string_view(key), value); }

void SaveTrace::field(std::string_view key, const std::string& value) {
    separate();
    json += quote(key) + ':' + value;
}

void SaveTrace::item(const std::string& value) {
    separate();
    json += value;
}

std::string SaveTrace::quote(std::string_view text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            out += escaped;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + '"';
}

// JSON has no infinities or NaN: those are written as text.
std::string SaveTrace::number(double x) {
    char text[40];
    std::snprintf(text, sizeof text, "%.17g", x);
    if (!std::isfinite(x))
        return quote(text);
    double shorter = 0;
    for (int digits = 6; digits < 17; ++digits) {
        char candidate[40];
        std::snprintf(candidate, sizeof candidate, "%.*g", digits, x);
        if (std::sscanf(candidate, "%lf", &shorter) == 1 && shorter == x)
            return candidate;
    }
    return text;
}

} // namespace glint

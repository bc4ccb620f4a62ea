#include "script/word_cursor.h"

#include "script/value.h"

namespace glint {

char* LineCursor::nextLine() {
    restore();
    if (!next_ || !*next_) {
        next_ = nullptr;
        return nullptr;
    }
    char* start = next_;
    char* end = start;
    while (*end && *end != '\r' && *end != '\n') ++end;
    if (*end == '\r' && end[1] == '\n')
        next_ = end + 2;
    else if (*end)
        next_ = end + 1;
    else
        next_ = end;
    cut_ = end;
    saved_ = *end;
    *end = 0;
    ++line_;
    return start;
}

void LineCursor::restore() {
    if (cut_) *cut_ = saved_;
    cut_ = nullptr;
}

char* WordCursor::next() {
    restore();
    if (!next_) return nullptr;
    unsigned char* p = reinterpret_cast<unsigned char*>(next_);
    while (*p >= 1 && *p <= 32) ++p;
    if (!*p) {
        next_ = reinterpret_cast<char*>(p);
        return nullptr;
    }
    unsigned char* start = p;
    while (*p > 32) {
        if (*p == '"' || *p == '\'') {
            // A quoted section may hold spaces; it ends at its closing quote
            // or just before a control character.
            unsigned char quote = *p++;
            while (*p && *p != quote && *p >= 32) ++p;
            if (*p == quote) ++p;
            continue;
        }
        ++p;
    }
    cut_ = reinterpret_cast<char*>(p);
    saved_ = *cut_;
    *cut_ = 0;
    next_ = saved_ ? cut_ + 1 : cut_;
    if (!saved_) cut_ = nullptr; // nothing was cut at the end of the line
    return reinterpret_cast<char*>(start);
}

void WordCursor::restore() {
    if (cut_) *cut_ = saved_;
    cut_ = nullptr;
}

int WordCursor::nextInt(int fallback) {
    const char* word = next();
    if (!word) return fallback;
    bool negative = *word == '-';
    if (negative) ++word;
    int value = 0;
    for (; *word >= '0' && *word <= '9'; ++word) value = value * 10 + (*word - '0');
    return negative ? -value : value;
}

double WordCursor::nextNumber(double fallback) {
    const char* word = next();
    return word ? textToNumber(word) : fallback;
}

void WordCursor::nextRange(double factor, double out[4]) {
    double a = nextNumber(0), b = a, c, d;
    const char* word = next();
    bool secondPair = false;
    if (word && !(word[0] == ':' && !word[1])) {
        b = textToNumber(word);
        word = next(); // consumed even when it is not ":"
    }
    secondPair = word && word[0] == ':' && !word[1];
    if (secondPair) {
        c = nextNumber(a);
        d = nextNumber(c);
    } else {
        c = a;
        d = b;
    }
    out[0] = a * factor;
    out[1] = b * factor;
    out[2] = c * factor;
    out[3] = d * factor;
}

void WordCursor::nextColourPair(double out[2]) {
    double a = nextNumber(0);
    out[0] = a / 255;
    out[1] = nextNumber(a) / 255;
}

} // namespace glint

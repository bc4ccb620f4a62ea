#include "resource/line_reader.h"

#include "resource/number.h"

namespace glint {

namespace {
bool isBlankOrControl(char c) { return static_cast<unsigned char>(c) <= 32; }
bool isControl(char c) { return static_cast<unsigned char>(c) < 32; }
} // namespace

void MLineReader::attach(char* text) {
    text_ = text;
    pos_ = 0;
    cutAt_ = nullptr;
    line = empty_;
    lineNumber = 0;
}

bool MLineReader::next() {
    if (!text_)
        return false;
    if (cutAt_) {
        *cutAt_ = cutByte_;
        cutAt_ = nullptr;
    }
    line = text_ + pos_;
    if (!*line)
        return false;
    while (text_[pos_] && text_[pos_] != '\r' && text_[pos_] != '\n')
        ++pos_;
    ++lineNumber;
    if (!text_[pos_])
        return true;
    cutAt_ = text_ + pos_;
    cutByte_ = *cutAt_;
    *cutAt_ = 0;
    ++pos_;
    if (cutByte_ == '\r' && text_[pos_] == '\n')
        ++pos_;
    return true;
}

void MTokenReader::attach(char* text) {
    text_ = text;
    pos_ = 0;
    cutAt_ = nullptr;
    token = empty_;
}

void MTokenReader::restore() {
    if (cutAt_) {
        *cutAt_ = cutByte_;
        cutAt_ = nullptr;
    }
}

bool MTokenReader::next() {
    if (!text_)
        return false;
    restore();
    while (text_[pos_] && isBlankOrControl(text_[pos_]))
        ++pos_;
    if (!text_[pos_]) {
        token = empty_;
        return false;
    }
    token = text_ + pos_;
    while (!isBlankOrControl(text_[pos_])) {
        char quote = text_[pos_++];
        if (quote != '"' && quote != '\'')
            continue;
        while (!isControl(text_[pos_]) && text_[pos_] != quote)
            ++pos_;
        if (text_[pos_] == quote)
            ++pos_;
    }
    if (text_[pos_]) {
        cutAt_ = text_ + pos_;
        cutByte_ = *cutAt_;
        *cutAt_ = 0;
        ++pos_;
    }
    return true;
}

int MTokenReader::nextInt() {
    if (!next())
        return 0;
    const char* c = token;
    bool negative = *c == '-';
    if (negative)
        ++c;
    // Unsigned so that an over-long number wraps instead of overflowing.
    unsigned value = 0;
    for (; *c >= '0' && *c <= '9'; ++c)
        value = value * 10u + static_cast<unsigned>(*c - '0');
    return static_cast<int>(negative ? 0u - value : value);
}

float MTokenReader::nextFloat(float fallback) { return next() ? parseNumber(token) : fallback; }

} // namespace glint

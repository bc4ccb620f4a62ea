// Values are compacted in place (a doubled quote becomes one, a line end
// inside quotes becomes one LF), so the write position never passes the
// read position and nothing is copied out of the file buffer.
#include "text/localization_scan.h"

namespace glint {

namespace {

bool isLineEnd(char c) { return c == '\r' || c == '\n'; }

class Scanner {
public:
    explicit Scanner(char* text) : p_(text) {}

    void run(LocalizationLineFn fn, void* user) {
        while (*p_) {
            if (*p_ == ';') {
                skipRestOfLine();
            } else {
                readEntry(fn, user);
            }
            skipLineEnd();
        }
    }

private:
    void readEntry(LocalizationLineFn fn, void* user) {
        int keyLine = line_;
        char* key = p_;
        while (*p_ && *p_ != '\t' && !isLineEnd(*p_)) ++p_;
        int keyLength = static_cast<int>(p_ - key);
        const char* value = "";
        const bool tab = *p_ == '\t';
        if (tab) {
            *p_++ = 0;
            value = readValue();
        } else if (*p_) {
            // The key ends at a line end: the end is consumed here so that
            // its first byte can take the terminator.
            char* end = p_;
            skipLineEnd();
            *end = 0;
        }
        // A line that starts with a TAB defines the key ""; a blank line
        // defines nothing.
        if (keyLength > 0 || tab) fn({key, keyLength, value, keyLine}, user);
    }

    // Leaves p_ at the line end (or end of text) that follows the value,
    // except that a line end ending an unquoted value is consumed.
    char* readValue() {
        bool quoted = *p_ == '"';
        if (quoted) ++p_;
        char* start = p_;
        char* out = p_;
        for (;;) {
            char c = *p_;
            if (c == 0) break;
            if (c == '"') {
                if (p_[1] == '"') {
                    *out++ = '"';
                    p_ += 2;
                    continue;
                }
                ++p_;
                skipRestOfLine();
                break;
            }
            if (isLineEnd(c)) {
                if (!quoted) {
                    skipLineEnd();
                    break;
                }
                skipLineEnd();
                *out++ = '\n';
                continue;
            }
            *out++ = c;
            ++p_;
        }
        *out = 0;
        return start;
    }

    void skipRestOfLine() {
        while (*p_ && !isLineEnd(*p_)) ++p_;
    }

    void skipLineEnd() {
        if (*p_ == '\r') {
            ++p_;
            if (*p_ == '\n') ++p_;
            ++line_;
        } else if (*p_ == '\n') {
            ++p_;
            ++line_;
        }
    }

    char* p_;
    int line_ = 1;
};

} // namespace

void scanLocalization(char* text, LocalizationLineFn fn, void* user) {
    if (text) Scanner(text).run(fn, user);
}

} // namespace glint

// Walks a zero-terminated text line by line in place: each line end is cut
// with a zero byte while that line is current and restored on the next call,
// so nothing is copied or allocated.
#pragma once

namespace glint {

class MLineReader {
public:
    MLineReader() = default;
    explicit MLineReader(char* text) { attach(text); }
    MLineReader(const MLineReader&) = delete;
    MLineReader& operator=(const MLineReader&) = delete;

    // The text stays the caller's; null gives no lines.
    void attach(char* text);
    // CR, LF and CR LF each end a line; a final line break yields no extra
    // empty line; lines are not trimmed. Callers may write into line: only
    // the byte this reader cut is restored.
    bool next();

    char* line = empty_;
    int lineNumber = 0;

private:
    char* text_ = nullptr;
    long pos_ = 0;
    char* cutAt_ = nullptr;
    char cutByte_ = 0;
    char empty_[1] = {0};
};

// Splits one line into blank-separated tokens in place. A double or single
// quote opens a part that runs to the matching quote (or the first control
// character), blanks included; the quotes stay in the token.
class MTokenReader {
public:
    MTokenReader() = default;
    explicit MTokenReader(char* text) { attach(text); }
    MTokenReader(const MTokenReader&) = delete;
    MTokenReader& operator=(const MTokenReader&) = delete;

    void attach(char* text);
    bool next();
    // The next token as an optional "-" and decimal digits; 0 without one.
    int nextInt();
    // The next token read by parseNumber; fallback without one.
    float nextFloat(float fallback);

    char* token = empty_;

private:
    void restore();

    char* text_ = nullptr;
    long pos_ = 0;
    char* cutAt_ = nullptr;
    char cutByte_ = 0;
    char empty_[1] = {0};
};

} // namespace glint

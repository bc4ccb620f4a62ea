// In-place cursors over zero-terminated text: lines (ending at CR, LF or
// CR LF) and words (runs of bytes above 32, with quoted sections). Each cut
// byte is put back when the next piece is requested, so the text is whole
// again once the cursor has moved on or been finished.
#pragma once

namespace glint {

class LineCursor {
public:
    explicit LineCursor(char* text = nullptr) : next_(text) {}
    ~LineCursor() { restore(); }
    LineCursor(const LineCursor&) = delete;
    LineCursor& operator=(const LineCursor&) = delete;

    // The next line, zero-terminated in place; null at the end of the text.
    char* nextLine();
    // Puts back the cut byte (also done by the next nextLine call).
    void restore();
    int lineNumber() const { return line_; }

private:
    char* next_;
    char* cut_ = nullptr;
    char saved_ = 0;
    int line_ = 0;
};

class WordCursor {
public:
    explicit WordCursor(char* line = nullptr) : next_(line) {}
    ~WordCursor() { restore(); }
    WordCursor(const WordCursor&) = delete;
    WordCursor& operator=(const WordCursor&) = delete;

    void reset(char* line) {
        restore();
        next_ = line;
    }
    // The next word, zero-terminated in place; null when the line is done.
    char* next();
    void restore();

    // Typed readers for line-based formats.
    // Optional "-" then digits; fallback when no word is left.
    int nextInt(int fallback = 0);
    // Optional "-", digits, optional "." and digits; fallback when no word.
    double nextNumber(double fallback = 0);
    // a [b] [: c [d]] times factor into out[4]: a missing b repeats a, a
    // missing second pair repeats the first, a missing d repeats c.
    void nextRange(double factor, double out[4]);
    // a [b] divided by 255: a missing b repeats a.
    void nextColourPair(double out[2]);

private:
    char* next_;
    char* cut_ = nullptr;
    char saved_ = 0;
};

} // namespace glint

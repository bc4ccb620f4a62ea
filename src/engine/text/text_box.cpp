// Wrapped text in a box: paragraphs end at line feeds, lines break at
// spaces (or between any two characters of CJK text), justified lines
// stretch their spaces or, in CJK text, their letter spacing.
#include "engine/text/text.h"

#include "engine/text/text_encoding.h"

#include <cmath>

namespace glint {

struct KText::BoxRequest {
    const char* text;
    int maxChars; // negative: all
    float x1, x2, y;
    int alignment;
    float lineHeight;
    float scaleX, scaleY;
    bool draw;
};

namespace {

constexpr int kParagraphCapacity = 4094; // characters kept of one paragraph
constexpr int kBufferSize = 4096;

bool isCjk(int32_t code) { return code >= 0x3000 && code <= 0xFFFF && code != 0xFEFF; }
bool isBreakChar(int32_t code) { return code == ' ' || isCjk(code); }

// Widths are compared in hundredths of a unit, so that a line of exactly the
// box width fits despite float rounding.
class BoxLimit {
public:
    explicit BoxLimit(float width) : limit_(std::trunc(static_cast<double>(width * 100 + 0.5f))) {}
    bool exceeded(float width) const { return std::trunc(static_cast<double>(width * 100)) > limit_; }

private:
    double limit_;
};

// Reads the next paragraph into codes (control characters and U+FEFF
// dropped, at most kParagraphCapacity kept). index counts every character
// read, line feed included. False after the last paragraph.
bool readParagraph(const char* text, size_t* offset, int32_t* index, int32_t* codes, int* count) {
    *count = 0;
    for (;;) {
        int32_t code = textNextChar(text, offset, K_TEXT_UTF8);
        if (code == 0)
            return false;
        ++*index;
        if (code == '\n')
            return true;
        if (code < 0x20 || code == 0xFEFF)
            continue;
        if (*count < kParagraphCapacity)
            codes[(*count)++] = code;
    }
}

// A code-point range of the paragraph, terminated in place while it lives.
class LineView {
public:
    LineView(int32_t* codes, int end) : cut_(codes + end), saved_(*cut_) { *cut_ = 0; }
    ~LineView() { *cut_ = saved_; }
    LineView(const LineView&) = delete;
    LineView& operator=(const LineView&) = delete;

private:
    int32_t* cut_;
    int32_t saved_;
};

} // namespace

KTextBoxSize KText::layoutTextBox(const BoxRequest& request) {
    const float width = request.x2 - request.x1;
    const BoxLimit box(width);
    const float lineHeight = request.lineHeight < 0 ? static_cast<float>(height()) : request.lineHeight;
    const float scaleX = request.scaleX;
    const char* text = request.text ? request.text : "";
    int32_t codes[kBufferSize];
    float widest = 0;
    float y = request.y;
    size_t offset = 0;
    int32_t index = 0;
    bool more = true;
    while (more) {
        const int32_t paragraphStart = index;
        int n = 0;
        more = readParagraph(text, &offset, &index, codes, &n);
        codes[n] = 0;
        int s = 0;
        do {
            // Scan while the line still fits, noting the last break point and the words.
            float pen = s < n ? -charXOffset(codes[s]) * scaleX : 0;
            int breakAt = -1, words = 0;
            bool blank = true, cjk = false;
            int e = s;
            for (; e < n && !box.exceeded(pen); ++e) {
                int32_t c = codes[e];
                if (c == ' ') {
                    breakAt = e;
                    blank = true;
                } else if (isCjk(c)) {
                    ++words;
                    cjk = true;
                    breakAt = e;
                } else if (blank) {
                    ++words;
                    blank = false;
                }
                pen += charWidth(c, 0) * scaleX;
            }
            int end;
            if (e == s || !box.exceeded(pen)) {
                end = e == s ? n : e;
            } else if (words < 2) {
                // The line's one word ends it, whole even when it overflows the box.
                end = s;
                while (end < n && codes[end] == ' ')
                    ++end;
                if (end < n && isCjk(codes[end]))
                    ++end;
                else
                    while (end < n && !isBreakChar(codes[end]))
                        ++end;
            } else {
                end = breakAt >= 0 ? breakAt : n;
                if (end <= s)
                    end = s + 1; // a CJK character opens the line: it may stand alone
            }
            int lineEnd = end;
            while (lineEnd > s && codes[lineEnd - 1] == ' ')
                --lineEnd;
            int next = end;
            while (next < n && codes[next] == ' ')
                ++next;
            const bool lastLine = next >= n;

            float letterSpacing = 0;
            float lineWidth;
            {
                LineView line(codes, lineEnd);
                spaceExtra_ = 0;
                if (request.alignment == K_ALIGN_JUSTIFY && !lastLine && scaleX != 0) {
                    float free = width - textWidth(codes + s, 0, scaleX, K_TEXT_CODEPOINTS);
                    int spaces = 0;
                    for (int i = s; i < lineEnd; ++i)
                        spaces += codes[i] == ' ' ? 1 : 0;
                    // Spacing and space extra are in glyph units: the draw scales them.
                    if (!cjk && spaces > 0)
                        spaceExtra_ = free / static_cast<float>(spaces) / scaleX;
                    else if (cjk && lineEnd - s >= 2)
                        letterSpacing = free / static_cast<float>(lineEnd - s - 1) / scaleX;
                }
                lineWidth = textWidth(codes + s, letterSpacing, scaleX, K_TEXT_CODEPOINTS);
            }
            if (lineWidth > widest)
                widest = lineWidth;
            float x = request.x1;
            if (request.alignment == K_ALIGN_RIGHT)
                x = request.x2 - lineWidth;
            else if (request.alignment == K_ALIGN_CENTER)
                x = request.x1 + (width - lineWidth) * 0.5f;

            if (request.draw && (request.maxChars < 0 || paragraphStart + s <= request.maxChars)) {
                int drawEnd = lineEnd;
                if (request.maxChars >= 0 && request.maxChars - paragraphStart < drawEnd)
                    drawEnd = request.maxChars - paragraphStart;
                LineView shown(codes, drawEnd);
                drawLeft(codes + s, x, y, letterSpacing, scaleX, request.scaleY, K_TEXT_CODEPOINTS);
            }
            y += (lineHeight + lineSpacing) * request.scaleY;
            s = next;
        } while (s < n);
    }
    spaceExtra_ = 0;
    return {widest, y - lineSpacing - request.y};
}

void KText::drawTextBox(const char* text, int maxChars, float x1, float x2, float y, int alignment, float lineHeight,
                        float scaleX, float scaleY) {
    layoutTextBox({text, maxChars, x1, x2, y, alignment, lineHeight, scaleX, scaleY, true});
}

KTextBoxSize KText::measureTextBox(const char* text, float boxWidth, float lineHeight, float scaleX, float scaleY) {
    return layoutTextBox({text, -1, 0, boxWidth, 0, K_ALIGN_CENTER, lineHeight, scaleX, scaleY, false});
}

} // namespace glint

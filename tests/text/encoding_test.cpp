#include "engine/text/text_encoding.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace glint {
namespace {

struct DecodeCase {
    const char* name;
    int encoding;
    std::string bytes; // without the terminator
    std::vector<int32_t> codes;
};

std::string le16(std::initializer_list<uint16_t> units) {
    std::string s;
    for (uint16_t u : units)
        s += {static_cast<char>(u & 0xFF), static_cast<char>(u >> 8)};
    return s;
}
std::string be16(std::initializer_list<uint16_t> units) {
    std::string s;
    for (uint16_t u : units)
        s += {static_cast<char>(u >> 8), static_cast<char>(u & 0xFF)};
    return s;
}
std::string codes32(std::initializer_list<int32_t> codes) {
    std::string s;
    for (int32_t c : codes)
        s.append(reinterpret_cast<const char*>(&c), 4);
    return s;
}

const std::vector<DecodeCase>& decodeCases() {
    static const std::vector<DecodeCase> cases = {
        {"bytes", K_TEXT_BYTES, "A\xE9\xFF", {'A', 0xE9, 0xFF}},
        {"utf8 one to four bytes", K_TEXT_UTF8, "A\xC3\xA9\xE6\x97\xA5\xF0\x9F\x98\x80",
         {'A', 0xE9, 0x65E5, 0x1F600}},
        {"utf8 stray continuation stands alone", K_TEXT_UTF8, "a\x80z", {'a', 0x80, 'z'}},
        {"utf8 invalid lead stands alone", K_TEXT_UTF8, "\xF8x", {0xF8, 'x'}},
        {"utf8 broken sequence keeps the next character", K_TEXT_UTF8, "\xE6X", {0xE6, 'X'}},
        {"utf16 with a surrogate pair", K_TEXT_UTF16, le16({'A', 0x65E5, 0xD83D, 0xDE00}), {'A', 0x65E5, 0x1F600}},
        {"utf16le is utf16", K_TEXT_UTF16LE, le16({0xD83D, 0xDE00, 'b'}), {0x1F600, 'b'}},
        {"utf16 lone surrogates stand alone", K_TEXT_UTF16, le16({0xDC00, 'a', 0xD800, 'b'}),
         {0xDC00, 'a', 0xD800, 'b'}},
        {"utf16be", K_TEXT_UTF16BE, be16({'A', 0x00E9, 0xD83D, 0xDE00}), {'A', 0xE9, 0x1F600}},
        {"code points", K_TEXT_CODEPOINTS, codes32({'A', 0x1F600, 0x65E5}), {'A', 0x1F600, 0x65E5}},
        {"-1 is utf8", -1, "\xC3\xA9", {0xE9}},
        {"unknown is utf8", 9, "\xC3\xA9", {0xE9}},
    };
    return cases;
}

TEST(TextEncoding, DecodesForwardBackwardAndCounts) {
    for (const DecodeCase& c : decodeCases()) {
        SCOPED_TRACE(c.name);
        std::string text = c.bytes + std::string(4, '\0');
        std::vector<int32_t> forward;
        size_t offset = 0;
        for (int32_t code; (code = textNextChar(text.data(), &offset, c.encoding)) != 0;)
            forward.push_back(code);
        EXPECT_EQ(forward, c.codes);
        EXPECT_EQ(offset, c.bytes.size()) << "stops on the terminator";
        EXPECT_EQ(textNextChar(text.data(), &offset, c.encoding), 0) << "and stays there";
        EXPECT_EQ(textByteLength(text.data(), c.encoding), c.bytes.size());
        EXPECT_EQ(textCharCount(text.data(), c.encoding), static_cast<int32_t>(c.codes.size()));

        std::vector<int32_t> backward;
        offset = textByteLength(text.data(), c.encoding);
        while (offset > 0)
            backward.insert(backward.begin(), textPreviousChar(text.data(), &offset, c.encoding));
        EXPECT_EQ(backward, c.codes);
        EXPECT_EQ(textPreviousChar(text.data(), &offset, c.encoding), 0) << "nothing before the start";
    }
}

TEST(TextEncoding, SequenceCutByTheEndIsTheEnd) {
    const char text[] = "ab\xE6\x97";
    size_t offset = 0;
    EXPECT_EQ(textNextChar(text, &offset, K_TEXT_UTF8), 'a');
    EXPECT_EQ(textNextChar(text, &offset, K_TEXT_UTF8), 'b');
    EXPECT_EQ(textNextChar(text, &offset, K_TEXT_UTF8), 0);
    EXPECT_EQ(text[offset], 0) << "left on the terminator";
    EXPECT_EQ(textCharCount(text, K_TEXT_UTF8), 2);
}

struct EncodeCase {
    int encoding;
    int32_t code;
    std::string bytes;
};

TEST(TextEncoding, EncodesAndReplacesWhatDoesNotFit) {
    const EncodeCase cases[] = {
        {K_TEXT_UTF8, 'A', "A"},
        {K_TEXT_UTF8, 0xE9, "\xC3\xA9"},
        {K_TEXT_UTF8, 0x65E5, "\xE6\x97\xA5"},
        {K_TEXT_UTF8, 0x1F600, "\xF0\x9F\x98\x80"},
        {K_TEXT_UTF8, 0x10FFFF, "?"},
        {K_TEXT_UTF8, -3, "?"},
        {K_TEXT_BYTES, 0xFF, "\xFF"},
        {K_TEXT_BYTES, 0x100, "?"},
        {K_TEXT_UTF16, 0x65E5, le16({0x65E5})},
        {K_TEXT_UTF16, 0x1F600, le16({0xD83D, 0xDE00})},
        {K_TEXT_UTF16, 0x110000, le16({'?'})},
        {K_TEXT_UTF16BE, 0x1F600, be16({0xD83D, 0xDE00})},
        {K_TEXT_CODEPOINTS, 0x1F600, codes32({0x1F600})},
    };
    for (const EncodeCase& c : cases) {
        char out[8] = {};
        size_t written = textEncodeChar(c.code, out, c.encoding);
        EXPECT_EQ(std::string(out, written), c.bytes) << "encoding " << c.encoding << " code " << c.code;
    }
}

TEST(TextEncoding, EncodedCharactersDecodeBack) {
    for (int encoding : {K_TEXT_UTF8, K_TEXT_UTF16, K_TEXT_UTF16BE, K_TEXT_CODEPOINTS}) {
        for (int32_t code : {1, 0x7F, 0x80, 0x7FF, 0x800, 0xFFFF, 0x10000, 0x10FFFE}) {
            char text[12] = {};
            textEncodeChar(code, text, encoding);
            size_t offset = 0;
            EXPECT_EQ(textNextChar(text, &offset, encoding), code) << "encoding " << encoding;
        }
    }
}

} // namespace
} // namespace glint

// The strategy guide's XML document: its table of contents and pages, read
// into numbered values. Only the elements the guide uses are looked at;
// names are compared byte for byte.
#pragma once

#include <string>
#include <string_view>

namespace glint {

// Receives the values under their variable names ("Title",
// "ChapterTitle_3", "PageImage_32" ...).
class GuideSink {
public:
    virtual ~GuideSink() = default;
    virtual void number(const std::string& name, double value) = 0;
    // Titles and page texts.
    virtual void text(const std::string& name, std::string_view value) = 0;
    // Image file names.
    virtual void imageName(const std::string& name, std::string_view value) = 0;
};

// A page's bullet text holds at most this many bytes (a buffer of 65,536
// with its closing zero); longer texts are cut at a character boundary.
constexpr size_t kMaxPageText = 65535;
// Documents nested deeper than this are not read: the parser recurses.
constexpr int kMaxGuideDepth = 256;

// Reads the zero-terminated UTF-8 text. False, with nothing given to sink,
// for a document that is not well-formed, nested too deeply, or whose root
// element is not "xml".
bool readGuideDocument(const char* text, GuideSink& sink);

} // namespace glint

#include "extras/guide_document.h"

#include <tinyxml.h>

#include <cstring>

namespace glint {

namespace {

// The deepest nesting of elements, over-estimated rather than parsed:
// comments, CDATA sections, declarations and quoted attribute values are
// skipped, every other start tag that does not close itself opens a level.
int nestingDepth(const char* text) {
    int depth = 0, deepest = 0;
    for (const char* p = std::strchr(text, '<'); p; p = std::strchr(p, '<')) {
        const char* end = nullptr;
        if (std::strncmp(p, "<!--", 4) == 0) {
            end = std::strstr(p + 4, "-->");
        } else if (std::strncmp(p, "<![CDATA[", 9) == 0) {
            end = std::strstr(p + 9, "]]>");
        } else if (p[1] == '?' || p[1] == '!') {
            end = std::strchr(p + 2, '>');
        } else {
            char quote = 0;
            for (end = p + 1; *end && (quote || *end != '>'); ++end) {
                if (quote && *end == quote)
                    quote = 0;
                else if (!quote && (*end == '"' || *end == '\''))
                    quote = *end;
            }
            if (!*end)
                end = nullptr;
            if (p[1] == '/')
                --depth;
            else if (end && end[-1] != '/' && ++depth > deepest)
                deepest = depth;
        }
        if (!end)
            break;
        p = end + 1;
    }
    return deepest;
}

// The value of the element's first child when that is text; null otherwise.
const char* textOf(const TiXmlElement* element) {
    const TiXmlNode* first = element ? element->FirstChild() : nullptr;
    return first && first->ToText() ? first->Value() : nullptr;
}

// The number written right before the first "." of src; 0 without one.
double imageNumber(std::string_view src) {
    size_t dot = src.find('.');
    if (dot == std::string_view::npos)
        return 0;
    size_t start = dot;
    while (start > 0 && src[start - 1] >= '0' && src[start - 1] <= '9')
        --start;
    double number = 0;
    for (size_t i = start; i < dot; ++i)
        number = number * 10 + (src[i] - '0');
    return number;
}

// Appends text, cutting it at a character boundary where it would pass the
// page's room.
void appendBounded(std::string& page, std::string_view add) {
    if (page.size() + add.size() > kMaxPageText) {
        size_t keep = page.size() < kMaxPageText ? kMaxPageText - page.size() : 0;
        while (keep > 0 && (static_cast<unsigned char>(add[keep]) & 0xC0) == 0x80)
            --keep;
        add = add.substr(0, keep);
    }
    page.append(add);
}

void readContents(const TiXmlElement& root, GuideSink& sink) {
    const TiXmlElement* toc = root.FirstChildElement("toc");
    if (!toc)
        return;
    if (const char* title = textOf(toc->FirstChildElement("h2")))
        sink.text("Title", title);
    // Every item takes a number: one without text leaves a gap.
    const TiXmlElement* list = toc->FirstChildElement("ul");
    int chapter = 0;
    for (const TiXmlElement* item = list ? list->FirstChildElement("li") : nullptr; item;
         item = item->NextSiblingElement("li")) {
        ++chapter;
        if (const char* title = textOf(item))
            sink.text("ChapterTitle_" + std::to_string(chapter), title);
    }
}

// Pictures are numbered 10p + k: an eleventh picture shares its number
// with the first of the next page, which is set later and wins.
void readPage(const TiXmlElement& page, int number, GuideSink& sink) {
    int picture = 0;
    for (const TiXmlElement* image = page.FirstChildElement("img"); image;
         image = image->NextSiblingElement("img")) {
        ++picture;
        const char* src = image->Attribute("src");
        if (!src)
            continue;
        std::string key = std::to_string(10 * static_cast<long long>(number) + picture);
        sink.number("PageImage_" + key, imageNumber(src));
        sink.imageName("PageImageName_" + key, src);
    }
    const TiXmlElement* bullets = page.FirstChildElement("ul");
    if (!bullets)
        return;
    std::string text;
    for (const TiXmlElement* item = bullets->FirstChildElement("li"); item; item = item->NextSiblingElement("li")) {
        const char* bullet = textOf(item);
        if (!bullet)
            continue;
        if (!text.empty())
            appendBounded(text, "\n");
        appendBounded(text, "- ");
        appendBounded(text, bullet);
    }
    sink.text("PageText_" + std::to_string(number), text);
}

// Pages are numbered through the whole guide, not per chapter.
void readPages(const TiXmlElement& root, GuideSink& sink) {
    const TiXmlElement* guide = root.FirstChildElement("guide");
    if (!guide)
        return;
    int chapter = 1, page = 1;
    for (const TiXmlElement* section = guide->FirstChildElement("chapter"); section;
         section = section->NextSiblingElement("chapter"), ++chapter) {
        sink.number("ChapterFirstPage_" + std::to_string(chapter), page);
        int pages = 0;
        for (const TiXmlElement* sheet = section->FirstChildElement("page"); sheet;
             sheet = sheet->NextSiblingElement("page"), ++page, ++pages)
            readPage(*sheet, page, sink);
        sink.number("ChapterPageCount_" + std::to_string(chapter), pages);
    }
}

} // namespace

bool readGuideDocument(const char* text, GuideSink& sink) {
    if (!text || nestingDepth(text) > kMaxGuideDepth)
        return false;
    TiXmlDocument document;
    document.Parse(text, nullptr, TIXML_ENCODING_UTF8);
    if (document.Error())
        return false;
    const TiXmlElement* root = document.RootElement();
    if (!root || std::strcmp(root->Value(), "xml") != 0)
        return false;
    readContents(*root, sink);
    readPages(*root, sink);
    return true;
}

} // namespace glint

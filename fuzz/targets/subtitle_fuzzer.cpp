// The subtitle reader over arbitrary text: every title, text and the end
// it reports, until the end of the text or the error that stops it.
#include "scene/subtitle_reader.h"

#include <cstdint>
#include <string>

using namespace glint;

namespace {

class CountingSink : public SubtitleSink {
public:
    void title(int, double start, double duration) override { sum += start + duration; }
    void text(int, int line, const std::string& text) override { sum += line + static_cast<double>(text.size()); }
    void end(int next, int line) override { sum += next + line; }
    double sum = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    CountingSink sink;
    readSubtitleText(text.data(), "fuzz.srt", sink);
    return 0;
}

// The strategy guide's document reader over arbitrary text, with every
// value it gives.
#include "extras/guide_document.h"

#include <cstdint>
#include <string>

using namespace glint;

namespace {

class CountingSink : public GuideSink {
public:
    void number(const std::string& name, double value) override { sum += name.size() + (value > 0 ? 1 : 0); }
    void text(const std::string& name, std::string_view value) override { sum += name.size() + value.size(); }
    void imageName(const std::string& name, std::string_view value) override { sum += name.size() + value.size(); }
    size_t sum = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    CountingSink sink;
    readGuideDocument(text.c_str(), sink);
    return 0;
}

// The shipping tool's reader of a program's library list over arbitrary
// bytes: every offset and size in them is the file's word.
#include "elf_needed.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<std::string> names;
    glint::tool::readNeededLibraries(std::string_view(reinterpret_cast<const char*>(data), size), names);
    return 0;
}

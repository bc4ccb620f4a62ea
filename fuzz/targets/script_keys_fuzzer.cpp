// The lint's scan of a script's text for the localization keys it writes
// as constants, over arbitrary text.
#include "app/lint_script_keys.h"

#include <cstdint>
#include <string_view>

using namespace glint;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    size_t total = 0;
    for (const ScriptKeyUse& use : scanScriptKeys(std::string_view(reinterpret_cast<const char*>(data), size)))
        total += use.key.size() + static_cast<size_t>(use.line);
    return total == static_cast<size_t>(-1) ? 1 : 0;
}

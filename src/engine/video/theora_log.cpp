#include "engine/video/theora_log.h"

#include <cstdio>

namespace glint {

void theoraLog(const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

} // namespace glint

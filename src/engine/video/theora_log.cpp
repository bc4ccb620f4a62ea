#include "engine/video/theora_log.h"

#include <cstdio>

namespace glint {

namespace {
TheoraLogSink logSink;
} // namespace

void theoraLog(const std::string& text) {
    if (logSink) {
        logSink(text);
        return;
    }
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

void setTheoraLogSink(TheoraLogSink sink) { logSink = std::move(sink); }

} // namespace glint

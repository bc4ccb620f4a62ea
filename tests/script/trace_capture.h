// Collects debugTrace lines for the duration of a test.
#pragma once

#include <string>
#include <vector>

#include "engine/system/log.h"

namespace glint::test {

class TraceCapture {
public:
    TraceCapture() { setTraceSink(&TraceCapture::sink, this); }
    ~TraceCapture() { setTraceSink(nullptr, nullptr); }
    TraceCapture(const TraceCapture&) = delete;
    TraceCapture& operator=(const TraceCapture&) = delete;

    const std::vector<std::string>& lines() const { return lines_; }
    bool contains(const std::string& text) const {
        for (const std::string& line : lines_)
            if (line.find(text) != std::string::npos) return true;
        return false;
    }
    void clear() { lines_.clear(); }

private:
    static void sink(const char* line, void* user) { static_cast<TraceCapture*>(user)->lines_.push_back(line); }
    std::vector<std::string> lines_;
};

} // namespace glint::test

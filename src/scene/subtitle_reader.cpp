#include "scene/subtitle_reader.h"

#include "engine/system/log.h"
#include "engine/system/numbers.h"
#include "resource/line_reader.h"

#include <algorithm>
#include <cstring>

namespace glint {

namespace {

enum class BlockState { Number, Times, Text };

// The characters of line from first on (count of them, or all), as far as
// the line reaches.
std::string field(const char* line, size_t first, size_t count = std::string::npos) {
    size_t length = std::strlen(line);
    if (first >= length)
        return {};
    return std::string(line + first, std::min(count, length - first));
}

double timeAt(const char* line, size_t hours, size_t minutes, size_t seconds, size_t millis, size_t millisCount) {
    double fraction = parseDouble(("0." + field(line, millis, millisCount)).c_str());
    return parseInt(field(line, hours, 2).c_str()) * 3600.0 + parseInt(field(line, minutes, 2).c_str()) * 60.0 +
           parseInt(field(line, seconds, 2).c_str()) + fraction;
}

class Reader {
public:
    Reader(const char* name, SubtitleSink& sink) : name_(name), sink_(sink) {}

    // False once reading stops.
    bool line(const char* text, int number) {
        if (!*text) {
            close(number);
            return true;
        }
        switch (state_) {
        case BlockState::Number: return titleNumber(text, number);
        case BlockState::Times: return times(text, number);
        case BlockState::Text:
            if (!text_.empty())
                text_ += '\n';
            text_ += text;
            return true;
        }
        return true;
    }

    void finish(int lastLine) {
        close(lastLine);
        sink_.end(expected_ + 1, lastLine);
    }

private:
    bool titleNumber(const char* text, int line) {
        int number = parseInt(text);
        if (number == 0)
            return true;
        ++expected_;
        if (number < 0) {
            debugTrace("ERROR: Invalid title number in file '%s', line %d: must be larger than 0, got %d", name_,
                       line, number);
            return false;
        }
        if (number != expected_) {
            debugTrace("ERROR: Invalid title number in file '%s', line %d: expected %d, got %d", name_, line,
                       expected_, number);
            return false;
        }
        state_ = BlockState::Times;
        return true;
    }

    bool times(const char* text, int line) {
        double start = timeAt(text, 0, 3, 6, 9, 3);
        double duration = timeAt(text, 17, 20, 23, 26, std::string::npos) - start;
        if (start < 0) {
            debugTrace("ERROR: Invalid title time in file '%s', line %d: expected number larger than 0, got %g",
                       name_, line, start);
            return false;
        }
        if (duration < 0) {
            debugTrace("ERROR: Invalid title duration in file '%s', line %d: expected number larger than 0, got %g",
                       name_, line, duration);
            return false;
        }
        sink_.title(expected_, start, duration);
        text_.clear();
        state_ = BlockState::Text;
        return true;
    }

    void close(int line) {
        if (state_ == BlockState::Text)
            sink_.text(expected_, line, text_);
        state_ = BlockState::Number;
    }

    const char* name_;
    SubtitleSink& sink_;
    BlockState state_ = BlockState::Number;
    int expected_ = 0;
    std::string text_;
};

} // namespace

void readSubtitleText(char* text, const char* name, SubtitleSink& sink) {
    Reader reader(name, sink);
    MLineReader lines(text);
    while (lines.next()) {
        if (!reader.line(lines.line, lines.lineNumber))
            return;
    }
    reader.finish(lines.lineNumber + 1); // the end counts as one more, empty line
}

} // namespace glint

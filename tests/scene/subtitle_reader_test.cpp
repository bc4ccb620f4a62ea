// The SubRip reader: titles with their times and texts, the numbering and
// time errors that stop it, and lines it passes over.
#include "engine/system/log.h"
#include "scene/subtitle_reader.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace glint {
namespace {

// Every call of the reader as a line of text.
class RecordingSink : public SubtitleSink {
public:
    void title(int number, double start, double duration) override {
        char line[64];
        std::snprintf(line, sizeof line, "title %d %g %g", number, start, duration);
        calls.push_back(line);
    }
    void text(int number, int line, const std::string& text) override {
        calls.push_back("text " + std::to_string(number) + " " + std::to_string(line) + " [" + text + "]");
    }
    void end(int next, int line) override {
        calls.push_back("end " + std::to_string(next) + " " + std::to_string(line));
    }
    std::vector<std::string> calls;
};

struct SubtitleCase {
    const char* name;
    std::string file;
    std::vector<std::string> calls;
    std::string trace; // the error line, or empty
};

// Failures name the case, not its bytes.
void PrintTo(const SubtitleCase& c, std::ostream* out) { *out << c.name; }

class SubtitleReaderTest : public testing::TestWithParam<SubtitleCase> {
protected:
    void TearDown() override { setTraceSink(nullptr, nullptr); }
};

TEST_P(SubtitleReaderTest, ReadsTitlesUntilTheEndOrAnError) {
    const SubtitleCase& c = GetParam();
    std::vector<std::string> traced;
    setTraceSink([](const char* line, void* user) { static_cast<std::vector<std::string>*>(user)->push_back(line); },
                 &traced);
    std::string text = c.file;
    RecordingSink sink;
    readSubtitleText(text.data(), "data/s/hall/movie_intro.srt", sink);
    EXPECT_EQ(sink.calls, c.calls);
    if (c.trace.empty())
        EXPECT_TRUE(traced.empty()) << traced.front();
    else
        EXPECT_EQ(traced, std::vector<std::string>{c.trace});
}

INSTANTIATE_TEST_SUITE_P(
    Files, SubtitleReaderTest,
    testing::Values(
        SubtitleCase{"TwoTitles",
                     "1\n00:00:01,500 --> 00:00:04,000\nThe lamp is lit.\n\n"
                     "2\n00:00:05,000 --> 00:00:06,250\nThe lamp\ngoes out.\n",
                     {"title 1 1.5 2.5", "text 1 4 [The lamp is lit.]", "title 2 5 1.25",
                      "text 2 9 [The lamp\ngoes out.]", "end 3 9"},
                     ""},
        // Lines without a number before the first block, CR LF line ends,
        // hours and minutes, blank lines between blocks.
        SubtitleCase{"StrayLinesAndLongTimes",
                     "subtitles of the intro\r\n\r\n1\r\n01:02:03,040 --> 01:02:04,000\r\nA\r\n\r\n\r\n"
                     "2\r\n01:02:05,000 --> 01:02:05,500\r\nB\r\n\r\n",
                     {"title 1 3723.04 0.96", "text 1 6 [A]", "title 2 3725 0.5", "text 2 11 [B]", "end 3 12"},
                     ""},
        SubtitleCase{"FirstNumberedTwo", "2\n00:00:01,000 --> 00:00:02,000\nA\n", {},
                     "ERROR: Invalid title number in file 'data/s/hall/movie_intro.srt', line 1: expected 1, got 2"},
        SubtitleCase{"NumberingGap",
                     "1\n00:00:01,000 --> 00:00:02,000\nA\n\n3\n00:00:03,000 --> 00:00:04,000\nC\n",
                     {"title 1 1 1", "text 1 4 [A]"},
                     "ERROR: Invalid title number in file 'data/s/hall/movie_intro.srt', line 5: expected 2, got 3"},
        SubtitleCase{"NegativeNumber", "-1\n00:00:01,000 --> 00:00:02,000\n", {},
                     "ERROR: Invalid title number in file 'data/s/hall/movie_intro.srt', line 1: must be larger "
                     "than 0, got -1"},
        SubtitleCase{"EndBeforeStart",
                     "1\n00:00:01,000 --> 00:00:02,000\nA\n\n2\n00:00:05,000 --> 00:00:04,000\nB\n",
                     {"title 1 1 1", "text 1 4 [A]"},
                     "ERROR: Invalid title duration in file 'data/s/hall/movie_intro.srt', line 6: expected number "
                     "larger than 0, got -1"},
        SubtitleCase{"NegativeStart", "1\n-1:00:00,000 --> 00:00:02,000\nA\n", {},
                     "ERROR: Invalid title time in file 'data/s/hall/movie_intro.srt', line 2: expected number "
                     "larger than 0, got -3600"},
        // A times line cut short reads only what is there: no end time
        // makes the duration negative.
        SubtitleCase{"ShortTimesLine", "1\n00:00:01\nA\n", {},
                     "ERROR: Invalid title duration in file 'data/s/hall/movie_intro.srt', line 2: expected number "
                     "larger than 0, got -1"},
        // A block whose times line is empty closes at once; its number
        // stays used.
        SubtitleCase{"BlockWithoutTimes", "1\n\n2\n00:00:01,000 --> 00:00:02,000\nB\n",
                     {"title 2 1 1", "text 2 6 [B]", "end 3 6"}, ""},
        SubtitleCase{"Empty", "", {"end 1 1"}, ""}),
    [](const testing::TestParamInfo<SubtitleCase>& info) { return std::string(info.param.name); });

} // namespace
} // namespace glint

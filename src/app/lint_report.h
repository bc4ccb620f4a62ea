// The author's lint of glint check: one line per finding,
// "PATH:LINE: error|warning: TEXT", where PATH is the game file that names
// the faulty thing, as the game names it ("data/hall/_hall.scene").
#pragma once

#include <cstdio>
#include <map>
#include <string>
#include <string_view>

namespace glint {

class LintReport {
public:
    explicit LintReport(std::FILE* out) : out_(out) {}

    void error(const std::string& path, int line, const std::string& text);
    void warning(const std::string& path, int line, const std::string& text);

    int errors() const { return errors_; }
    int warnings() const { return warnings_; }

private:
    void write(const std::string& path, int line, const char* severity, const std::string& text);

    std::FILE* out_;
    int errors_ = 0;
    int warnings_ = 0;
};

// The texts of game files, read once through the resource layer, so that a
// finding can name the line that mentions what it is about.
class LintSources {
public:
    // The 1-based number of the first line of the file that contains
    // needle; 0 when none does or the file cannot be read.
    int lineOf(const std::string& path, std::string_view needle);
    // The file's text; empty when it cannot be read.
    const std::string& text(const std::string& path);

private:
    std::map<std::string, std::string> texts_;
};

// Whether the game has the file, in its archive or on disk.
bool gameHasFile(const std::string& path);

// The last component of a path.
std::string_view fileNameOf(std::string_view path);

} // namespace glint

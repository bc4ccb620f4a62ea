// Small helpers shared by the test programs: temporary folders, files and
// running the fixture tools (zip, tar, convert, sox, ffmpeg) or our binaries.
#pragma once

#include <filesystem>
#include <string>

namespace glint::test {

// A fresh folder under the system's temporary folder, removed with the object.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::string str() const { return path_.string(); }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

void writeFile(const std::filesystem::path& path, const std::string& bytes);
std::string readFile(const std::filesystem::path& path);

// Output and exit status of a shell command.
struct CommandResult {
    int status = -1;
    std::string out;
    std::string err;
};
CommandResult runCommand(const std::string& command);

// Quotes a text for the shell.
std::string shellQuote(const std::string& text);

// Paths of the built programs and of the source tree, fixed at build time.
std::string toolPath();
std::string playerPath();
std::filesystem::path sourceDir();

// The sample game to play: its own folder, or (packed) a folder holding
// nothing but a data.pak of it freshly built into packedDir. Empty when
// the archive could not be made; err then says why.
std::filesystem::path demoGameFolder(bool packed, const TempDir& packedDir, std::string& err);

} // namespace glint::test

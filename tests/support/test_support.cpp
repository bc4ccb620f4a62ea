#include "support/test_support.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>
#include <sys/wait.h>

namespace glint::test {

namespace fs = std::filesystem;

TempDir::TempDir() {
    std::random_device device;
    for (int attempt = 0; attempt < 100; ++attempt) {
        fs::path candidate = fs::temp_directory_path() / ("glint-test-" + std::to_string(device()));
        if (fs::create_directory(candidate)) {
            path_ = candidate;
            return;
        }
    }
    throw std::runtime_error("cannot create a temporary folder");
}

TempDir::~TempDir() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

void writeFile(const fs::path& path, const std::string& bytes) {
    if (path.has_parent_path())
        fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string shellQuote(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) {
        if (c == '\'')
            quoted += "'\\''";
        else
            quoted += c;
    }
    return quoted + "'";
}

CommandResult runCommand(const std::string& command) {
    TempDir scratch;
    fs::path out = scratch / "out", err = scratch / "err";
    std::string full = "(" + command + ") >" + shellQuote(out.string()) + " 2>" + shellQuote(err.string()) +
                       " </dev/null";
    int raw = std::system(full.c_str());
    CommandResult result;
    result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    result.out = readFile(out);
    result.err = readFile(err);
    return result;
}

// Every test program, and every program it starts, keeps its per-user files
// in the build tree and runs headless.
static const bool environmentReady = [] {
    setenv("XDG_DATA_HOME", GLINT_TEST_HOME, 1);
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    return true;
}();

std::string toolPath() { return GLINT_TOOL_PATH; }
std::string playerPath() { return GLINT_PLAYER_PATH; }
fs::path sourceDir() { return GLINT_SOURCE_PATH; }

fs::path demoGameFolder(bool packed, const TempDir& packedDir, std::string& err) {
    fs::path demo = sourceDir() / "games" / "demo";
    if (!packed)
        return demo;
    CommandResult made = runCommand(shellQuote(toolPath()) + " pak create " +
                                    shellQuote((packedDir / "data.pak").string()) + " " + shellQuote(demo.string()));
    err = made.err;
    return made.status == 0 ? packedDir.path() : fs::path();
}

} // namespace glint::test

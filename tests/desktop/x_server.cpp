#include "desktop/x_server.h"

#include "support/test_support.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <sstream>

extern char** environ;

namespace glint::test {

namespace {

// Xvfb on a loaded machine can take a while to come up.
constexpr int kStartTimeoutMs = 60000;

// Reads one line from fd within the timeout; false on end of file or time out.
bool readLine(int fd, int timeoutMs, std::string& line) {
    char c = 0;
    pollfd wait{fd, POLLIN, 0};
    while (poll(&wait, 1, timeoutMs) > 0) {
        if (read(fd, &c, 1) != 1)
            return false;
        if (c == '\n')
            return true;
        line += c;
    }
    return false;
}

std::string withDisplay(const std::string& display, const std::string& command) {
    return "DISPLAY=" + shellQuote(display) + " " + command;
}

} // namespace

bool xvfbInstalled() { return runCommand("command -v Xvfb").status == 0; }

XServer::~XServer() {
    if (pid_ <= 0)
        return;
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
}

bool XServer::start(int width, int height, std::string& error) {
    int pipeFds[2];
    if (pipe(pipeFds) != 0) {
        error = "no pipe";
        return false;
    }
    std::string fd = std::to_string(pipeFds[1]), screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
    // -br: a black root window, so that only the game's picture is coloured.
    const char* argv[] = {"Xvfb", "-displayfd", fd.c_str(), "-screen", "0", screen.c_str(), "-nolisten", "tcp",
                          "-br", "-noreset", nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    int spawned = posix_spawnp(&pid_, "Xvfb", &actions, nullptr, const_cast<char**>(argv), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeFds[1]);
    std::string number;
    bool ready = spawned == 0 && readLine(pipeFds[0], kStartTimeoutMs, number) && !number.empty();
    close(pipeFds[0]);
    if (spawned != 0)
        pid_ = -1;
    if (!ready) {
        error = "Xvfb did not report a display";
        return false;
    }
    display_ = ":" + number;
    return true;
}

bool takeScreenshot(const std::string& display, int width, int height, const std::filesystem::path& scratch,
                    Screenshot& out) {
    std::filesystem::path raw = scratch / "root.rgb";
    std::filesystem::remove(raw);
    if (runCommand(withDisplay(display, "import -window root -depth 8 rgb:" + shellQuote(raw.string()))).status != 0)
        return false;
    std::string bytes = readFile(raw);
    if (bytes.size() != static_cast<size_t>(width) * height * 3)
        return false;
    out.width = width;
    out.height = height;
    out.pixels.resize(static_cast<size_t>(width) * height);
    for (size_t i = 0; i < out.pixels.size(); ++i) {
        auto byte = [&](size_t k) { return static_cast<uint32_t>(static_cast<unsigned char>(bytes[i * 3 + k])); };
        out.pixels[i] = byte(0) << 16 | byte(1) << 8 | byte(2);
    }
    return true;
}

bool findWindow(const std::string& display, const std::string& titlePattern, ScreenRect& out) {
    CommandResult found = runCommand(withDisplay(
        display, "xdotool search --onlyvisible --name " + shellQuote(titlePattern) + " getwindowgeometry --shell"));
    if (found.status != 0)
        return false;
    // Lines KEY=VALUE: WINDOW, X, Y, WIDTH, HEIGHT, SCREEN.
    std::istringstream lines(found.out);
    int seen = 0;
    for (std::string line; std::getline(lines, line);) {
        size_t equals = line.find('=');
        if (equals == std::string::npos)
            continue;
        std::string key = line.substr(0, equals);
        int value = std::atoi(line.c_str() + equals + 1);
        int* field = key == "X" ? &out.x : key == "Y" ? &out.y : key == "WIDTH" ? &out.width
                   : key == "HEIGHT" ? &out.height : nullptr;
        if (field) {
            *field = value;
            ++seen;
        }
    }
    return seen == 4 && out.width > 0 && out.height > 0;
}

bool resizeWindow(const std::string& display, const std::string& titlePattern, int width, int height) {
    return runCommand(withDisplay(display, "xdotool search --onlyvisible --name " + shellQuote(titlePattern) +
                                               " windowsize %1 " + std::to_string(width) + " " +
                                               std::to_string(height)))
               .status == 0;
}

bool clickAt(const std::string& display, int x, int y) {
    return runCommand(withDisplay(display, "xdotool mousemove " + std::to_string(x) + " " +
                                               std::to_string(y) + " click 1"))
               .status == 0;
}

} // namespace glint::test

// A private X server (Xvfb) without a window manager, and the X tools that
// look at it and act on it: screenshots of the root window, window
// geometry and synthetic clicks.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace glint::test {

// Whether the Xvfb program is installed.
bool xvfbInstalled();

class XServer {
public:
    XServer() = default;
    ~XServer();
    XServer(const XServer&) = delete;
    XServer& operator=(const XServer&) = delete;

    // Starts Xvfb with one screen of the size on a display number it picks
    // itself (free, so parallel tests never share one); false with the
    // reason in error.
    bool start(int width, int height, std::string& error);
    // ":N".
    const std::string& display() const { return display_; }

private:
    pid_t pid_ = -1;
    std::string display_;
};

// The root window as 0xRRGGBB pixels, (0, 0) at the top left.
struct Screenshot {
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;
    uint32_t at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};
bool takeScreenshot(const std::string& display, int width, int height, const std::filesystem::path& scratch,
                    Screenshot& out);

struct ScreenRect {
    int x = 0, y = 0, width = 0, height = 0;
    int right() const { return x + width; }
    int bottom() const { return y + height; }
};

// The geometry of the first window whose title matches the pattern, in
// root coordinates; false while there is none.
bool findWindow(const std::string& display, const std::string& titlePattern, ScreenRect& out);

// Gives the first window whose title matches the pattern a new size.
bool resizeWindow(const std::string& display, const std::string& titlePattern, int width, int height);

// Moves the pointer to a root position and clicks the left button there.
bool clickAt(const std::string& display, int x, int y);

} // namespace glint::test

// A real game window on the headless display (SDL's offscreen driver with
// Mesa), and reading back what one frame drew.
#pragma once

#include "engine/window/game_window.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace glint::test {

// Pixels of the back buffer, 0xRRGGBB (alpha dropped: the surface has none),
// with (0, 0) at the top left.
struct Readback {
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;
    uint32_t at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

class GlWindowTest : public testing::Test {
protected:
    void TearDown() override { window.destroy(); }

    // Creates the window; fails the test with SDL's reason when it cannot.
    void open(int width, int height, int gameWidth, int gameHeight, int aspectMode = K_ASPECT_FIT);

    // Runs one frame whose game pass calls draw (the batch is flushed after
    // it) and returns the surface as drawn, before it is presented.
    Readback drawFrame(const std::function<void()>& draw);

    KGameWindow window;
};

// Compares a frame with the committed image at path; see image_compare.h.
void expectFrameMatches(const Readback& frame, const std::string& path, int tolerance = 2);

// Packs an opaque colour for the batch (R in the lowest byte).
constexpr uint32_t rgba(uint32_t r, uint32_t g, uint32_t b, uint32_t a = 255) {
    return r | g << 8 | b << 16 | a << 24;
}

} // namespace glint::test

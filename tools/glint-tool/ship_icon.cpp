#include "ship_icon.h"

#include "engine/images/image_buffer.h"
#include "engine/images/image_handler.h"

#include <cmath>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <memory>

namespace glint::tool {

namespace {

namespace fs = std::filesystem;

constexpr int kIconSize = 128;
constexpr float kCornerRadius = 24;
constexpr float kLampRadius = 22;
constexpr uint32_t kLampColour = 0xfff4d0;

bool readWhole(const fs::path& path, std::string& bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

bool writeWhole(const fs::path& path, const char* bytes, size_t size) {
    std::ofstream out(path, std::ios::binary);
    out.write(bytes, static_cast<std::streamsize>(size));
    out.close();
    return !out.fail();
}

// The same title always gives the same colour.
uint32_t titleColour(const std::string& title) {
    uint32_t hash = 2166136261u;
    for (unsigned char c : title)
        hash = (hash ^ c) * 16777619u;
    // Mid-dark channels, so that the light lamp stands out.
    uint32_t r = 40 + (hash & 0x7f), g = 40 + (hash >> 8 & 0x7f), b = 40 + (hash >> 16 & 0x7f);
    return r << 16 | g << 8 | b;
}

// How far inside the rounded square a point lies: below 0 is outside.
float insideRoundedSquare(float x, float y) {
    float cx = std::fmax(kCornerRadius - x, std::fmax(0.0f, x - (kIconSize - kCornerRadius)));
    float cy = std::fmax(kCornerRadius - y, std::fmax(0.0f, y - (kIconSize - kCornerRadius)));
    return kCornerRadius - std::hypot(cx, cy);
}

uint32_t shade(uint32_t colour, float factor) {
    auto channel = [&](int shift) {
        float value = static_cast<float>(colour >> shift & 0xff) * factor;
        return static_cast<uint32_t>(std::fmin(255.0f, value)) << shift;
    };
    return channel(16) | channel(8) | channel(0);
}

// A rounded square darkening towards its foot, with a light in its upper
// half: plain, but recognisable in a menu beside other games.
void drawIcon(uint32_t colour) {
    for (int y = 0; y < kIconSize; ++y) {
        for (int x = 0; x < kIconSize; ++x) {
            float px = static_cast<float>(x) + 0.5f, py = static_cast<float>(y) + 0.5f;
            float coverage = std::fmin(1.0f, std::fmax(0.0f, insideRoundedSquare(px, py) + 0.5f));
            uint32_t rgb = shade(colour, 1.3f - 0.6f * py / kIconSize);
            float lamp = kLampRadius - std::hypot(px - kIconSize / 2.0f, py - kIconSize * 0.4f);
            if (lamp > 0)
                rgb = kLampColour;
            uint32_t alpha = static_cast<uint32_t>(std::lround(coverage * 255.0f));
            imagePixelBuffer[y * kIconSize + x] = alpha << 24 | rgb;
        }
    }
}

bool writeDrawnIcon(const std::string& title, const fs::path& out) {
    drawIcon(titleColour(title));
    KImageInfo info;
    info.width = info.height = kIconSize;
    info.hasAlpha = 1;
    info.isUncompressed = 1;
    uint8_t* png = nullptr;
    size_t size = 0;
    if (!imageHandlerForFormat(K_IMAGE_PNG)->encode(&png, &size, &info, 0))
        return false;
    std::unique_ptr<uint8_t[]> owned(png);
    return writeWhole(out, reinterpret_cast<const char*>(png), size);
}

} // namespace

bool writeGameIcon(const fs::path& gameDir, const std::string& title, const fs::path& out, std::string& error) {
    for (const fs::path& own : {gameDir / "icon.png", gameDir / "data" / "icon.png"}) {
        std::error_code missing;
        if (!fs::is_regular_file(own, missing))
            continue;
        std::string bytes;
        KImageInfo info;
        if (!readWhole(own, bytes) ||
            !imageHandlerForFormat(K_IMAGE_PNG)->decode(bytes.data(), bytes.size(), &info, true)) {
            error = "'" + own.string() + "' is not a PNG image";
            return false;
        }
        if (!writeWhole(out, bytes.data(), bytes.size())) {
            error = "cannot write '" + out.string() + "'";
            return false;
        }
        return true;
    }
    if (!writeDrawnIcon(title, out)) {
        error = "cannot write '" + out.string() + "'";
        return false;
    }
    return true;
}

} // namespace glint::tool

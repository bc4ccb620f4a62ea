#include "resource/image_line.h"

#include "engine/system/log.h"
#include "resource/image_anim.h"
#include "resource/line_reader.h"
#include "resource/number.h"
#include "resource/resource_manager.h"
#include "script/value.h"

#include <cstring>
#include <string>

namespace glint {

namespace {

int64_t clamped(int64_t value, int64_t low, int64_t high) { return value < low ? low : value > high ? high : value; }

int64_t rounded(const char* token) { return roundToInteger(parseNumber(token)); }

// A frame size given as a fraction of the image becomes a count of cells;
// the 8-bit count is held at 255 rather than wrapped by a tiny fraction.
uint8_t cellCount(const char* token) {
    float fraction = parseNumber(token);
    if (fraction <= 0)
        return 1;
    return static_cast<uint8_t>(clamped(roundToInteger(1.0 / fraction), 1, 255));
}

} // namespace

std::string imageSpecPath(const char* path, const ImageSpecContext& context) {
    const char* slash = std::strrchr(path, '/');
    if (!slash)
        return std::string(context.folder) + "/" + path;
    if (context.allowFolders)
        return path;
    debugTrace("[%s] Image filename cannot be absolute: %s", context.label, path);
    return std::string(context.folder) + "/" + (slash + 1);
}

void parseImageSpec(MResourceManager& resources, MImageAnim& image, const char* text,
                    const ImageSpecContext& context) {
    std::string line(text ? text : "");
    MTokenReader tokens(line.data());
    if (tokens.next())
        image.texture = resources.texture(imageSpecPath(tokens.token, context).c_str(), false, false);
    if (tokens.next() && context.blendTarget)
        *context.blendTarget = static_cast<uint8_t>(clamped(rounded(tokens.token), 0, 255));
    if (tokens.next())
        image.fps = parseNumber(tokens.token);
    if (tokens.next())
        image.firstFrame = static_cast<uint8_t>(clamped(rounded(tokens.token), 0, 255));
    if (tokens.next())
        image.delay = static_cast<int32_t>(clamped(roundToInteger(parseNumber(tokens.token) * 100.0), -32767, 32767));
    if (tokens.next())
        image.columns = cellCount(tokens.token);
    if (tokens.next())
        image.rows = cellCount(tokens.token);
    if (image.texture)
        image.texture->lazy = context.lazy ? 1 : 0;
}

} // namespace glint

// The one-line image description of particle files, "anim:" entries and the
// letter-coded scene format: path, blend mode, fps, first frame, first-frame
// delay (seconds) and the frame width and height as fractions of the image.
#pragma once

#include <cstdint>
#include <string>

namespace glint {

class MResourceManager;
struct MImageAnim;

struct ImageSpecContext {
    const char* folder = "";   // the owner's folder, for paths without "/"
    bool allowFolders = false; // whether a path with "/" is taken as it is
    bool lazy = false;         // the texture's lazy flag afterwards
    const char* label = "";    // names the owner in the trace
    uint8_t* blendTarget = nullptr; // receives the blend mode, when given
};

// Fills image from the one-line description in text; tokens that are missing leave their
// fields unchanged. The texture is registered, not acquired.
void parseImageSpec(MResourceManager& resources, MImageAnim& image, const char* text,
                    const ImageSpecContext& context);

// Where a spec's path points. Without allowFolders a path with folders is
// traced as "[label] Image filename cannot be absolute: path" and only its
// file name is used.
std::string imageSpecPath(const char* path, const ImageSpecContext& context);

} // namespace glint

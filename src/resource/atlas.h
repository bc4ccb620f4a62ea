// Atlas descriptions: text files that map image paths to rectangles of
// numbered page images, so that a scene's many small images load as a few
// large textures.
//
// One sub-texture per line: page number, image path, x, y, width, height.
// A path starting with "data/" is used as it is, any other lies in the
// scene folder. The pages of data/s/hall/_hall.atlas are
// data/s/hall/_hall_00.<ext>, _hall_01.<ext> and so on.
#pragma once

#include <string>

namespace glint {

class MConfiguration;
class MResourceManager;

// The page image of an atlas file: everything from the file's last "." (or
// the end) replaced by "_NN.<extension>".
std::string atlasPagePath(const char* atlasFile, int page, const char* extension);

// The page extension "data/atlases.cfg" gives a scene folder: the text after
// "nformat:" (or "dynamic_format:") up to the next comma, at most 15
// characters; fallback when the entry or that part is missing.
std::string atlasPageExtension(const MConfiguration& atlasConfig, const char* sceneFolder, bool dynamic,
                               const char* fallback);

// Registers the sub-textures the file lists (nothing is acquired). A missing
// file is not an error; false only tells that there was none.
bool loadAtlas(MResourceManager& resources, const char* atlasFile, const char* sceneFolder,
               const char* pageExtension, bool dynamic);
// The same for the text of an atlas file already in memory (the lines are
// cut in place), as the file atlasFile would give it.
void addAtlasText(MResourceManager& resources, char* text, const char* atlasFile, const char* sceneFolder,
                  const char* pageExtension, bool dynamic);

} // namespace glint

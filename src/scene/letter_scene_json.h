// Writes a letter-coded scene, as readLetterScene read it, in the JSON form,
// for authors moving a game to JSON scenes. The JSON scene loads to the same
// elements, with two differences of form: children are written inside their
// parents, so an element that the letter-coded file created before its
// parent comes after it; and hotspot polygons are written before exclusion
// polygons.
#pragma once

#include <string>
#include <vector>

namespace glint {

struct LetterScene;

struct LetterSceneJson {
    std::string json;
    // Requests of "+scene" and "element:+scene" objects, which JSON scenes
    // make in their .sxcfg file: "scene:root=attic", "instance:slot=chest".
    std::vector<std::string> extraConfig;
    // What the JSON form cannot say exactly, one line per element concerned.
    std::vector<std::string> warnings;
};

LetterSceneJson letterSceneToJson(const LetterScene& scene);

} // namespace glint

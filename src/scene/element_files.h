// Files that an element uses by its name rather than by a path in its
// scene's description: its particle system and its movie.
#pragma once

#include <string>
#include <string_view>

namespace glint {

class MElement;
class MScene;
class MSceneRegistry;

// ps_smoke_2 (or room$ps_smoke_2) uses the system "smoke".
std::string particleSystemName(std::string_view elementName);
// "data/_interface/particles/<system>.particles".
std::string particleFilePath(std::string_view elementName);
// "<folder>/<file>.ogv": the file is the element's name, or the value of
// its scene's extra configuration entry "image:<name>", which may be
// "scene:file" to take the file from another scene's folder.
std::string movieFilePath(const MScene& scene, const MElement& element, const MSceneRegistry& registry);

} // namespace glint

// The JSON form of a scene file: elements (with their keys, keyframes,
// polygons and children) and groups.
#pragma once

#include <cstddef>

namespace glint {

class MScene;
struct SceneLoadContext;

// Adds the elements and groups of text (size bytes) to scene. A text that
// is not valid JSON adds nothing.
void parseJsonScene(MScene& scene, const SceneLoadContext& context, const char* text, size_t size);

} // namespace glint

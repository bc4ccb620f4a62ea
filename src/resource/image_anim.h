// The image of an element's visual or of a particle system: a texture, or a
// movie whose frames replace it. The sprite-sheet fields join when element
// animation needs them.
#pragma once

namespace glint {

class MTexture;
class MVideo;

struct MImageAnim {
    MTexture* texture = nullptr;
    MVideo* movie = nullptr;
};

} // namespace glint

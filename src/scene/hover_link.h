// A hover highlight: while the pointer is over `element`, `highlight` is
// shown and `element` grows towards `hoverScale`. A link that is no longer
// active fades out before the scene update removes it.
#pragma once

namespace glint {

class MElement;

struct MHoverLink {
    bool active = true;
    MElement* element = nullptr;
    MElement* highlight = nullptr; // may be null
    float hoverScale = 1;          // 1 or below 0.01: no growth
    float level = 0;               // current hover strength, 0 to 1
};

} // namespace glint

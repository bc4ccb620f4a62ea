// The abstract font: everything that draws or measures text goes through
// these operations. Texts come with an encoding (engine/text/text_encoding.h);
// positions and sizes are game units; scales multiply glyph sizes.
#pragma once

#include "engine/system/object.h"

#include <cstdint>

namespace glint {

class KTextFace : public KObjectBase {
public:
    // The default line height.
    virtual int height() const = 0;
    // Width of a one-line text, times scale.
    virtual float textWidth(const void* text, float spacing, float scale, int encoding) const = 0;
    // What one character adds to a line, its pen offset included.
    virtual float charWidth(int32_t code, float spacing) const = 0;
    virtual float charXOffset(int32_t code) const = 0;
    // Packed R, G, B, A from the lowest byte.
    virtual void setColor(uint32_t color) = 0;
    virtual void setBlendMode(int mode) = 0;
    // Draws starting at x.
    virtual void drawLeft(const void* text, float x, float y, float spacing, float scaleX, float scaleY,
                          int encoding) = 0;
    // Draws so that the text ends at x.
    virtual void drawRight(const void* text, float x, float y, float spacing, float scaleX, float scaleY,
                           int encoding) = 0;
    // Draws centred between x1 and x2.
    virtual void drawCentered(const void* text, float x1, float y, float x2, float spacing, float scaleX,
                              float scaleY, int encoding) = 0;
    virtual bool hasChar(int32_t code) const = 0;
    // Extra advance after every space (justified lines).
    virtual void setSpaceExtra(float value) = 0;
};

} // namespace glint

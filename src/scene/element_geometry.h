// Angles and rectangles of elements in scene coordinates. Trigonometry
// comes from the engine's 65536-entry tables, never from the library.
#pragma once

#include <array>

#include "scene/element_polygon.h"

namespace glint {

class MElement;
class MScene;

struct SinCos {
    float sin = 0, cos = 1;
};

// The table entries for an angle in degrees: index trunc(degrees x 65536 / 360),
// wrapped into the table.
SinCos tableSinCos(float degrees);

// The corners of the element's absolute rectangle: top left, top right,
// bottom right, bottom left as they are before rotation.
std::array<PolygonPoint, 4> elementCorners(const MElement& element);
// The same for a rectangle of size w x h whose pivot point is at (x, y).
std::array<PolygonPoint, 4> rectangleCorners(float x, float y, float w, float h, float angle, float pivotX,
                                             float pivotY);

// A point of one scene where it shows on screen, carried into another
// scene's coordinates (through from's camera, then the inverse of to's;
// the rotation is left out, as the script conversions do).
PolygonPoint carryPoint(const MScene& from, const MScene& to, PolygonPoint point);

} // namespace glint

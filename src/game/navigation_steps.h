// Small pieces the navigation files share.
#pragma once

#include "scene/element_polygon.h"
#include "script/value.h"

namespace glint {

class MElement;
class MScene;

// A scene as a script value (none for null).
Value sceneValue(MScene* scene);
// Calls the scene's "on_close" function when its scripts define one.
void callOnClose(MScene& scene);
// The centre of the element's rectangle where it shows on screen (through
// its scene's camera, without the rotation).
PolygonPoint elementCentreOnScreen(const MElement& element);
// "Profile_index" rounded, or 0.
int profileSlot();

} // namespace glint

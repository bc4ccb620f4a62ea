// The engine-wide pools of elements, visuals and groups. Elements read from scene
// files come from the static pool and go back when their scene's content is
// dropped; dynamic elements (created by scripts) come from the dynamic pool,
// which keeps deleted ones constructed and reuses them, so that a script
// value still naming a deleted element finds a detached element rather
// than freed memory.
#pragma once

namespace glint {

class MElement;
class MElementVisual;
class MGroup;

MElement* takeElement(bool dynamic);
// Drops the element's records and its share of the visual, then returns it
// to the pool it came from.
void giveBackElement(MElement* element, bool dynamic);

MElementVisual* takeVisual();
// One more element shows the visual, or one less; the last one frees it.
void shareVisual(MElementVisual* visual);
void unshareVisual(MElementVisual* visual);

MGroup* takeGroup();
void giveBackGroup(MGroup* group);

} // namespace glint

// The steps of MScene::update, each in its own file, and the upkeep of the
// update and draw lists as elements come and go.
#pragma once

namespace glint {

class MElement;
class MScene;
struct ScriptElement;
struct Symbol;
struct Value;

// A global script variable, or null when it (or the script system) is missing.
const Value* globalValue(Symbol* name);
// The element the player carries (the global Taken_object), or null.
MElement* carriedElement();
// The element under the pointer whose task reacts to it, or null.
const ScriptElement* pointerTarget();
// The scene whose camera shows the element: its camera_scene, else its own.
MScene* cameraSceneOf(const MElement& element);

// Refreshes the base values of the marked elements and their descendants
// from channels, scale and offset records; fills scene.recomputed.
void computeBaseValues(MScene& scene);
// Hover strengths, highlight opacity and hover growth.
void updateHoverLinks(MScene& scene);
// Parent, carried object, size, parallax, particles and movies for the
// elements of scene.recomputed.
void computeTransforms(MScene& scene);
// The scene camera from the camera element, the camera variables and the view.
void deriveCamera(MScene& scene);

// Ascending depth, stable for equal depths; renews every drawIndex.
void sortDrawList(MScene& scene);
// Moves parents before their children; renews the updateIndex of moved elements.
void reorderUpdateList(MScene& scene);

// A new element at the end of both lists.
void appendToOrderLists(MScene& scene, MElement& element);
// The element leaves both lists; the later ones move up.
void removeFromOrderLists(MScene& scene, MElement& element);
// The links naming the element (as either end) go back to the pool.
void dropHoverLinks(MScene& scene, const MElement& element);
// Every link goes back to the pool.
void releaseHoverLinks(MScene& scene);

} // namespace glint

// The pointer's looks: every element "pointer_<look>" of the interface scene
// "pointers", each with the system cursor of "data/pointer_<look>.cur" when
// that file exists. The hardware-cursor option chooses between that cursor
// and the drawn element.
#pragma once

#include <memory>
#include <vector>

#include "engine/window/system_cursor.h"

namespace glint {

class MElement;
class MScene;
class MSceneRegistry;
struct OptionCells;
struct PlatformSettings;
struct SceneLoadContext;
struct Symbol;
struct Value;

struct PointerCursor {
    Symbol* look = nullptr; // the element name without "pointer_"
    MElement* element = nullptr;
    std::unique_ptr<KSystemCursor> cursor; // none without a usable cursor file
};

// The pointer scene's cells that the pointer state writes when the look
// changes.
struct PointerScene {
    MScene* scene = nullptr;
    Value* prevPointer = nullptr;      // "Prev_pointer"
    Value* currentPointer = nullptr;   // "Current_pointer"
};

struct PointerCursors {
    PointerScene scene;
    std::vector<PointerCursor> records; // in the scene's element order
};

// Once at start-up, after the interface scenes are set up: loads, prepares
// and holds the scene "pointers" and makes a record for each look. Without
// the scene nothing happens and only the drawn pointer exists.
void loadPointerCursors(PointerCursors& cursors, MSceneRegistry& scenes, const SceneLoadContext& context);
const PointerCursor* findPointerCursor(const PointerCursors& cursors, Symbol* look);

enum class PointerLookDisplay {
    SystemCursor, // the system cursor shows the look
    DrawnElement, // the system cursor is hidden; the look's element is drawn
    Nothing,      // a pointer shape the platform settings hide while the system cursor is used
};

// Shows the look through the system cursor when the hardware cursor is in
// use, the look has a cursor and the platform settings do not hide it;
// otherwise hides the system cursor. Every frame while the window is in
// the foreground and does not show the system cursor over its frame.
PointerLookDisplay showPointerLook(const PointerCursors& cursors, Symbol* look, const OptionCells& cells,
                                   const PlatformSettings& platform);

} // namespace glint

// The script commands take and untake, served by the running game's pointer.
#pragma once

namespace glint {

class MPointer;

// Points the keywords at their callbacks (after registerBuiltinCommands);
// null unregisters the pointer.
void registerPointerCommands(MPointer* pointer);

} // namespace glint

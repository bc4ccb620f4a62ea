// The script commands take and untake, served by the running game's
// pointer, and get_scale_factor, read from the pulse curve of found objects.
#pragma once

namespace glint {

class MPointer;
struct PulseCurve;

// Points the keywords at their callbacks (after registerBuiltinCommands);
// null unregisters them.
void registerPointerCommands(MPointer* pointer, const PulseCurve* pulse);

} // namespace glint

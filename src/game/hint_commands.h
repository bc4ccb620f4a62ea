// The script commands of hints: get_hint_offset, engine_request_hint and
// engine_request_hint_glitter; and the hints pass of the task passes.
#pragma once

namespace glint {

class MHints;

// Points the commands and the hints pass at the hint engine; null
// unregisters them.
void registerHintCommands(MHints* hints);

} // namespace glint

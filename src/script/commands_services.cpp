// The shared callbacks: the final no-op services of the desktop build and
// the placeholder of families that are not built yet.
#include "script/commands.h"

namespace glint {

uint32_t commandNothing(Value*, int) { return 0; }

// Getters of mobile services: the destination keeps what it holds.
uint32_t commandReturnOne(Value*, int) { return 1; }

uint32_t commandPending(Value*, int) { return 0; }

} // namespace glint

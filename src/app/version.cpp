#include "app/version.h"

namespace glint {

const char* engineVersion() { return "0.1"; }

} // namespace glint

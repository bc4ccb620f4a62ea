#pragma once

namespace glint {

// The engine's version text, "MAJOR.MINOR".
const char* engineVersion();

} // namespace glint

#include "engine/system/system.h"

namespace glint {

namespace {
bool initialized = false;
char dataPathText[260] = "";
} // namespace

void systemInit(const char*) { initialized = true; }
bool systemInitialized() { return initialized; }
const char* osDescription() { return ""; }
const char* dataPath() { return dataPathText; }
const char* userName() { return ""; }
void systemResetForTests() { initialized = false; }

} // namespace glint

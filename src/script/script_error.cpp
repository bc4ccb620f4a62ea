#include "script/script_error.h"

#include <cstdarg>
#include <cstdio>

#include "engine/system/log.h"
#include "script/value.h"

namespace glint {

namespace {
Scope* errorScope = nullptr;
char lastError[512];
} // namespace

Scope* scriptErrorScope() { return errorScope; }
void setScriptErrorScope(Scope* scope) { errorScope = scope; }
const char* lastScriptError() { return lastError; }

void scriptError(const char* format, ...) {
    if (errorScope && errorScope->scene())
        std::snprintf(lastError, sizeof lastError, "ERROR in script %s", errorScope->sceneName());
    else
        std::snprintf(lastError, sizeof lastError, "ERROR");
    char message[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(message, sizeof message, format, args);
    va_end(args);
    debugTrace("%s: %s", lastError, message);
}

} // namespace glint

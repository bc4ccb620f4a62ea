#include "resource/resource.h"

namespace glint {

namespace {
bool traceResources = false;
} // namespace

bool resourceTraceEnabled() { return traceResources; }
void setResourceTrace(bool enabled) { traceResources = enabled; }

} // namespace glint

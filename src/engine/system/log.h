// The engine's log and its diagnostics hook.
//
// logMessage keeps "HH:MM:SS: text" lines in an 8 KiB memory buffer (only
// the first 8192 bytes are kept). debugTrace receives scene, resource and
// script diagnostics; it discards them unless a sink is installed or the
// environment variable GLINT_TRACE is 1, in which case each line goes to
// standard error.
#pragma once

#include <cstddef>
#include <string>

namespace glint {

void logMessage(const char* format, ...) __attribute__((format(printf, 1, 2)));
void debugTrace(const char* format, ...) __attribute__((format(printf, 1, 2)));

// The memory log as written so far.
std::string memoryLog();
void clearMemoryLog();

// Where debugTrace lines go: one call per line, without a line end.
using TraceSink = void (*)(const char* line, void* user);
void setTraceSink(TraceSink sink, void* user);
// Installs the standard-error sink (what GLINT_TRACE=1 selects).
void traceToStandardError();

// Builds one log line "HH:MM:SS: message\n" into line; returns its length.
size_t formatLogLine(char* line, size_t capacity, int hours, int minutes, int seconds, const char* message);

// Size of the memory log; lines past it are dropped.
constexpr std::size_t kMemoryLogSize = 8192;

} // namespace glint

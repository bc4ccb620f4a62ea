#include "engine/system/log.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <mutex>

namespace glint {

namespace {

constexpr size_t kFormatSize = 2048;      // 2047 characters and the terminator
constexpr size_t kLineSize = kFormatSize + 11;

// The streaming and decoding threads log too; one lock keeps their lines whole.
std::mutex logLock;
char memoryBuffer[kMemoryLogSize];
size_t memoryFill = 0;

std::mutex traceLock;
TraceSink traceSink = nullptr;
void* traceUser = nullptr;
bool traceChecked = false;

void writeToStandardError(const char* line, void*) {
    std::fprintf(stderr, "%s\n", line);
}

void appendToMemory(const char* line, size_t length) {
    size_t room = kMemoryLogSize - memoryFill;
    size_t count = length < room ? length : room;
    std::memcpy(memoryBuffer + memoryFill, line, count);
    memoryFill += count;
}

} // namespace

size_t formatLogLine(char* line, size_t capacity, int hours, int minutes, int seconds, const char* message) {
    int length = std::snprintf(line, capacity, "%02d:%02d:%02d: %s\n", hours, minutes, seconds, message);
    if (length < 0)
        return 0;
    return static_cast<size_t>(length) < capacity ? static_cast<size_t>(length) : capacity - 1;
}

void logMessage(const char* format, ...) {
    char message[kFormatSize];
    va_list args;
    va_start(args, format);
    std::vsnprintf(message, sizeof message, format, args);
    va_end(args);

    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char line[kLineSize];
    size_t length = formatLogLine(line, sizeof line, local.tm_hour, local.tm_min, local.tm_sec, message);

    std::lock_guard<std::mutex> hold(logLock);
    appendToMemory(line, length);
}

std::string memoryLog() {
    std::lock_guard<std::mutex> hold(logLock);
    return std::string(memoryBuffer, memoryFill);
}

void clearMemoryLog() {
    std::lock_guard<std::mutex> hold(logLock);
    memoryFill = 0;
}

void setTraceSink(TraceSink sink, void* user) {
    std::lock_guard<std::mutex> hold(traceLock);
    traceSink = sink;
    traceUser = user;
    traceChecked = true;
}

void traceToStandardError() { setTraceSink(writeToStandardError, nullptr); }

void debugTrace(const char* format, ...) {
    std::lock_guard<std::mutex> hold(traceLock);
    if (!traceChecked) {
        traceChecked = true;
        const char* wanted = std::getenv("GLINT_TRACE");
        if (wanted && !std::strcmp(wanted, "1"))
            traceSink = writeToStandardError;
    }
    if (!traceSink)
        return;
    char message[kFormatSize];
    va_list args;
    va_start(args, format);
    std::vsnprintf(message, sizeof message, format, args);
    va_end(args);
    // Callers sometimes end their text with a line break; the sink gets bare lines.
    size_t length = std::strlen(message);
    while (length > 0 && (message[length - 1] == '\n' || message[length - 1] == '\r'))
        message[--length] = 0;
    traceSink(message, traceUser);
}

} // namespace glint

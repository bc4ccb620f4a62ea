// The services of the platforms scripts are written for, as the desktop
// answers them: fixed answers for the device queries, the event counters,
// alerts, opening a URL and copying a file into the user's documents.
#include <cstdio>
#include <string>
#include <vector>

#include "engine/resources/resource.h"
#include "engine/system/files.h"
#include "engine/system/log.h"
#include "script/commands.h"
#include "script/interpreter.h"
#include "script/script_system.h"

namespace glint {

namespace {

// The analytics events the game counts, for the whole process: kinds 4 and
// 6 share a counter, 5, 7, 8, 9 and 15 have one each.
int64_t eventCounters[6];

int64_t* eventCounter(int32_t kind) {
    switch (kind) {
    case 4:
    case 6: return &eventCounters[0];
    case 5: return &eventCounters[1];
    case 7: return &eventCounters[2];
    case 8: return &eventCounters[3];
    case 9: return &eventCounters[4];
    case 15: return &eventCounters[5];
    default: return nullptr;
    }
}

Symbol* stringOrNull(const Value& v) { return v.isString() ? v.symbol() : nullptr; }

// The destination of save_document_file as folders and a file name below
// the documents folder. Backslashes separate too (scripts written for
// Windows); "." is skipped and ".." steps back, but never above the
// documents folder. False for such a path and for one that names no file.
bool documentParts(const char* destination, std::vector<std::string>& parts) {
    std::string part;
    for (const char* p = destination;; ++p) {
        if (*p && *p != '/' && *p != '\\') {
            part += *p;
            continue;
        }
        if (part == "..") {
            if (parts.empty())
                return false;
            parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        if (!*p)
            return !parts.empty() && !part.empty() && part != "." && part != "..";
        part.clear();
    }
}

// Writes beside the target and renames, so that a failed copy never leaves
// half a file where the player's document was.
bool writeWhole(const std::string& path, const char* data, int32_t size) {
    std::string part = path + ".part";
    FILE* file = std::fopen(part.c_str(), "wb");
    if (!file)
        return false;
    bool written = std::fwrite(data, 1, static_cast<size_t>(size), file) == static_cast<size_t>(size);
    written = std::fclose(file) == 0 && written;
    if (written && std::rename(part.c_str(), path.c_str()) == 0)
        return true;
    std::remove(part.c_str());
    return false;
}

} // namespace

// --- Fixed answers of the desktop -------------------------------------------

uint32_t commandAnswerOne(Value* args, int) {
    args[0] = Value::fromNumber(1);
    return 1;
}

uint32_t commandAnswerZero(Value* args, int) {
    args[0] = Value::fromNumber(0);
    return 1;
}

uint32_t commandGetDeviceName(Value* args, int) {
    args[0] = Value::fromSymbol(intern("Win"));
    return 1;
}

uint32_t commandGetBundleVersion(Value* args, int) {
    args[0] = Value::fromSymbol(intern(""));
    return 1;
}

// --- Event counters -----------------------------------------------------------

uint32_t commandLogEvent(Value* args, int) {
    if (int64_t* counter = eventCounter(roundedInt(args[0])))
        ++*counter;
    return 0;
}

uint32_t commandGetFlurryLogCount(Value* args, int) {
    int32_t kind = roundedInt(args[0]);
    const int64_t* counter = eventCounter(kind);
    args[1] = kind == 0 ? Value() : Value::fromNumber(counter ? static_cast<double>(*counter) : 0);
    return 2;
}

// --- Alerts, URLs and documents ---------------------------------------------

// show_alert title message [label function]...: the engine presents it.
uint32_t commandShowAlert(Value* args, int count) {
    AlertRecord alert;
    alert.title = stringOrNull(args[0]);
    alert.message = stringOrNull(args[1]);
    for (int i = 2; i < count; i += 2) {
        if (!args[i].isString())
            continue;
        Value function = i + 1 < count ? args[i + 1] : Value();
        bool callable = (function.is(ValueType::Function) || function.is(ValueType::Method)) && function.pointer;
        alert.buttons.push_back({args[i].symbol(), callable ? function : Value()});
    }
    script().alerts.add(std::move(alert));
    return 0;
}

uint32_t commandOpenUrl(Value* args, int) {
    if (Symbol* url = stringOrNull(args[0]); url && url->length > 0)
        openUrl(url->text);
    return 0;
}

// save_document_file source destination: copies a game file into the
// user's documents folder, making the folders destination names.
uint32_t commandSaveDocumentFile(Value* args, int) {
    Symbol* source = stringOrNull(args[0]);
    Symbol* destination = stringOrNull(args[1]);
    if (!source || !destination)
        return 0;
    std::vector<std::string> parts;
    if (!documentParts(destination->text, parts)) {
        logMessage("System: '%s' is no file below the documents folder, WARNING", destination->text);
        return 0;
    }
    char* data = nullptr;
    int32_t size = 0;
    if (!resourceLoadFile(resolveDataPath(source->text), &data, &size))
        return 0;
    std::string path = documentsPath();
    if (!path.empty() && path.back() == '/')
        path.pop_back();
    for (size_t i = 0; i + 1 < parts.size(); ++i) {
        path += "/" + parts[i];
        createDirectory(path.c_str());
    }
    path += "/" + parts.back();
    if (!writeWhole(path, data, size))
        logMessage("System: cannot write %s, ERROR", path.c_str());
    delete[] data;
    return 0;
}

} // namespace glint

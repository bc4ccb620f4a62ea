#include "script/file_commands.h"

#include "engine/resources/resource.h"
#include "engine/system/durable_file.h"
#include "engine/system/files.h"
#include "resource/cfg_value.h"
#include "resource/file_util.h"
#include "resource/line_reader.h"
#include "resource/text_file.h"
#include "script/array_object.h"
#include "script/commands.h"
#include "script/heap.h"
#include "script/script_error.h"

#include <string>
#include <unistd.h>

namespace glint {

namespace {

const ScriptFolders* served = nullptr;

Symbol* textOf(const Value& v) { return v.isString() ? v.symbol() : nullptr; }

ArrayObject* arrayOf(const Value& v) { return v.is(ValueType::Array) ? v.as<ArrayObject>() : nullptr; }

// Where a command's path argument leads: relative to the game folder, or
// for log names to the per-user folder. Empty for anything but a string,
// and for a place outside both folders, which is reported.
std::string placeOf(const char* command, const Value& argument, bool inUserFolder = false) {
    Symbol* path = textOf(argument);
    if (!path || !served)
        return "";
    std::string place = confinedPath(*served, inUserFolder ? served->user : served->game, path->text);
    if (place.empty())
        scriptError("%s: '%s' is outside the game folder and the user folder", command, path->text);
    return place;
}

// Opens and closes: the file exists afterwards, empty when mode truncates.
void touch(const std::string& place, const char* mode) {
    if (std::FILE* file = openFileUtf8(place.c_str(), mode))
        std::fclose(file);
}

// Files only: a folder of the game is never removed by a script.
void removeFile(const std::string& place) {
    if (!place.empty())
        ::unlink(place.c_str());
}

uint32_t commandFtouch(Value* args, int) {
    std::string place = placeOf("ftouch", args[0]);
    if (place.empty())
        return 0;
    createDirectory(place.substr(0, place.rfind('/')).c_str());
    touch(place, "ab");
    return 0;
}

uint32_t commandFdelete(Value* args, int) {
    removeFile(placeOf("fdelete", args[0]));
    return 0;
}

uint32_t commandFcreatelog(Value* args, int) {
    std::string place = placeOf("fcreatelog", args[0], true);
    if (!place.empty())
        touch(place, "w");
    return 0;
}

// flog name parts...: one line of the parts' text forms.
uint32_t commandFlog(Value* args, int count) {
    std::string place = placeOf("flog", args[0], true);
    if (place.empty())
        return 0;
    std::string line;
    for (int i = 1; i < count; ++i)
        line += (i > 1 ? " " : "") + valueText(args[i]);
    if (std::FILE* file = openFileUtf8(place.c_str(), "a")) {
        std::fprintf(file, "%s\n", line.c_str());
        std::fclose(file);
    }
    return 0;
}

uint32_t commandFdeletelog(Value* args, int) {
    removeFile(placeOf("fdeletelog", args[0], true));
    return 0;
}

// A file larger than read_lines takes is reported and left unread.
bool withinReadLimit(const std::string& place, const char* path) {
    KResourceEntryInfo info;
    if (!resourceGetInfo(place.c_str(), &info) || info.size <= kMaxReadLinesBytes)
        return true;
    scriptError("read_lines: '%s' is larger than %d bytes; nothing is read", path, kMaxReadLinesBytes);
    return false;
}

uint32_t commandReadLines(Value* args, int) {
    ArrayObject* array = arrayOf(args[0]);
    if (!array)
        return 0;
    array->clear();
    std::string place = placeOf("read_lines", args[1]);
    MTextFile file;
    if (place.empty() || !withinReadLimit(place, args[1].symbol()->text) || !file.loadText(place.c_str()))
        return 0;
    if (!appendTextLines(file.data(), *array, kMaxReadLines))
        scriptError("read_lines: '%s' has more than %d lines; the rest is left out", args[1].symbol()->text,
                    kMaxReadLines);
    return 0;
}

// The file is replaced whole, so a write that fails part-way leaves the
// old lines rather than a cut list.
uint32_t commandWriteLines(Value* args, int) {
    ArrayObject* array = arrayOf(args[0]);
    std::string place = array ? placeOf("write_lines", args[1]) : "";
    if (place.empty())
        return 0;
    std::string content;
    for (const Value* item : array->items) {
        Symbol* text = item ? textOf(*item) : nullptr;
        content.append(text ? text->text : "").append("\r\n");
    }
    replaceFileDurably(place, content.data(), content.size());
    return 0;
}

// read_cfg out path key: the key's value as a string; none when path or
// key is no string.
uint32_t commandReadCfg(Value* args, int) {
    Symbol* key = textOf(args[2]);
    if (!textOf(args[1]) || !key) {
        args[0] = Value();
        return 1;
    }
    char value[kCfgValueSize] = "";
    std::string place = placeOf("read_cfg", args[1]);
    if (!place.empty())
        readCfgValue(place.c_str(), key->text, value);
    args[0] = Value::fromSymbol(intern(value));
    return 1;
}

uint32_t commandWriteCfg(Value* args, int) {
    Symbol* key = textOf(args[1]);
    Symbol* value = textOf(args[2]);
    std::string place = key && value ? placeOf("write_cfg", args[0]) : "";
    if (!place.empty())
        writeCfgValue(place.c_str(), key->text, value->text);
    return 0;
}

} // namespace

bool appendTextLines(char* text, ArrayObject& array, int limit) {
    MLineReader reader(text);
    while (reader.next()) {
        if (array.count() >= limit)
            return false;
        array.append(scriptHeap().newCell(Value::fromSymbol(intern(reader.line))));
    }
    return true;
}

void registerFileCommands(const ScriptFolders* folders) {
    served = folders;
    if (!folders)
        return;
    registerCommand("ftouch", commandFtouch, 1, 0);
    registerCommand("fdelete", commandFdelete, 1, 0);
    registerCommand("fcreatelog", commandFcreatelog, 1, 0);
    registerCommand("flog", commandFlog, 1, 0);
    registerCommand("fdeletelog", commandFdeletelog, 1, 0);
    registerCommand("read_lines", commandReadLines, 2, 0);
    registerCommand("write_lines", commandWriteLines, 2, 0);
    registerCommand("read_cfg", commandReadCfg, 3, 0);
    registerCommand("write_cfg", commandWriteCfg, 3, 0);
}

} // namespace glint

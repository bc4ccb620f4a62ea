#include "resource/cfg_value.h"

#include "engine/system/durable_file.h"

#include "resource/cfg_line.h"
#include "resource/line_reader.h"
#include "resource/text_file.h"

#include <cstring>
#include <string>
#include <sys/stat.h>

namespace glint {

namespace {

bool isEmpty(const char* text) { return !text || !*text; }

// Every folder named by a prefix of the path that ends before a "/"; an
// existing folder is fine, and other failures show when the file is opened.
void createFolders(const char* path) {
    std::string prefix;
    for (const char* c = path; *c; ++c) {
        if (*c == '/' && !prefix.empty())
            ::mkdir(prefix.c_str(), 0755);
        prefix += *c;
    }
}

// Content grows as needed, so a file of any size is rewritten whole.
std::string rewrittenContent(const char* path, const char* key, const char* value) {
    std::string content;
    bool matched = false;
    MTextFile file;
    if (file.loadText(path)) {
        MLineReader reader(file.data());
        while (reader.next()) {
            char* line = reader.line;
            if (!*line)
                continue;
            char* rest = splitCfgLine(line);
            if (rest && !std::strcmp(line, key)) {
                matched = true;
                if (!isEmpty(value))
                    content.append(key).append("=").append(value);
            } else {
                content.append(line);
                if (rest)
                    content.append("=").append(rest);
            }
            content.append("\r\n");
        }
    }
    if (!matched && !isEmpty(value))
        content.append(key).append("=").append(value).append("\r\n");
    return content;
}

} // namespace

void readCfgValue(const char* path, const char* key, char* out) {
    out[0] = 0;
    if (isEmpty(path) || isEmpty(key))
        return;
    MTextFile file;
    if (!file.loadText(path))
        return;
    MLineReader reader(file.data());
    while (reader.next()) {
        char* value = splitCfgLine(reader.line);
        if (!value || std::strcmp(reader.line, key))
            continue;
        std::strncpy(out, value, kCfgValueSize - 1);
        out[kCfgValueSize - 1] = 0;
    }
}

bool writeCfgValue(const char* path, const char* key, const char* value) {
    if (isEmpty(path) || isEmpty(key))
        return false;
    std::string content = rewrittenContent(path, key, value);
    createFolders(path);
    // Scripts keep progress in such files: a write that fails part-way
    // must leave the old content, not a cut one.
    return replaceFileDurably(path, content.data(), content.size());
}

} // namespace glint

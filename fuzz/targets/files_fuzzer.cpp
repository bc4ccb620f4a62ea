// The scripts' file commands over arbitrary input: the first line is a path
// a script gives, the rest the content of the file it reads. The path must
// never lead outside the two folders; the file is read as read_cfg and
// read_lines read it, and rewritten as write_cfg rewrites one key.
#include "engine/resources/resource.h"
#include "resource/cfg_value.h"
#include "resource/text_file.h"
#include "script/array_object.h"
#include "script/file_commands.h"
#include "script/script_system.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

using namespace glint;

namespace {

bool below(const std::string& path, const std::string& folder) { return path.rfind(folder + "/", 0) == 0; }

char scratchFolder[] = "/tmp/glint_fuzz_files_XXXXXX";

void removeScratch() {
    std::remove((std::string(scratchFolder) + "/file.cfg").c_str());
    std::remove(scratchFolder);
}

// One file in a folder of its own for the whole run, removed at its end.
const std::string& scratchFile() {
    static const std::string path = [] {
        if (!mkdtemp(scratchFolder))
            std::abort();
        std::atexit(removeScratch);
        return std::string(scratchFolder) + "/file.cfg";
    }();
    return path;
}

void checkPath(const std::string& path) {
    const ScriptFolders folders{"/fuzz/game", "/fuzz/user"};
    for (const std::string& base : {folders.game, folders.user}) {
        std::string place = confinedPath(folders, base, path.c_str());
        if (!place.empty() && !below(place, folders.game) && !below(place, folders.user))
            __builtin_trap();
    }
}

void readAndRewrite(const std::string& key, const std::string& content) {
    const std::string& file = scratchFile();
    if (std::FILE* out = std::fopen(file.c_str(), "wb")) {
        std::fwrite(content.data(), 1, content.size(), out);
        std::fclose(out);
    }
    char value[kCfgValueSize];
    readCfgValue(file.c_str(), key.c_str(), value);
    writeCfgValue(file.c_str(), key.c_str(), value[0] ? "" : "new");
    static ScriptSystem system;
    MTextFile text;
    if (!text.loadText(file.c_str()))
        return;
    ArrayObject lines(intern("lines[]"), &system.global(), 0);
    appendTextLines(text.data(), lines, 1000);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool ready = [] {
        resourceInit();
        return true;
    }();
    (void)ready;
    std::string input(reinterpret_cast<const char*>(data), size);
    size_t cut = input.find('\n');
    std::string path = input.substr(0, cut);
    checkPath(path);
    readAndRewrite(path.substr(0, path.find('=')), cut == std::string::npos ? "" : input.substr(cut + 1));
    return 0;
}

// Script sources through the compiler and the linker: the input up to its
// first zero byte is a scene's script, the rest its "common_all". Each input
// gets a fresh script system.
//
// Linking runs init blocks, and a running script may loop for ever or call
// the file, network and platform commands (which have targets or tests of
// their own): every "init", in any case, becomes "_nit" before compiling, so
// that only the compiler, the declaration pass and the linker run.
#include "engine/resources/resource.h"
#include "script/commands.h"
#include "script/compiler.h"
#include "script/declarations.h"
#include "script/script_system.h"

#include <cctype>
#include <cstdint>
#include <cstring>
#include <string>

using namespace glint;

namespace {

void renameInit(std::string& text) {
    for (size_t at = 0; at + 4 <= text.size(); ++at) {
        if (std::tolower(static_cast<unsigned char>(text[at])) == 'i' &&
            std::tolower(static_cast<unsigned char>(text[at + 1])) == 'n' &&
            std::tolower(static_cast<unsigned char>(text[at + 2])) == 'i' &&
            std::tolower(static_cast<unsigned char>(text[at + 3])) == 't')
            text[at] = '_';
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string input(reinterpret_cast<const char*>(data), size);
    renameInit(input);
    static const bool ready = [] {
        resourceInit(); // includes are looked for through the resource layer
        return true;
    }();
    (void)ready;
    size_t zero = input.find('\0');
    std::string scene = input.substr(0, zero);
    std::string common = zero == std::string::npos ? "" : input.substr(zero + 1);

    ScriptSystem system;
    ScriptScene room(intern("room"));
    registerBuiltinCommands();
    system.addScene(&room);
    system.sources.add(intern("common_all"), common.data(), common.size());
    system.sources.add(intern("common_all_post"), "", 0);
    system.sources.add(room.name, scene.data(), scene.size());
    compileScene(room.scope);
    linkScene(system.global());
    linkScene(room.scope);
    return 0;
}

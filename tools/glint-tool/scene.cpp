// glint-tool scene convert FILE OUT.scene [--language CODE]: reads a
// letter-coded scene file as the engine does and writes the same scene in
// the JSON form. The reader's diagnostics and what the JSON form cannot say
// go to standard error; the lines that the scene's .sxcfg file needs for
// the sub-scenes and instances the file asked for go to standard output.
#include "command.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

#include "resource/text_file.h"
#include "scene/letter_scene.h"
#include "scene/letter_scene_json.h"

namespace glint::tool {

namespace {

constexpr const char* kUsage = "glint-tool scene convert FILE OUT.scene [--language CODE]";
// Scene files are read whole; anything larger is not a scene.
constexpr std::streamoff kMaxSceneFile = 256LL * 1024 * 1024;

int usage() {
    std::fprintf(stderr, "usage: %s\n", kUsage);
    return 2;
}

int fail(const std::string& message) {
    std::fprintf(stderr, "glint-tool scene: %s\n", message.c_str());
    return 1;
}

bool readWhole(const char* path, std::string& bytes) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in || in.tellg() > kMaxSceneFile)
        return false;
    in.seekg(0);
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

// The scene's name as the engine knows it: the file name less "_" and its
// extension.
std::string sceneName(const char* path) {
    std::string name = path;
    name = name.substr(name.find_last_of('/') + 1);
    name = name.substr(0, name.find('.'));
    return name.starts_with('_') ? name.substr(1) : name;
}

int convertScene(int argc, char** argv) {
    if (argc < 4 || std::strcmp(argv[1], "convert") != 0)
        return usage();
    std::string language;
    for (int i = 4; i < argc; ++i) {
        if (std::strcmp(argv[i], "--language") != 0 || ++i >= argc)
            return usage();
        language = argv[i];
    }
    std::string bytes;
    if (!readWhole(argv[2], bytes))
        return fail(std::string("cannot read '") + argv[2] + "'");
    MTextFile text;
    text.assignText(bytes.data(), static_cast<int32_t>(bytes.size()), argv[2]);

    std::string name = sceneName(argv[2]);
    LetterSceneSettings settings;
    settings.sceneName = name;
    settings.language = language;
    settings.report = [](LetterMessage kind, const std::string& message) {
        std::fprintf(stderr, "%s%s\n", kind == LetterMessage::ScriptError ? "ERROR in script: " : "",
                     message.c_str());
    };
    LetterScene scene = readLetterScene(text.data(), static_cast<size_t>(text.size()), settings);
    LetterSceneJson json = letterSceneToJson(scene);
    for (const std::string& warning : json.warnings)
        std::fprintf(stderr, "WARNING: %s\n", warning.c_str());

    std::ofstream out(argv[3], std::ios::binary);
    if (!(out << json.json) || !out.flush())
        return fail(std::string("cannot write '") + argv[3] + "'");
    for (const std::string& line : json.extraConfig)
        std::printf("%s\n", line.c_str());
    return 0;
}

} // namespace

GLINT_TOOL_COMMAND("scene", kUsage, convertScene);

} // namespace glint::tool

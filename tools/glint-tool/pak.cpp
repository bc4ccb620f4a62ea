// glint-tool pak: builds "data.pak" from a game folder and looks inside
// archives the way the engine does.
#include "command.h"
#include "pak_create.h"

#include "engine/resources/resource.h"
#include "engine/resources/resource_archive.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace glint::tool {

namespace {

constexpr const char* kUsage = "glint-tool pak create OUT.pak GAME_DIR [--tar] [--encrypt]\n"
                               "glint-tool pak list ARCHIVE\n"
                               "glint-tool pak cat ARCHIVE PATH";

int fail(const std::string& message) {
    std::fprintf(stderr, "glint-tool pak: %s\n", message.c_str());
    return 1;
}

int usage() {
    std::fprintf(stderr, "usage:\n%s\n", kUsage);
    return 2;
}

bool parseCreate(int argc, char** argv, PakRequest& options) {
    std::vector<std::string> positional;
    for (int i = 2; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--tar"))
            options.tar = true;
        else if (!std::strcmp(argv[i], "--encrypt"))
            options.encrypt = true;
        else if (argv[i][0] == '-' && argv[i][1])
            return false;
        else
            positional.push_back(argv[i]);
    }
    if (positional.size() != 2 || (options.tar && options.encrypt))
        return false;
    options.out = positional[0];
    options.gameDir = positional[1];
    return true;
}

int create(int argc, char** argv) {
    PakRequest request;
    if (!parseCreate(argc, argv, request))
        return usage();
    return createPak(request);
}

void printEntry(const char* path, int32_t size, void*) { std::printf("%s %d\n", path, static_cast<int>(size)); }

int list(int argc, char** argv) {
    if (argc != 3)
        return usage();
    KResourceArchive* archive = resourceOpenArchive(argv[2]);
    if (!archive)
        return fail(std::string("cannot open archive '") + argv[2] + "'");
    archive->listFiles(printEntry, nullptr);
    delete archive;
    return 0;
}

// Only the archive is mounted (no resourceInit, so no disk source): what is
// printed comes from the archive, never from a loose file of the same name.
int cat(int argc, char** argv) {
    if (argc != 4)
        return usage();
    if (resourceMountArchive(argv[2]) != K_RES_OK)
        return fail(std::string("cannot open archive '") + argv[2] + "'");
    char* data = nullptr;
    int32_t size = 0;
    bool found = resourceLoadFile(argv[3], &data, &size);
    int status = 0;
    if (!found)
        status = fail(std::string("no entry '") + argv[3] + "' in '" + argv[2] + "'");
    else if (std::fwrite(data, 1, static_cast<size_t>(size), stdout) != static_cast<size_t>(size))
        status = fail("cannot write to standard output");
    delete[] data;
    resourceShutdown();
    return status;
}

int runPak(int argc, char** argv) {
    if (argc < 2)
        return usage();
    if (!std::strcmp(argv[1], "create"))
        return create(argc, argv);
    if (!std::strcmp(argv[1], "list"))
        return list(argc, argv);
    if (!std::strcmp(argv[1], "cat"))
        return cat(argc, argv);
    return usage();
}

} // namespace

GLINT_TOOL_COMMAND("pak", kUsage, runPak);

} // namespace glint::tool

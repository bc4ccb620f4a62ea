// glint: the player. glint [GAME_DIR] runs the game in GAME_DIR, by default
// the folder of the executable.
#include "engine/resources/resource.h"
#include "engine/system/log.h"
#include "engine/system/system.h"

#include <cstdio>

int main(int argc, char** argv) {
    if (argc > 2 || (argc == 2 && argv[1][0] == '-')) {
        std::fprintf(stderr, "usage: glint [GAME_DIR]\n");
        return 2;
    }
    if (!glint::systemInit(argc == 2 ? argv[1] : nullptr)) {
        std::fputs(glint::memoryLog().c_str(), stderr);
        return 1;
    }
    glint::resourceMountArchive(glint::resolveDataPath("data.pak"));
    std::fputs(glint::memoryLog().c_str(), stdout);
    glint::resourceShutdown();
    return 0;
}

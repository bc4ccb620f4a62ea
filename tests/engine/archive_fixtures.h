// A small game folder and archives of it made by the real zip and tar
// programs, shared by the archive tests and the pak tool tests.
#pragma once

#include "support/test_support.h"

#include <gtest/gtest.h>
#include <map>
#include <random>
#include <string>

namespace glint::test {

// Directory part of the long path: with it the path is 146 characters, too
// long for the tar name field but fine for the ustar prefix.
inline std::string longDirectory() { return "data/" + std::string(60, 'd') + "/" + std::string(60, 'e'); }
inline std::string longPath() { return longDirectory() + "/long_name_file.txt"; }

inline std::string noise(size_t size, unsigned seed) {
    std::mt19937 random(seed);
    std::string bytes(size, 0);
    for (char& c : bytes)
        c = static_cast<char>(random() & 0xff);
    return bytes;
}

inline std::string repeatedText(int lines) {
    std::string text;
    for (int i = 0; i < lines; ++i)
        text += "element_" + std::to_string(i % 7) + " = image data/s/hall/hall.png\n";
    return text;
}

// Entry name -> contents of the fixture game folder.
inline std::map<std::string, std::string> fixtureFiles() {
    return {
        {"data/game.cfg", "BuildScreenW=1024\nBuildScreenH=768\n"},
        {"data/empty.txt", ""},
        {"data/noise.bin", noise(3000, 7)},
        {"data/s/hall/_hall.scene", repeatedText(100)},
        {"data/secret.txt", repeatedText(40)},
        {"data/secret_stored.bin", noise(700, 11)},
        {longPath(), "far away\n"},
    };
}

inline void writeFixtureFolder(const std::filesystem::path& gameDir) {
    for (const auto& [name, bytes] : fixtureFiles())
        writeFile(gameDir / name, bytes);
}

inline void mustRun(const std::string& command) {
    CommandResult result = runCommand(command);
    ASSERT_EQ(result.status, 0) << command << "\n" << result.err;
}

// A zip with stored, deflated, encrypted (stored and deflated) entries and
// one directory entry, made by Info-ZIP zip in the game folder.
inline void makeMixedZip(const std::filesystem::path& gameDir, const std::filesystem::path& out) {
    std::string cd = "cd " + shellQuote(gameDir.string()) + " && zip -q -X ";
    std::string zip = shellQuote(out.string());
    mustRun(cd + "-0 " + zip + " data/noise.bin data/empty.txt");
    mustRun(cd + zip + " data/game.cfg data/s/hall/_hall.scene " + shellQuote(longPath()));
    mustRun(cd + "-P Gl1ntPak " + zip + " data/secret.txt");
    mustRun(cd + "-0 -P Gl1ntPak " + zip + " data/secret_stored.bin");
    mustRun(cd + zip + " data/s/");
}

// format is "gnu" or "ustar".
inline void makeTar(const std::filesystem::path& gameDir, const std::filesystem::path& out, const std::string& format) {
    mustRun("tar --format=" + format + " -cf " + shellQuote(out.string()) + " -C " + shellQuote(gameDir.string()) +
            " data");
}

} // namespace glint::test

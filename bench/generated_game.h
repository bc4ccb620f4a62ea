// A large game written into a folder, the same bytes on every run: many
// gameplay scenes of many elements each, with a script of their own, two
// templates merged into every scene, and a few scenes drawing from an atlas.
// Start-up benchmarks load it.
#pragma once

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace glint::bench {

struct GameShape {
    int scenes = 150;         // gameplay scenes, the start scene among them
    int elementsEach = 200;   // per scene, children included
    int scriptLines = 200;    // per scene
    int atlasEvery = 30;      // every Nth scene draws from an atlas of its own
    int looseImages = 8;      // images shared by the scenes without an atlas
    int templateElements = 12; // in each of the two templates
};

class GeneratedGame {
public:
    GeneratedGame(const std::filesystem::path& folder, const std::filesystem::path& sourceGame,
                  const GameShape& shape = {})
        : folder_(folder), source_(sourceGame), shape_(shape) {}

    // Writes the whole game; false when a file could not be written.
    bool write() {
        std::filesystem::remove_all(folder_);
        bool ok = file("data/game.cfg", "BuildScreenW=1024\nBuildScreenH=768\nBuildSupportMScene=1\n"
                                        "BuildAtlasTexturesExtensions=png\n");
        ok = ok && file("data/scenes.cfg", registry());
        ok = ok && file("data/_interface/game.script", "; Nothing global: every scene's script stands alone.\n");
        ok = ok && file("data/_interface/_scripts/common_all.script", "") &&
             file("data/_interface/_scripts/common_all_post.script", "");
        ok = ok && file("data/_interface/loading/_loading.scene",
                        R"({"elements": {"background": {"I": ["data/images/img_0.png"], "D": [1024, 768]}}})");
        for (const char* name : {"template_play", "template_gameplay"})
            ok = ok && file(std::string("data/_interface/") + name + "/_" + name + ".scene", templateScene(name));
        for (int i = 0; i < shape_.looseImages; ++i)
            ok = ok && copy(kLooseSources[i % kLooseSourceCount], "data/images/img_" + std::to_string(i) + ".png");
        for (int s = 0; s < shape_.scenes; ++s)
            ok = ok && writeScene(s);
        return ok;
    }

    // The folder and base name of scene s; the first is the start scene.
    std::string sceneName(int s) const {
        char name[32];
        std::snprintf(name, sizeof name, "room_%03d", s);
        return s == 0 ? "startup" : name;
    }
    std::string sceneFolder(int s) const {
        return s == 0 ? "data/startup" : "data/rooms/" + sceneName(s);
    }

private:
    static constexpr const char* kLooseSources[] = {
        "data/_interface/pointers/pointer_click.png", "data/_interface/hud/frame.png",
        "data/_interface/hud/glow.png",               "data/_interface/hud/hint.png",
        "data/_interface/hud/ring.png",               "data/_interface/hud/arrow_left.png",
    };
    static constexpr int kLooseSourceCount = sizeof kLooseSources / sizeof kLooseSources[0];
    static constexpr int kAtlasSprites = 20;

    bool file(const std::string& path, const std::string& bytes) {
        std::filesystem::path full = folder_ / path;
        std::filesystem::create_directories(full.parent_path());
        std::ofstream out(full, std::ios::binary);
        out << bytes;
        return static_cast<bool>(out);
    }

    bool copy(const std::string& from, const std::string& to) {
        std::filesystem::create_directories((folder_ / to).parent_path());
        std::error_code error;
        return std::filesystem::copy_file(source_ / from, folder_ / to, error);
    }

    std::string registry() const {
        std::string text = "data/_interface/loading\ndata/_interface/template_play\n"
                           "data/_interface/template_gameplay\n";
        for (int s = 0; s < shape_.scenes; ++s)
            text += sceneFolder(s) + "\n";
        return text;
    }

    bool hasAtlas(int s) const { return s % shape_.atlasEvery == 0; }

    std::string templateScene(const std::string& name) const {
        std::string json = R"({"elements": {"root": {"C": {"_template_root": {})";
        for (int e = 0; e < shape_.templateElements; ++e)
            json += ", \"" + name + "_part" + std::to_string(e) + "\": " +
                    elementBody(e, "data/images/img_1.png", e % 3 == 0) + "}";
        return json + "}}}}";
    }

    // An element's keys, its object left open for children: an image, a size, a keyframed or plain position,
    // and on some a hotspot polygon.
    static std::string elementBody(int i, const std::string& image, bool hotspot) {
        std::string x = std::to_string(i * 37 % 800 - 400), y = std::to_string(i * 53 % 600 - 300);
        std::string body = "{\"I\": [\"" + image + "\"], \"D\": [64, 64, 0.5, 0.5], \"Y\": " + y + ", \"Z\": " +
                           std::to_string(i % 50);
        body += i % 5 == 0 ? ", \"X\": [[0, " + x + "], [150, " + std::to_string(i % 400) + "], [300, " + x + "]]"
                           : ", \"X\": " + x;
        if (i % 7 == 0)
            body += ", \"A\": [[0, 0], [50, 1]], \"Sx\": 90";
        if (hotspot)
            body += ", \"Hs\": [[[-30, -30], [30, -30], [30, 30], [-30, 30]]]";
        return body;
    }

    std::string imageFor(int s, int i) const {
        if (hasAtlas(s))
            return "spr_" + std::to_string(i % kAtlasSprites) + ".png";
        return "data/images/img_" + std::to_string(i % shape_.looseImages) + ".png";
    }

    // Parents with four children each; every parent is an element the
    // script has a task for.
    std::string sceneText(int s) const {
        const int parents = shape_.elementsEach / 5;
        std::string json = "{\"elements\": {";
        for (int p = 0; p < parents; ++p) {
            int i = p * 5;
            json += std::string(p ? ", " : "") + "\"obj" + std::to_string(p) + "\": " +
                    elementBody(i + s, imageFor(s, i), true) + ", \"C\": {";
            for (int c = 1; c < 5; ++c)
                json += std::string(c > 1 ? ", " : "") + "\"obj" + std::to_string(p) + "_part" + std::to_string(c) +
                        "\": " + elementBody(i + c + s, imageFor(s, i + c), false) + "}";
            json += "}}";
        }
        json += "}, \"groups\": {";
        for (int g = 0; g < parents / 10; ++g) {
            json += std::string(g ? ", " : "") + "\"group_" + std::to_string(g) + "\": [";
            for (int m = 0; m < 10; ++m)
                json += std::string(m ? ", " : "") + "\"obj" + std::to_string(g * 10 + m) + "\"";
            json += "]";
        }
        return json + "}}";
    }

    // Tasks on the scene's elements and a helper function, as rooms have,
    // padded with comments to the exact line count.
    std::string script(int s) const {
        std::string text = "; " + sceneName(s) + "\nfun count_visit %n {\n  set %total %n\n  add %total 1\n"
                           "  if %total > 100 {\n    set %total 0\n  }\n}\n";
        int lines = 8;
        for (int t = 0; lines + 12 <= shape_.scriptLines; ++t, lines += 12) {
            std::string e = "$obj" + std::to_string(t % (shape_.elementsEach / 5));
            text += "\naction look" + std::to_string(t) + " hand " + e + " ? {\n  do {\n    call &count_visit " +
                    std::to_string(t % 3 + 1) + "\n    set %x " + std::to_string(t) + "\n    add %x 1\n"
                    "    if %x > 3 {\n      hide " + e + "\n    }\n    show " + e + "\n  }\n}\n";
        }
        for (; lines < shape_.scriptLines; ++lines)
            text += "; padding\n";
        return text;
    }

    std::string atlas(int) const {
        std::string text;
        for (int k = 0; k < kAtlasSprites; ++k)
            text += "0 spr_" + std::to_string(k) + ".png " + std::to_string(k % 10 * 100) + " " +
                    std::to_string(k / 10 * 100) + " 64 64\n";
        return text;
    }

    bool writeScene(int s) {
        const std::string folder = sceneFolder(s), name = sceneName(s);
        bool ok = file(folder + "/_" + name + ".scene", sceneText(s)) &&
                  file(folder + "/" + name + ".script", script(s)) &&
                  file(folder + "/_" + name + ".sxcfg", "#visited=0\n");
        if (ok && hasAtlas(s))
            ok = file(folder + "/_" + name + ".atlas", atlas(s)) &&
                 copy("data/rooms/study/_study_00.png", folder + "/_" + name + "_00.png");
        return ok;
    }

    std::filesystem::path folder_, source_;
    GameShape shape_;
};

} // namespace glint::bench

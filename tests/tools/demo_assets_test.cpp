// The sample game's baked art as committed: every atlas matches the SVG
// sources it was baked from, and the game's atlases still resolve when the
// game is played from a freshly built data.pak.
#include "engine/images/image_buffer.h"
#include "engine/images/image_handler.h"
#include "engine/resources/resource.h"
#include "scene/registry_fixture.h"
#include "support/test_support.h"
#include "tools/atlas_entries.h"

#include <gtest/gtest.h>

#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

using namespace glint;
using namespace glint::test;
namespace fs = std::filesystem;

namespace {

using Entry = AtlasEntry;

// The size an SVG source declares on its root element.
std::pair<int, int> declaredSize(const fs::path& svg) {
    std::string text = readFile(svg);
    std::smatch w, h;
    static const std::regex width(R"re(<svg[^>]*\swidth="(\d+)")re"), height(R"re(<svg[^>]*\sheight="(\d+)")re");
    if (!std::regex_search(text, w, width) || !std::regex_search(text, h, height)) {
        ADD_FAILURE() << svg << " declares no width and height";
        return {0, 0};
    }
    return {std::stoi(w[1]), std::stoi(h[1])};
}

std::pair<int, int> pngSize(const std::string& bytes) {
    KImageInfo info;
    if (!imageHandlerForFormat(K_IMAGE_PNG)->decode(bytes.data(), bytes.size(), &info, false))
        return {0, 0};
    return {static_cast<int>(info.width), static_cast<int>(info.height)};
}

fs::path demo() { return sourceDir() / "games" / "demo"; }

// Folders of demo/src that hold SVG files, relative to src.
std::vector<std::string> sourceFolders() {
    std::vector<std::string> folders;
    for (const auto& entry : fs::recursive_directory_iterator(demo() / "src")) {
        if (entry.path().extension() != ".svg")
            continue;
        std::string folder = entry.path().parent_path().lexically_relative(demo() / "src").generic_string();
        if (std::find(folders.begin(), folders.end(), folder) == folders.end())
            folders.push_back(folder);
    }
    std::sort(folders.begin(), folders.end());
    return folders;
}

bool isInterface(const std::string& folder) { return folder.rfind("_interface/", 0) == 0; }

std::string atlasOf(const std::string& folder) {
    return "data/" + folder + "/_" + fs::path(folder).filename().string() + ".atlas";
}

} // namespace

// A source added, dropped or resized without a bake shows here.
TEST(DemoAssets, EveryBakedImageHasTheSizeItsSourceDeclares) {
    std::vector<std::string> folders = sourceFolders();
    ASSERT_FALSE(folders.empty());
    for (const std::string& folder : folders) {
        std::map<std::string, std::pair<int, int>> expected;
        for (const auto& entry : fs::directory_iterator(demo() / "src" / folder))
            if (entry.path().extension() == ".svg")
                expected[entry.path().stem().string() + ".png"] = declaredSize(entry.path());

        std::map<std::string, std::pair<int, int>> baked;
        if (isInterface(folder)) {
            for (const auto& [name, size] : expected)
                if (fs::exists(demo() / "data" / folder / name))
                    baked[name] = pngSize(readFile(demo() / "data" / folder / name));
        } else {
            fs::path atlas = demo() / atlasOf(folder);
            ASSERT_TRUE(fs::exists(atlas)) << atlas;
            std::map<int, std::pair<int, int>> pages;
            for (const Entry& e : readAtlasEntries(readFile(atlas))) {
                baked[e.name] = {e.width, e.height};
                if (!pages.count(e.page)) {
                    char page[16];
                    std::snprintf(page, sizeof page, "_%02d.png", e.page);
                    std::string pagePath = atlas.string().substr(0, atlas.string().size() - 6) + page;
                    pages[e.page] = pngSize(readFile(pagePath));
                }
                EXPECT_LE(e.x + e.width, pages[e.page].first) << folder << "/" << e.name;
                EXPECT_LE(e.y + e.height, pages[e.page].second) << folder << "/" << e.name;
            }
        }
        EXPECT_EQ(baked, expected) << folder << ": run tools/bake-demo";
    }
}

class DemoPak : public RegistryFixture {};

// The atlases as the engine reads them from the archive alone: no loose copy
// of any atlas or page is in the game folder.
TEST_F(DemoPak, AtlasesResolveFromAFreshArchive) {
    CommandResult made = runCommand(shellQuote(toolPath()) + " pak create " + shellQuote((game / "data.pak").string()) +
                                    " " + shellQuote(demo().string()));
    ASSERT_EQ(made.status, 0) << made.err;

    std::string registry;
    std::vector<std::string> packed;
    for (const std::string& folder : sourceFolders())
        if (!isInterface(folder)) {
            registry += "data/" + folder + "\n";
            packed.push_back(folder);
        }
    ASSERT_FALSE(packed.empty());
    contentFor(registry);
    file("data/game.cfg", readFile(demo() / "data" / "game.cfg"));
    build(registry);
    ASSERT_EQ(resourceMountArchive(resolveDataPath("data.pak")), K_RES_OK);
    engine->scenes.loadAtlases(engine->sceneContext());

    for (const std::string& folder : packed) {
        char* text = nullptr;
        int32_t size = 0;
        ASSERT_TRUE(resourceLoadFile(atlasOf(folder).c_str(), &text, &size)) << folder;
        std::vector<Entry> entries = readAtlasEntries(std::string(text, static_cast<size_t>(size)));
        delete[] text;
        ASSERT_FALSE(entries.empty()) << folder;
        for (const Entry& e : entries) {
            std::string path = "data/" + folder + "/" + e.name;
            MTexture* texture = resources->texture(path.c_str(), false, false);
            ASSERT_NE(texture->atlasParent, nullptr) << path;
            EXPECT_EQ(texture->drawWidth(), e.width) << path;
            EXPECT_EQ(texture->drawHeight(), e.height) << path;
            char* page = nullptr;
            int32_t pageSize = 0;
            ASSERT_TRUE(resourceLoadFile(texture->atlasParent->path, &page, &pageSize)) << texture->atlasParent->path;
            EXPECT_NE(pngSize(std::string(page, static_cast<size_t>(pageSize))).first, 0);
            delete[] page;
        }
    }
    resourceShutdown();
}

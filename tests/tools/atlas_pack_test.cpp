// glint-tool atlas pack: pages and description checked from the outside
// (pages decoded, the description parsed here) and through the engine's own
// atlas loading.
#include "engine/images/image_buffer.h"
#include "engine/images/image_handler.h"
#include "scene/registry_fixture.h"
#include "support/test_support.h"
#include "tools/atlas_entries.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>
#include <vector>

using namespace glint;
using namespace glint::test;
namespace fs = std::filesystem;

namespace {

struct Pixels {
    int width = 0, height = 0;
    std::vector<uint32_t> data; // 0xAARRGGBB; opaque when the file has no alpha
    uint32_t at(int x, int y) const { return data[static_cast<size_t>(y) * width + x]; }
};

Pixels decodePng(const fs::path& path) {
    std::string png = readFile(path);
    KImageInfo info;
    Pixels pixels;
    if (!imageHandlerForFormat(K_IMAGE_PNG)->decode(png.data(), png.size(), &info, true)) {
        ADD_FAILURE() << "cannot decode " << path;
        return pixels;
    }
    pixels.width = static_cast<int>(info.width);
    pixels.height = static_cast<int>(info.height);
    pixels.data.assign(imagePixelBuffer, imagePixelBuffer + info.width * info.height);
    if (!info.hasAlpha)
        for (uint32_t& p : pixels.data) p |= 0xFF000000u;
    return pixels;
}

using Entry = AtlasEntry;

std::vector<Entry> readDescription(const fs::path& path) { return readAtlasEntries(readFile(path)); }

CommandResult pack(const std::string& arguments) {
    return runCommand(shellQuote(toolPath()) + " atlas pack " + arguments);
}

// A picture that differs in every direction, so that a flipped, shifted or
// clipped copy shows; "alpha" adds a half-transparent corner.
void makeImage(const fs::path& path, int width, int height, bool alpha = false) {
    std::string size = std::to_string(width) + "x" + std::to_string(height);
    std::string w = std::to_string(width - 1), h = std::to_string(height - 1);
    std::string command = "convert -size " + size;
    if (width > 1 && height > 1)
        command += " xc: -sparse-color bilinear '0,0 red " + w + ",0 lime 0," + h + " blue " + w + "," + h + " white'";
    else // a line has no corners to blend between
        command += " xc:'rgb(90,30,160)'";
    if (alpha)
        command += " -alpha set -fill 'rgba(250,200,40,0.5)' -draw 'rectangle 0,0 " + std::to_string(width / 3) +
                   "," + std::to_string(height / 3) + "'";
    command += " -strip " + std::string(alpha ? "PNG32:" : "PNG24:") + shellQuote(path.string());
    CommandResult made = runCommand(command);
    ASSERT_EQ(made.status, 0) << made.err;
}

std::string pageFile(const std::string& base, int page) {
    char suffix[16];
    std::snprintf(suffix, sizeof suffix, "_%02d.png", page);
    return base + suffix;
}

bool overlapWithPadding(const Entry& a, const Entry& b, int padding) {
    return a.page == b.page && a.x < b.x + b.width + padding && b.x < a.x + a.width + padding &&
           a.y < b.y + b.height + padding && b.y < a.y + a.height + padding;
}

class AtlasPack : public ::testing::Test {
protected:
    // Images of the given sizes in dir/images, named img_W_H.png.
    std::vector<std::string> images(const std::vector<std::pair<int, int>>& sizes) {
        std::vector<std::string> paths;
        fs::create_directories(dir / "images");
        for (size_t i = 0; i < sizes.size(); ++i) {
            auto [w, h] = sizes[i];
            fs::path path = dir / "images" / ("img_" + std::to_string(w) + "_" + std::to_string(h) + ".png");
            makeImage(path, w, h, i % 2 == 1);
            paths.push_back(path.string());
        }
        return paths;
    }
    static std::string joined(const std::vector<std::string>& paths) {
        std::string all;
        for (const std::string& p : paths) all += " " + shellQuote(p);
        return all;
    }

    // Every entry lies inside its page, keeps the padding from every other
    // and holds exactly its source's pixels.
    void checkPages(const std::string& base, const std::vector<Entry>& entries, int padding, int maxSize) {
        std::map<int, Pixels> pages;
        for (const Entry& e : entries) {
            if (!pages.count(e.page))
                pages[e.page] = decodePng(pageFile(base, e.page));
            const Pixels& page = pages[e.page];
            EXPECT_LE(page.width, maxSize);
            EXPECT_LE(page.height, maxSize);
            EXPECT_GE(e.x, 0);
            EXPECT_GE(e.y, 0);
            EXPECT_LE(e.x + e.width, page.width) << e.name;
            EXPECT_LE(e.y + e.height, page.height) << e.name;
            Pixels source = decodePng(dir / "images" / e.name);
            ASSERT_EQ(source.width, e.width) << e.name;
            ASSERT_EQ(source.height, e.height) << e.name;
            int wrong = 0;
            for (int y = 0; y < e.height; ++y)
                for (int x = 0; x < e.width; ++x) wrong += page.at(e.x + x, e.y + y) != source.at(x, y);
            EXPECT_EQ(wrong, 0) << e.name << " differs from its source in " << wrong << " pixels";
        }
        for (size_t i = 0; i < entries.size(); ++i)
            for (size_t j = i + 1; j < entries.size(); ++j)
                EXPECT_FALSE(overlapWithPadding(entries[i], entries[j], padding))
                    << entries[i].name << " and " << entries[j].name;
        for (const auto& [number, page] : pages) {
            EXPECT_EQ(page.width & (page.width - 1), 0) << "page " << number;
            EXPECT_EQ(page.height & (page.height - 1), 0) << "page " << number;
        }
    }

    TempDir dir;
};

} // namespace

TEST_F(AtlasPack, EveryImageLandsWithItsOwnPixelsOnOnePage) {
    std::vector<std::string> paths = images({{200, 120}, {64, 64}, {30, 90}, {17, 5}, {1, 1}, {150, 40}});
    std::string base = (dir / "images" / "_hall").string();
    CommandResult result = pack(shellQuote(base) + joined(paths));
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_NE(result.out.find("6 images on 1 page"), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("% filled"), std::string::npos) << result.out;

    std::vector<Entry> entries = readDescription(base + ".atlas");
    ASSERT_EQ(entries.size(), 6u);
    for (const Entry& e : entries) EXPECT_EQ(e.page, 0) << e.name;
    checkPages(base, entries, 2, 2048);
    EXPECT_FALSE(fs::exists(pageFile(base, 1)));
    Pixels page = decodePng(pageFile(base, 0));
    EXPECT_LE(page.width * page.height, 512 * 256) << "a small set makes a small page";

    // The same input gives the same files, so that committed outputs only
    // change when their sources do.
    std::string description = readFile(base + ".atlas"), png = readFile(pageFile(base, 0));
    ASSERT_EQ(pack(shellQuote(base) + joined(paths)).status, 0);
    EXPECT_EQ(readFile(base + ".atlas"), description);
    EXPECT_EQ(readFile(pageFile(base, 0)), png);
}

TEST_F(AtlasPack, MoreThanAPageHoldsOpensFurtherPagesAndAFullSizeImageStillFits) {
    std::vector<std::string> paths = images({{40, 40}, {40, 30}, {30, 40}, {64, 64}, {20, 20}, {64, 10}});
    std::string base = (dir / "images" / "_cellar").string();
    CommandResult result = pack(shellQuote(base) + joined(paths) + " --max-size 64 --padding 3");
    ASSERT_EQ(result.status, 0) << result.err;

    std::vector<Entry> entries = readDescription(base + ".atlas");
    ASSERT_EQ(entries.size(), 6u);
    int lastPage = 0;
    for (const Entry& e : entries) lastPage = std::max(lastPage, e.page);
    EXPECT_GE(lastPage, 2) << "64x64 alone fills a page and the rest need more than one";
    EXPECT_NE(result.out.find("on " + std::to_string(lastPage + 1) + " pages"), std::string::npos) << result.out;
    checkPages(base, entries, 3, 64);
}

TEST_F(AtlasPack, NamesAreRelativeToTheRootAndKeepSubfolders) {
    fs::create_directories(dir / "images" / "props");
    makeImage(dir / "images" / "props" / "key.png", 12, 8);
    makeImage(dir / "images" / "door.png", 20, 30);
    fs::create_directories(dir / "out");
    std::string base = (dir / "out" / "_hall").string();
    CommandResult result = pack(shellQuote(base) + " " + shellQuote((dir / "images" / "props" / "key.png").string()) +
                                " " + shellQuote((dir / "images" / "door.png").string()) + " --root " +
                                shellQuote((dir / "images").string()));
    ASSERT_EQ(result.status, 0) << result.err;
    std::vector<std::string> names;
    for (const Entry& e : readDescription(base + ".atlas")) names.push_back(e.name);
    EXPECT_EQ(names, (std::vector<std::string>{"props/key.png", "door.png"}));
    EXPECT_TRUE(fs::exists(pageFile(base, 0)));
}

TEST_F(AtlasPack, BadInputsFailWithAReasonAndWriteNothing) {
    fs::create_directories(dir / "images");
    makeImage(dir / "images" / "ok.png", 16, 16);
    makeImage(dir / "images" / "wide.png", 100, 10);
    makeImage(dir / "images" / "with blank.png", 4, 4);
    writeFile(dir / "images" / "text.png", "not a picture");
    writeFile(dir / "images" / "notes.txt", "hello");
    TempDir elsewhere;
    makeImage(elsewhere / "far.png", 8, 8);
    auto in = [&](const std::string& name) { return shellQuote((dir / "images" / name).string()); };

    struct Case {
        std::string arguments;
        int status;
        std::string message;
    } cases[] = {
        {"", 2, "no images to pack"},
        {in("missing.png"), 1, "cannot read"},
        {in("text.png"), 1, "cannot decode"},
        {in("notes.txt"), 1, "no image extension"},
        {in("wide.png") + " --max-size 64", 1, "is 100x10, larger than a page of 64x64"},
        {shellQuote((elsewhere / "far.png").string()), 1, "does not lie inside"},
        {in("with blank.png"), 1, "cannot name"},
        {in("ok.png") + " " + in("ok.png"), 1, "given twice"},
        {in("ok.png") + " --max-size 100", 2, "power of two"},
        {in("ok.png") + " --max-size 4096", 2, "power of two"},
        {in("ok.png") + " --padding -1", 2, "--padding must be"},
        {in("ok.png") + " --padding", 2, "needs a value"},
        {in("ok.png") + " --shuffle 1", 2, "unknown option"},
    };
    std::string base = (dir / "images" / "_bad").string();
    for (const Case& c : cases) {
        CommandResult result = pack(shellQuote(base) + " " + c.arguments);
        EXPECT_EQ(result.status, c.status) << c.arguments << "\n" << result.err;
        EXPECT_NE(result.err.find(c.message), std::string::npos) << c.arguments << "\n" << result.err;
        EXPECT_FALSE(fs::exists(base + ".atlas")) << c.arguments;
        EXPECT_FALSE(fs::exists(pageFile(base, 0))) << c.arguments;
    }
    CommandResult bare = runCommand(shellQuote(toolPath()) + " atlas");
    EXPECT_EQ(bare.status, 2);
    EXPECT_NE(bare.err.find("usage: glint-tool atlas pack"), std::string::npos) << bare.err;
}

// The engine reads the description the way a game does: the scene's atlas
// beside its content file, with pages in the game's atlas format.
class AtlasPackInEngine : public RegistryFixture {};

TEST_F(AtlasPackInEngine, EverySubTextureResolvesToItsPageAndRectangle) {
    const std::string folder = "data/rooms/study";
    fs::create_directories(game / folder);
    std::vector<std::pair<std::string, std::pair<int, int>>> sources = {
        {"_background.png", {240, 200}}, {"door.png", {90, 180}}, {"desk.png", {160, 70}}, {"key.png", {24, 12}}};
    std::string arguments;
    for (const auto& [name, size] : sources) {
        makeImage(game / folder / name, size.first, size.second, name == "key.png");
        arguments += " " + shellQuote((game / folder / name).string());
    }
    // Small pages, so that the description spans more than one.
    CommandResult result = pack(shellQuote((game / folder / "_study").string()) + arguments + " --max-size 256");
    ASSERT_EQ(result.status, 0) << result.err;
    std::vector<Entry> entries = readDescription(game / folder / "_study.atlas");
    ASSERT_EQ(entries.size(), sources.size());

    const std::string registry = folder + "\n";
    contentFor(registry);
    file("data/game.cfg", "BuildAtlasTexturesExtensions=png\n");
    build(registry);
    engine->scenes.loadAtlases(engine->sceneContext());

    std::map<std::string, std::pair<int, int>> sizes(sources.begin(), sources.end());
    std::map<int, MTexture*> pagesSeen;
    for (const Entry& e : entries) {
        EXPECT_EQ(std::make_pair(e.width, e.height), sizes[e.name]) << e.name;
        std::string path = folder + "/" + e.name;
        MTexture* texture = resources->texture(path.c_str(), false, false);
        ASSERT_NE(texture->atlasParent, nullptr) << path;
        std::string page = folder + "/" + fs::path(pageFile("_study", e.page)).string();
        EXPECT_STREQ(texture->atlasParent->path, page.c_str());
        EXPECT_TRUE(fs::exists(game / page)) << page;
        EXPECT_EQ(texture->atlasX, e.x);
        EXPECT_EQ(texture->atlasY, e.y);
        EXPECT_EQ(texture->drawWidth(), e.width);
        EXPECT_EQ(texture->drawHeight(), e.height);
        EXPECT_EQ(texture->dynamic, 0);
        auto [seen, added] = pagesSeen.emplace(e.page, texture->atlasParent);
        EXPECT_TRUE(added || seen->second == texture->atlasParent) << "one texture per page";
    }
    EXPECT_GE(pagesSeen.size(), 2u);
}

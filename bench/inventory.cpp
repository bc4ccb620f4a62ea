// The inventory with nine panels of 40 items each (a quarter of them with
// counters), headless on Mesa: the inventory's work in one game tick
// against the whole game tick it is part of, and drawing the panels
// against drawing the same item pictures as a plain scene. CPU time for
// each and the shares at the end.
#include "app/application.h"
#include "app/engine.h"
#include "engine/render/gl.h"
#include "engine/render/quad_batch.h"
#include "engine/resources/resource.h"
#include "engine/system/system.h"
#include "engine/window/game_window.h"
#include "game/inventory.h"
#include "scene/scene.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace glint;

constexpr int kWidth = 1024, kHeight = 768;
constexpr int kPanels = 9, kItemsEach = 40, kPictures = 8, kPictureSize = 64;

std::string itemName(int panel, int i) { return "item_p" + std::to_string(panel) + "n" + std::to_string(i); }

// An uncompressed 32-bit TGA of one colour.
void writePicture(const std::filesystem::path& path, uint32_t argb) {
    unsigned char header[18] = {0, 0, 2};
    header[12] = kPictureSize, header[14] = kPictureSize, header[16] = 32, header[17] = 0x28;
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(header), sizeof header);
    for (int i = 0; i < kPictureSize * kPictureSize; ++i)
        out.write(reinterpret_cast<const char*>(&argb), 4);
}

// The panels are stacked up the screen, each with its arrows.
void writeGame(const std::filesystem::path& folder) {
    namespace fs = std::filesystem;
    for (const char* dir : {"data/_interface/loading", "data/_interface/inventory", "data/_interface/hud",
                            "data/_interface/_scripts", "data/_interface/fonts", "data/startup"})
        fs::create_directories(folder / dir);
    std::ofstream(folder / "data/game.cfg")
        << "BuildScreenW=1024\r\nBuildScreenH=768\r\nBuildSupportMScene=1\r\nBuildForLUMO=1\r\n"
           "BuildFontsTexturesExtensions=png\r\ninventory_count=9\r\ninventory_visible_items=8\r\n"
           "inventory_item_size=64\r\ninventory_counter_y=-30\r\n";
    std::ofstream(folder / "data/scenes.cfg")
        << "data/_interface/loading\r\ndata/_interface/inventory\r\ndata/_interface/hud\r\ndata/startup\r\n";
    std::ofstream(folder / "data/_interface/loading/_loading.scene") << "{}";
    std::ofstream(folder / "data/_interface/game.script") << "init {\n  set #force_inventory 1\n}\n";
    std::ofstream(folder / "data/_interface/_scripts/common_all.script") << "";
    std::ofstream(folder / "data/_interface/_scripts/common_all_post.script") << "";
    std::ofstream(folder / "data/startup/_startup.scene") << "{}";
    std::ofstream(folder / "data/startup/startup.script") << "";
    std::string items;
    for (int k = 0; k < kPanels; ++k)
        for (int i = 0; i < kItemsEach; ++i)
            items += std::string(items.empty() ? "" : ", ") + "\"" + itemName(k, i) + "\": {\"I\": [\"picture_" +
                     std::to_string((k + i) % kPictures) + ".tga\"], \"D\": [64, 64]}";
    std::ofstream(folder / "data/_interface/inventory/_inventory.scene") << "{\"elements\": {" << items << "}}";
    std::ofstream(folder / "data/_interface/inventory/inventory.script") << "";
    for (int p = 0; p < kPictures; ++p)
        writePicture(folder / ("data/_interface/inventory/picture_" + std::to_string(p) + ".tga"),
                     0xFF000000u | static_cast<uint32_t>(p * 30) << 16 | 0x8040u);
    std::string anchors, tasks;
    for (int k = 1; k <= kPanels; ++k) {
        std::string y = std::to_string(-340 + k * 76), n = std::to_string(k);
        anchors += std::string(anchors.empty() ? "" : ", ") + "\"inventory_items_0" + n + "\": {\"D\": [640, 70], \"Y\": " + y +
                   "}, \"inventory_left0" + n + "\": {\"D\": [30, 70], \"X\": -340, \"Y\": " + y +
                   "}, \"inventory_right0" + n + "\": {\"D\": [30, 70], \"X\": 340, \"Y\": " + y + "}";
        for (const char* side : {"left", "right"})
            tasks += std::string("action inventory_") + side + "0" + n + " hand $inventory_" + side + "0" + n +
                     " ? {\n  do {\n  }\n}\n";
    }
    std::ofstream(folder / "data/_interface/hud/_hud.scene") << "{\"elements\": {" << anchors << "}}";
    std::ofstream(folder / "data/_interface/hud/hud.script") << tasks;
    for (const auto& font : fs::directory_iterator(GLINT_SOURCE_PATH "/games/demo/data/_interface/fonts"))
        fs::copy_file(font.path(), folder / "data/_interface/fonts" / font.path().filename(),
                      fs::copy_options::overwrite_existing);
}

// The game with its window; every item in its panel, the pointer over the
// first panel.
struct BenchGame {
    std::filesystem::path folder = std::filesystem::temp_directory_path() / "glint_bench_inventory";
    KGameWindow window;
    std::unique_ptr<MApplication> app;
    MEngine* engine = nullptr;

    bool open() {
        writeGame(folder);
        if (!window.create(kWidth, kHeight, kWidth, kHeight, "bench"))
            return false;
        systemInit(folder.c_str());
        resourceInit();
        app = std::make_unique<MApplication>();
        app->userFolder = (folder / "user").string();
        app->startEngine();
        engine = app->engine();
        for (int frame = 0; frame < 200 && engine->phase != 0; ++frame)
            engine->advanceBy(10);
        if (engine->phase != 0)
            return false;
        MInventory& inventory = *engine->inventory;
        for (int k = 0; k < kPanels; ++k) {
            for (int i = 0; i < kItemsEach; ++i) {
                InventoryItem& item = *inventory.findItem(intern(itemName(k, i)));
                item.totalCount = i % 4 == 0 ? 3 : 1;
                inventory.moveToPanel(item, k + 1);
                inventory.changeCount(item, 1, 0, -1);
            }
        }
        engine->input.pointerX = 512, engine->input.pointerY = 80;
        for (int tick = 0; tick < 200; ++tick) // faded in, items lit
            engine->advanceBy(10);
        return true;
    }

    // The inventory's part of a tick: the slide, the click tasks, the
    // panels under the pointer, the inventory tick and the panels' update.
    void inventoryTick() {
        MInventory& inventory = *engine->inventory;
        inventory.stepState(false);
        inventory.updateClickTasks();
        bool consumed = false;
        for (InventoryPanel& panel : inventory.panels)
            consumed = inventory.panelPointer(panel, consumed);
        inventory.tick();
        inventory.updatePanels();
    }

    void drawPanels() {
        window.resetRenderState();
        KQuadBatch::reapply();
        engine->inventory->drawPanels(1);
        KQuadBatch::current()->flush(false);
        glFinish();
    }

    // The same pictures at the same places, as the scene renderer draws
    // the inventory scene's elements.
    void drawScene() {
        window.resetRenderState();
        KQuadBatch::reapply();
        MScene& scene = *engine->scenes.inventory;
        scene.collectLayer(1, 0);
        scene.draw();
        KQuadBatch::current()->flush(false);
        glFinish();
    }
};

BenchGame* game = nullptr;

bool ready(benchmark::State& state) {
    if (!game) {
        game = new BenchGame;
        if (!game->open())
            state.SkipWithError("no GL window or the game did not start");
    }
    return game->engine && game->engine->phase == 0;
}

void BM_GameTick(benchmark::State& state) {
    if (!ready(state))
        return;
    for (auto _ : state)
        game->engine->gameTick();
}
BENCHMARK(BM_GameTick)->Unit(benchmark::kMicrosecond);

void BM_InventoryTick(benchmark::State& state) {
    if (!ready(state))
        return;
    for (auto _ : state)
        game->inventoryTick();
    state.counters["items"] = kPanels * kItemsEach;
}
BENCHMARK(BM_InventoryTick)->Unit(benchmark::kMicrosecond);

void BM_DrawSceneOfItems(benchmark::State& state) {
    if (!ready(state))
        return;
    for (auto _ : state)
        game->drawScene();
}
BENCHMARK(BM_DrawSceneOfItems)->Unit(benchmark::kMicrosecond);

void BM_DrawPanels(benchmark::State& state) {
    if (!ready(state))
        return;
    for (auto _ : state)
        game->drawPanels();
}
BENCHMARK(BM_DrawPanels)->Unit(benchmark::kMicrosecond);

// Keeps the CPU time of each benchmark to print the shares at the end.
class ShareReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
            if (!run.error_occurred && run.iterations > 0)
                cpu[run.benchmark_name()] = run.GetAdjustedCPUTime();
    }
    double of(const char* name) const {
        auto found = cpu.find(name);
        return found == cpu.end() ? 0 : found->second;
    }
    std::map<std::string, double> cpu;
};

} // namespace

int main(int argc, char** argv) {
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    benchmark::Initialize(&argc, argv);
    ShareReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double tick = reporter.of("BM_GameTick"), inventory = reporter.of("BM_InventoryTick");
    const double scene = reporter.of("BM_DrawSceneOfItems"), panels = reporter.of("BM_DrawPanels");
    if (tick > 0 && scene > 0)
        std::printf("%d panels of %d items: inventory %.1f us CPU per tick (the whole tick %.1f us, %.0f%%); "
                    "panels drawn in %.1f us CPU, the same pictures as a scene %.1f us (ratio %.2f)\n",
                    kPanels, kItemsEach, inventory, tick, 100 * inventory / tick, panels, scene, panels / scene);
    if (game) {
        game->app.reset();
        game->window.destroy();
        std::filesystem::remove_all(game->folder);
    }
    benchmark::Shutdown();
    return 0;
}

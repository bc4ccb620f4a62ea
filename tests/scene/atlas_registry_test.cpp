// Every registered scene's atlases, with the page formats of the atlas
// configuration.
#include "registry_fixture.h"

using namespace glint;
using namespace glint::test;

TEST_F(RegistryFixture, EachSceneReadsItsAtlasAndDynamicAtlasWithConfiguredFormats) {
    const std::string lines = "data/s/hall\r\ndata/s/cellar\r\n";
    contentFor(lines);
    file("data/game.cfg", "BuildAtlasTexturesExtensions=png,dds\r\n");
    file("data/atlases.cfg", "data/s/hall=nformat:webp,dynamic_format:jpg\r\n");
    file("data/s/hall/_hall.atlas", "0 door.png 10 20 64 32\n");
    file("data/s/hall/_hall_dynamic.atlas", "0 fire.png 0 0 8 8\n");
    file("data/s/cellar/_cellar.atlas", "3 barrel.png 1 1 2 2\n");
    file("data/_interface/_game.atlas", "0 button.png 0 0 5 5\n");
    build(lines);
    engine->scenes.loadAtlases(engine->sceneContext());

    struct Case {
        const char* texture;
        const char* page;
        int dynamic;
    } cases[] = {
        {"data/s/hall/door.png", "data/s/hall/_hall_00.webp", 0},
        {"data/s/hall/fire.png", "data/s/hall/_hall_dynamic_00.jpg", 1},
        {"data/s/cellar/barrel.png", "data/s/cellar/_cellar_03.png", 0},
        {"data/_interface/button.png", "data/_interface/_game_00.png", 0},
    };
    for (const Case& c : cases) {
        MTexture* texture = resources->texture(c.texture, false, false);
        ASSERT_NE(texture->atlasParent, nullptr) << c.texture;
        EXPECT_STREQ(texture->atlasParent->path, c.page);
        EXPECT_EQ(texture->dynamic, c.dynamic) << c.texture;
    }
}

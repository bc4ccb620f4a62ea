// Atlas descriptions over arbitrary text: each input registers its
// sub-textures in a fresh resource manager, so that lines naming pages and
// images of earlier ones (loops of parents included) stay inside one input.
#include "resource/atlas.h"
#include "resource/resource_manager.h"
#include "resource/text_file.h"

#include <cstdint>
#include <cstdlib>

using namespace glint;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    MTextFile text;
    text.assignText(reinterpret_cast<const char*>(data), static_cast<int32_t>(size), "fuzz.atlas");
    MResourceManager resources;
    addAtlasText(resources, text.data(), "data/s/hall/_hall.atlas", "data/s/hall", "png", size % 2 == 1);
    // No texture may end up among its own parents: acquiring it would
    // never end.
    for (MResource* r = resources.first(); r; r = r->next) {
        if (r->kind != ResourceKind::Texture)
            continue;
        int depth = 0;
        for (const MTexture* t = static_cast<MTexture*>(r)->atlasParent; t; t = t->atlasParent) {
            if (++depth > 100000)
                std::abort();
        }
    }
    return 0;
}

// A downloaded picture in place of an element's image.
#include "engine/render/texture.h"
#include "engine/system/log.h"
#include "resource/texture.h"
#include "scene/element.h"

namespace glint {

// The new pixels go into the texture the element draws, so they show on
// every element that draws the same image file, and they last until that
// texture is loaded again (its scene closed and opened). A rectangle of an
// atlas page is left alone: replacing the page would change every picture
// on it.
void MElement::replacePicture(const KImageInfo& info, const uint32_t* pixels) {
    MTexture* texture = visual ? visual->image.texture : nullptr;
    const char* name = this->name ? this->name->text : "";
    if (!texture || texture->isSubTexture() || !texture->image) {
        debugTrace("WARNING: element %s has no image of its own loaded to show a downloaded picture in", name);
        return;
    }
    KTexture& image = *texture->image;
    const KImageInfo previous = image.info;
    image.info = info;
    if (!image.upload(pixels, info.width, info.height, 0, 0)) {
        image.info = previous;
        debugTrace("WARNING: the downloaded picture of element %s could not be uploaded", name);
    }
}

} // namespace glint

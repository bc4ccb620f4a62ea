#include "resource/texture.h"

namespace glint {

void MTexture::discard() { loaded_ = false; }

void MTexture::load() { loaded_ = true; }

void MTexture::unload() { loaded_ = false; }

} // namespace glint

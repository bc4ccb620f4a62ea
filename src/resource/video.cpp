#include "resource/video.h"

namespace glint {

void MVideo::discard() { loaded_ = false; }

void MVideo::load() { loaded_ = true; }

void MVideo::unload() { loaded_ = false; }

} // namespace glint

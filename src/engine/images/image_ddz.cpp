#include "engine/images/image_ddz.h"

#include "engine/system/log.h"

namespace glint {

bool KImageHandlerDDZ::decode(const void*, size_t, KImageInfo*, bool) {
    return false;
}

bool KImageHandlerDDZ::encode(uint8_t**, size_t*, const KImageInfo*, int) {
    logMessage("DDZ: encoding of DDZ images is not supported yet");
    return false;
}

} // namespace glint

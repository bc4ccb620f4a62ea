// The particle description reader over arbitrary text, and the writer over
// whatever it read; a second read of the written text must succeed too.
#include "resource/particle_description.h"

#include <cstdint>
#include <string>

using namespace glint;

namespace {

void countImage(void* user, const char* spec) {
    for (; *spec; ++spec)
        ++*static_cast<size_t*>(user);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    ParticleDescription description;
    size_t imageBytes = 0;
    readParticleDescription(description, text.data(), countImage, &imageBytes);
    std::string written = writeParticleDescription(description, {});
    ParticleDescription again;
    readParticleDescription(again, written.data());
    return 0;
}

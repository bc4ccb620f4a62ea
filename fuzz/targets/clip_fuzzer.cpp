// A clip of the threaded clip player over arbitrary bytes: the headers and
// the length scan, then decoding steps as a worker takes them, with the
// clock moving, frames asked for, the end reached or gone round, and a
// restart. All on one thread: the scheduling is not what is fuzzed here.
#include "engine/video/theora_clip_decoder.h"
#include "engine/video/theora_log.h"

#include <cstdint>
#include <memory>
#include <vector>

using namespace glint;

namespace {

// Larger pictures only make each run slower; their reading is the same.
constexpr uint32_t kMaxFuzzedPixels = 256 * 256;
constexpr int kSteps = 8;

void decodeStep(TheoraVideoClip& clip) {
    std::lock_guard<std::mutex> hold(clip.threadAccessMutex());
    clip.decodeNextFrame();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool quiet = (setTheoraLogSink([](const std::string&) {}), true);
    (void)quiet;
    auto source = std::make_unique<TheoraMemoryFileDataSource>(std::vector<unsigned char>(data, data + size));
    TheoraVideoClip_Theora clip(std::move(source), 4);
    try {
        clip.load();
    } catch (const TheoraGenericException&) {
        return 0;
    }
    if (clip.width() * clip.height() > kMaxFuzzedPixels)
        return 0;
    clip.setAutoRestart(size % 2 == 1);
    for (int step = 0; step < kSteps; ++step) {
        decodeStep(clip);
        clip.update(0.05f);
        clip.nextFrame();
        clip.isDone();
    }
    clip.restart();
    decodeStep(clip);
    clip.nextFrame();
    return 0;
}

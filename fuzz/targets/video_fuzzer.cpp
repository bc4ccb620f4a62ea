// The Ogg and Theora reader over arbitrary bytes: the headers, the length
// scan, and the first frames decoded and converted both plain and with
// both kinds of alpha, as the video player does on its thread.
#include "engine/system/log.h"
#include "engine/video/theora_stream.h"
#include "engine/video/video_frame.h"
#include "engine/video/video_source.h"

#include <cstdint>
#include <vector>

using namespace glint;

namespace {

// Larger pictures only make each run slower; their reading is the same.
constexpr uint32_t kMaxFuzzedPixels = 256 * 256;
constexpr int kMaxFrames = 6;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    clearMemoryLog();
    KVideoSource source;
    source.openMemory(data, size);
    KTheoraStream stream(source);
    if (stream.readHeaders() != KTheoraHeaders::Ok)
        return 0;
    const th_info& info = stream.info();
    if (info.frame_width * info.frame_height > kMaxFuzzedPixels)
        return 0;
    double duration = stream.scanDuration();
    (void)duration;
    const KVideoFrameLayout layouts[] = {videoFrameLayout(info, false, false), videoFrameLayout(info, true, true)};
    std::vector<uint32_t> pixels;
    KTheoraPicture picture;
    for (int frame = 0; frame < kMaxFrames && stream.decodeFrame(picture); ++frame) {
        for (const KVideoFrameLayout& layout : layouts) {
            pixels.assign(static_cast<size_t>(layout.width) * layout.height, 0);
            convertVideoPicture(info, picture.planes, layout, pixels.data());
        }
    }
    stream.rewind();
    stream.decodeFrame(picture);
    return 0;
}

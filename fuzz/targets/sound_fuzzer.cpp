// The sound file readers over arbitrary bytes: the WAV reader, the whole
// Vorbis decode of a sample, and a stream's reading through the memory
// callbacks with a seek back to the start, as the streaming thread does.
#include "engine/sound/sound_decode.h"

#include <cstdint>

using namespace glint;

namespace {

constexpr int kStreamReads = 16;

void readAsStream(const uint8_t* data, size_t size) {
    KMemoryFile file{data, size, 0};
    OggVorbis_File decoder;
    if (!openVorbis(file, decoder))
        return;
    static char piece[32768];
    for (int i = 0; i < kStreamReads; ++i) {
        int link = 0;
        if (ov_read(&decoder, piece, sizeof piece, 0, 2, 1, &link) <= 0)
            break;
        ov_info(&decoder, link);
    }
    double total = ov_time_total(&decoder, -1);
    if (total > 0)
        ov_time_seek_page(&decoder, total / 2);
    ov_time_seek(&decoder, 0);
    ov_clear(&decoder);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static KSoundScratch scratch;
    KSoundFormat format;
    scratch.clear();
    readWav(data, size, format, scratch);
    scratch.clear();
    decodeVorbis(data, size, format, scratch);
    readAsStream(data, size);
    return 0;
}

#include "engine/sound/sound_decode.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <strings.h>

namespace glint {

namespace {

uint32_t read32(const uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24; }
uint16_t read16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

constexpr size_t kChunkHeader = 8;
constexpr size_t kFmtBytes = 24; // up to and including bits per sample
constexpr int kVorbisPiece = 32768;

size_t memoryRead(void* buffer, size_t size, size_t count, void* source) {
    KMemoryFile& file = *static_cast<KMemoryFile*>(source);
    if (size == 0 || count == 0)
        return 0;
    size_t wanted = count > SIZE_MAX / size ? SIZE_MAX : size * count;
    size_t length = std::min(wanted, file.size - file.position);
    std::memcpy(buffer, file.data + file.position, length);
    file.position += length;
    return length / size;
}

int memorySeek(void* source, ogg_int64_t offset, int whence) {
    KMemoryFile& file = *static_cast<KMemoryFile*>(source);
    ogg_int64_t base = whence == SEEK_CUR ? static_cast<ogg_int64_t>(file.position)
                       : whence == SEEK_END ? static_cast<ogg_int64_t>(file.size)
                                            : 0;
    ogg_int64_t target = 0;
    bool inside = !__builtin_add_overflow(base, offset, &target) && target >= 0 &&
                  target <= static_cast<ogg_int64_t>(file.size);
    file.position = inside ? static_cast<size_t>(target) : file.size;
    return 0;
}

long memoryTell(void* source) { return static_cast<long>(static_cast<KMemoryFile*>(source)->position); }

int memoryClose(void* source) {
    static_cast<KMemoryFile*>(source)->position = 0;
    return 0;
}

} // namespace

bool soundDecoderFor(const char* path, KSoundDecoder& decoder) {
    const char* dot = path ? std::strrchr(path, '.') : nullptr;
    if (!dot)
        return false;
    if (strcasecmp(dot, ".wav") == 0)
        decoder = KSoundDecoder::Wav;
    else if (strcasecmp(dot, ".ogg") == 0)
        decoder = KSoundDecoder::Vorbis;
    else
        return false;
    return true;
}

bool readWav(const uint8_t* data, size_t size, KSoundFormat& format, KSoundScratch& out) {
    if (size < 12 || std::memcmp(data, "RIFF", 4) != 0 || std::memcmp(data + 8, "WAVE", 4) != 0)
        return false;
    size_t limit = std::min<size_t>(size, static_cast<size_t>(read32(data + 4)) + 8);
    bool haveFormat = false, haveData = false;
    for (size_t at = 12; at + kChunkHeader <= limit;) {
        const uint8_t* chunk = data + at;
        size_t length = read32(chunk + 4);
        // A chunk that claims more than the file holds gives what is there.
        size_t present = std::min(length, limit - at - kChunkHeader);
        if (std::memcmp(chunk, "fmt ", 4) == 0) {
            if (present < kFmtBytes - kChunkHeader)
                return false;
            format = pcmFormat(read16(chunk + kChunkHeader + 2), read32(chunk + kChunkHeader + 4),
                               read16(chunk + kChunkHeader + 14));
            haveFormat = true;
        } else if (std::memcmp(chunk, "data", 4) == 0) {
            if (!out.append(chunk + kChunkHeader, present))
                return false;
            haveData = true;
        }
        size_t step = kChunkHeader + length + (length & 1);
        if (step > limit - at)
            break;
        at += step;
    }
    return haveFormat && haveData;
}

ov_callbacks memoryFileCallbacks() { return {memoryRead, memorySeek, memoryClose, memoryTell}; }

bool openVorbis(KMemoryFile& file, OggVorbis_File& decoder) {
    file.position = 0;
    return ov_open_callbacks(&file, &decoder, nullptr, 0, memoryFileCallbacks()) == 0;
}

bool decodeVorbis(const uint8_t* data, size_t size, KSoundFormat& format, KSoundScratch& out) {
    KMemoryFile file{data, size, 0};
    OggVorbis_File decoder;
    if (!openVorbis(file, decoder))
        return false;
    vorbis_info* info = ov_info(&decoder, -1);
    bool ok = info && info->channels > 0 && info->channels <= 255 && info->rate > 0;
    if (ok)
        format = pcmFormat(static_cast<uint16_t>(info->channels), static_cast<uint32_t>(info->rate), 16);
    static char piece[kVorbisPiece];
    while (ok) {
        int link = 0;
        long got = ov_read(&decoder, piece, kVorbisPiece, 0, 2, 1, &link);
        if (got <= 0)
            break;
        // A chained file whose later link has another layout would be
        // played as noise; its first link's PCM is kept.
        vorbis_info* current = ov_info(&decoder, link);
        if (!current || current->channels != info->channels || current->rate != info->rate)
            break;
        ok = out.append(piece, static_cast<size_t>(got));
    }
    ov_clear(&decoder);
    return ok;
}

} // namespace glint

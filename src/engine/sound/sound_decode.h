// Decoding sound files held in memory: RIFF WAV and Ogg Vorbis into PCM
// in the decode buffer, and the vorbisfile callbacks over a memory file.
// Every length is taken from untrusted bytes and bounded by the file and
// by the decode buffer's limit.
#pragma once

#include "engine/sound/sound_format.h"

#include <vorbis/vorbisfile.h>

#include <cstddef>
#include <cstdint>

namespace glint {

enum class KSoundDecoder : uint8_t { Wav = 0, Vorbis = 1 };

// The decoder for a path: ".wav" or ".ogg" after the last ".", in any
// case; false for anything else.
bool soundDecoderFor(const char* path, KSoundDecoder& decoder);

// The PCM of a WAV file appended to out. False when the file is not RIFF
// WAVE, lacks a "fmt " or "data" chunk, or its data exceeds the limit.
bool readWav(const uint8_t* data, size_t size, KSoundFormat& format, KSoundScratch& out);

// A file in memory as vorbisfile reads it.
struct KMemoryFile {
    const uint8_t* data = nullptr;
    size_t size = 0;
    size_t position = 0;
};
ov_callbacks memoryFileCallbacks();

// Opens a Vorbis file in memory; false (nothing to clear) when it is not one.
bool openVorbis(KMemoryFile& file, OggVorbis_File& decoder);

// The whole of an Ogg Vorbis file as 16-bit PCM appended to out, read in
// 32 KiB pieces until the end or an error. False when the file cannot be
// opened or the PCM exceeds the limit.
bool decodeVorbis(const uint8_t* data, size_t size, KSoundFormat& format, KSoundScratch& out);

} // namespace glint

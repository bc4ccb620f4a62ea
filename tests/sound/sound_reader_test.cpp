// The sound file readers and the volume and pan laws.
#include "audio_analysis.h"
#include "engine/sound/sound_decode.h"
#include "engine/sound/sound_tables.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace glint;
using namespace glint::test;

namespace {

std::string le32(uint32_t v) { return std::string{char(v), char(v >> 8), char(v >> 16), char(v >> 24)}; }
std::string le16(uint16_t v) { return std::string{char(v), char(v >> 8)}; }

std::string chunk(const std::string& id, const std::string& body, uint32_t claimed = UINT32_MAX) {
    std::string padded = body.size() % 2 ? body + '\0' : body;
    return id + le32(claimed == UINT32_MAX ? static_cast<uint32_t>(body.size()) : claimed) + padded;
}

std::string fmtChunk(uint16_t channels, uint32_t rate, uint16_t bits) {
    uint16_t align = static_cast<uint16_t>(channels * bits / 8);
    return chunk("fmt ", le16(1) + le16(channels) + le32(rate) + le32(rate * align) + le16(align) + le16(bits));
}

std::string riff(const std::string& chunks, uint32_t claimed = UINT32_MAX) {
    return "RIFF" + le32(claimed == UINT32_MAX ? static_cast<uint32_t>(chunks.size() + 4) : claimed) + "WAVE" + chunks;
}

bool read(const std::string& file, KSoundFormat& format, KSoundScratch& out) {
    return readWav(reinterpret_cast<const uint8_t*>(file.data()), file.size(), format, out);
}

} // namespace

TEST(SoundLaws, VolumeAndPanTables) {
    struct Case {
        const char* what;
        int32_t got, want;
    };
    const Case cases[] = {
        {"volume 0 is silent", volumeMillibels(0), -10000},  {"volume 50", volumeMillibels(50), -831},
        {"volume 100 plays at entry 99", volumeMillibels(100), -12}, {"a negative volume is silent", volumeMillibels(-5), -10000},
        {"pan -100 is the left alone", panMillibels(-100), -10000}, {"pan 0", panMillibels(0), 0},
        {"pan 50", panMillibels(50), 1505},                   {"pan beyond 100 is clamped", panMillibels(300), 10000},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.got, c.want) << c.what;
    KChannelGains right = channelGains(0, panMillibels(50));
    EXPECT_FLOAT_EQ(right.right, 1.0f);
    EXPECT_NEAR(right.left, std::pow(10.0, -1505 / 2000.0), 1e-6);
    EXPECT_EQ(channelGains(-10000, 0).left, 0.0f);
}

TEST(SoundFiles, DecoderIsChosenByExtension) {
    struct Case {
        const char* path;
        bool known;
        KSoundDecoder decoder;
    };
    const Case cases[] = {{"a/b.wav", true, KSoundDecoder::Wav}, {"a/b.OGG", true, KSoundDecoder::Vorbis},
                          {"a.b/c.Ogg", true, KSoundDecoder::Vorbis}, {"a/b.mp3", false, {}},
                          {"a/b", false, {}},                            {"a/b.ogg.bak", false, {}}};
    for (const Case& c : cases) {
        KSoundDecoder decoder{};
        EXPECT_EQ(soundDecoderFor(c.path, decoder), c.known) << c.path;
        if (c.known) {
            EXPECT_EQ(decoder, c.decoder) << c.path;
        }
    }
}

TEST(SoundFiles, WavChunksInAnyOrderAndOddPadding) {
    // "data" before "fmt ", an odd-sized chunk padded to even length
    // between them, and two data chunks whose PCM is joined.
    std::string file = riff(chunk("data", "\x01\x02\x03\x04") + chunk("LIST", "abc") + fmtChunk(2, 22050, 16) +
                            chunk("data", "\x05\x06\x07\x08"));
    KSoundFormat format;
    KSoundScratch out;
    ASSERT_TRUE(read(file, format, out));
    EXPECT_EQ(format.channels, 2);
    EXPECT_EQ(format.rate, 22050u);
    EXPECT_EQ(format.bitsPerSample, 16);
    EXPECT_EQ(format.blockAlign, 4);
    EXPECT_EQ(format.bytesPerSecond, 88200u);
    ASSERT_EQ(out.size(), 8u);
    EXPECT_EQ(std::memcmp(out.data(), "\x01\x02\x03\x04\x05\x06\x07\x08", 8), 0);
}

TEST(SoundFiles, DamagedWavFilesAreBounded) {
    struct Case {
        const char* what;
        std::string file;
        bool loads;
        size_t pcm;
    };
    std::string fmt = fmtChunk(1, 8000, 8);
    const Case cases[] = {
        {"not RIFF", "RIFX" + riff(fmt + chunk("data", "ab")).substr(4), false, 0},
        {"no data chunk", riff(fmt), false, 0},
        {"no fmt chunk", riff(chunk("data", "ab")), false, 0},
        {"fmt chunk too short for its fields", riff(chunk("fmt ", "\x01\x00\x01\x00") + chunk("data", "ab")), false, 0},
        {"data claims more than the file holds", riff(fmt + chunk("data", "abcd", 0x7FFFFFF0)), true, 4},
        {"RIFF size cuts the data chunk short", riff(fmt + chunk("data", "abcdef"), 4 + 24 + 8 + 2), true, 2},
        {"chunk size that wraps the walk", riff(chunk("junk", "", 0xFFFFFFFE) + fmt + chunk("data", "ab")), false, 0},
        {"header only", "RIFF", false, 0},
    };
    for (const Case& c : cases) {
        KSoundFormat format;
        KSoundScratch out;
        EXPECT_EQ(read(c.file, format, out), c.loads) << c.what;
        if (c.loads) {
            EXPECT_EQ(out.size(), c.pcm) << c.what;
        }
    }
}

TEST(SoundFiles, DecodedPcmBeyondFortyMebibytesFails) {
    std::string pcm((40u << 20) + 2, '\x80');
    KSoundFormat format;
    KSoundScratch out;
    EXPECT_FALSE(read(riff(fmtChunk(1, 44100, 8) + chunk("data", pcm)), format, out));
    pcm.resize(40u << 20);
    out.clear();
    EXPECT_TRUE(read(riff(fmtChunk(1, 44100, 8) + chunk("data", pcm)), format, out));
    EXPECT_EQ(out.capacity(), 40u << 20);
}

TEST(SoundFiles, VorbisDecodesToSixteenBitPcm) {
    TempDir dir;
    ASSERT_TRUE(makeTone((dir / "t.ogg").string(), 22050, 1, 16, 0.5, 440));
    std::string file = readFile(dir / "t.ogg");
    KSoundFormat format;
    KSoundScratch out;
    ASSERT_TRUE(decodeVorbis(reinterpret_cast<const uint8_t*>(file.data()), file.size(), format, out));
    EXPECT_EQ(format.channels, 1);
    EXPECT_EQ(format.rate, 22050u);
    EXPECT_EQ(format.bitsPerSample, 16);
    EXPECT_NEAR(static_cast<double>(out.size()), 22050, 64);
    // A file cut in half gives at most what it holds; garbage gives nothing.
    KSoundScratch half;
    decodeVorbis(reinterpret_cast<const uint8_t*>(file.data()), file.size() / 2, format, half);
    EXPECT_LT(half.size(), out.size());
    KSoundScratch none;
    EXPECT_FALSE(decodeVorbis(reinterpret_cast<const uint8_t*>("OggS garbage"), 12, format, none));
}

// The volume and pan laws of the sound output, in hundredths of a decibel,
// and the linear gains the mixer applies for them.
#pragma once

#include <cstdint>

namespace glint {

constexpr int32_t kSilentMillibels = -10000;

// volumeTable[0..100]: entry i attenuates by -100 ln(i/100) / ln(0.92),
// entry 0 is silence.
int32_t soundVolumeTable(int index);
// panTable[-100..100]: positive entries attenuate the left channel,
// negative ones the right.
int32_t soundPanTable(int index);

// What a sound's volume (0 to 100) and pan (-100 to 100) are played at:
// volume 100 plays at entry 99, negative volumes at entry 0.
int32_t volumeMillibels(int volume);
int32_t panMillibels(int pan);

// 10^(mB / 2000); 0 at or below kSilentMillibels.
float millibelGain(int32_t millibels);

// The gains of the two output channels for a volume and a pan.
struct KChannelGains {
    float left = 0, right = 0;
};
KChannelGains channelGains(int32_t volumeMb, int32_t panMb);

} // namespace glint

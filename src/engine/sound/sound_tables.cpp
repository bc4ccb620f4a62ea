#include "engine/sound/sound_tables.h"

#include <algorithm>
#include <cmath>

namespace glint {

namespace {

struct Tables {
    int32_t volume[101];
    int32_t pan[201]; // index + 100

    Tables() {
        volume[0] = kSilentMillibels;
        for (int i = 1; i <= 100; ++i)
            volume[i] = std::max<int32_t>(kSilentMillibels,
                                          static_cast<int32_t>(-100.0 * std::log(i / 100.0) / std::log(0.92)));
        pan[100] = 0;
        for (int k = 1; k <= 100; ++k) {
            int32_t v = 10000;
            if (k < 100)
                v = std::min<int32_t>(10000,
                                      static_cast<int32_t>(100.0 * std::log((100 - k) / 100.0) / std::log(0.954999)));
            pan[100 - k] = -v;
            pan[100 + k] = v;
        }
    }
};

const Tables& tables() {
    static const Tables built;
    return built;
}

} // namespace

int32_t soundVolumeTable(int index) { return tables().volume[std::clamp(index, 0, 100)]; }

int32_t soundPanTable(int index) { return tables().pan[std::clamp(index, -100, 100) + 100]; }

int32_t volumeMillibels(int volume) { return soundVolumeTable(volume < 0 ? 0 : std::min(volume, 99)); }

int32_t panMillibels(int pan) { return soundPanTable(pan); }

float millibelGain(int32_t millibels) {
    if (millibels <= kSilentMillibels)
        return 0;
    return static_cast<float>(std::pow(10.0, millibels / 2000.0));
}

KChannelGains channelGains(int32_t volumeMb, int32_t panMb) {
    float gain = millibelGain(volumeMb);
    KChannelGains gains{gain, gain};
    if (panMb > 0)
        gains.left *= millibelGain(-panMb);
    else if (panMb < 0)
        gains.right *= millibelGain(panMb);
    return gains;
}

} // namespace glint

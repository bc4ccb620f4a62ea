// Keyframe tracks of a visual: one per animated channel, keys ascending in
// time (ticks) with values already in channel units.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace glint {

// A scene file may give a channel at most this many keys.
constexpr int kMaxTrackKeys = 10000;

struct MKeyTrack {
    std::vector<int32_t> times;
    std::vector<float> values;

    int count() const { return static_cast<int>(times.size()); }
};

// Eleven slots in channel order; a slot without keys is no track.
using MKeyTrackTable = std::array<MKeyTrack, 11>;

} // namespace glint

// Keyframe evaluation: what a channel's track says at a time. The clock,
// time control, fades and blends that drive it are MElement's and
// MScene's (element_animate.cpp, element_fade.cpp).
#pragma once

#include "scene/key_track.h"

namespace glint {

// The value of a track at time (ticks): the first value before the first
// key, the idle loop (keys at 0 and later) repeating past the last key,
// and linear between keys, except that opacity steps between close keys
// of very different values and angles turn the short way.
float trackValue(const MKeyTrack& track, int channel, float time);

} // namespace glint

// The pulse a found object makes before it flies to the inventory: six
// eased segments between configured factors, ending at 1.
#pragma once

namespace glint {

class MConfiguration;

struct PulseCurve {
    float factors[7] = {1, 1, 1, 1, 1, 1, 1}; // f0 to f6; f6 is always 1
    float ends[7] = {0, 50, 100, 150, 200, 250, 300}; // e0 to e6, in ticks

    // "hud_pre_picking_factor_0" to "_5" and "hud_pre_picking_time_1" to "_6".
    static PulseCurve fromConfiguration(const MConfiguration& gameConfig);
    // The factor at x ticks.
    float value(float x) const;
};

} // namespace glint

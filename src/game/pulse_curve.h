// The pulse a found object makes before it flies to the inventory, and the
// wobble of the inventory's items as it slides in: six eased segments
// between configured factors, ending at 1.
#pragma once

namespace glint {

class MConfiguration;

struct PulseCurve {
    float factors[7] = {1, 1, 1, 1, 1, 1, 1}; // f0 to f6; f6 is always 1
    float ends[7] = {0, 50, 100, 150, 200, 250, 300}; // e0 to e6, in ticks

    // "hud_pre_picking_factor_0" to "_5" and "hud_pre_picking_time_1" to "_6".
    static PulseCurve fromConfiguration(const MConfiguration& gameConfig);
    // The same keys with other prefixes: factorKey + "0" to "5" (default 1)
    // and timeKey + "1" to "6" (seconds, default 0.5).
    static PulseCurve fromKeys(const MConfiguration& gameConfig, const char* factorKey, const char* timeKey);
    // The factor at x ticks.
    float value(float x) const;
};

} // namespace glint

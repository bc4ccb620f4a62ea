#include "game/pulse_curve.h"

#include <string>

#include "resource/configuration.h"
#include "scene/element_geometry.h"
#include "script/symbol.h"

namespace glint {

PulseCurve PulseCurve::fromConfiguration(const MConfiguration& config) {
    return fromKeys(config, "hud_pre_picking_factor_", "hud_pre_picking_time_");
}

PulseCurve PulseCurve::fromKeys(const MConfiguration& config, const char* factorKey, const char* timeKey) {
    PulseCurve curve;
    for (int i = 0; i < 6; ++i)
        curve.factors[i] = config.getFloat(intern(factorKey + std::to_string(i)), 1);
    for (int i = 1; i <= 6; ++i)
        curve.ends[i] = curve.ends[i - 1] + config.getFloat(intern(timeKey + std::to_string(i)), 0.5f) * 100;
    return curve;
}

float PulseCurve::value(float x) const {
    for (int i = 1; i <= 6; ++i) {
        if (x > ends[i])
            continue;
        float length = ends[i] - ends[i - 1];
        if (length <= 0)
            return factors[i]; // an empty segment jumps to its end
        float ease = (1 - tableSinCos(180 * (x - ends[i - 1]) / length).cos) / 2;
        return factors[i - 1] + (factors[i] - factors[i - 1]) * ease;
    }
    return 1;
}

} // namespace glint

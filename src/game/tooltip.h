// The tooltip: a line of text on a stretched background picture that types
// itself out within 50 ticks. The pointer shows it for what it hovers, and
// the inventory for an item just picked up.
#pragma once

#include <cstdint>
#include <string>

namespace glint {

class KText;
class MElement;

struct TooltipStyle {
    KText* font = nullptr;       // "hud_tooltip_font"; none draws nothing
    MElement* back = nullptr;    // "hud_tooltip_back" of the "gui_images" scene
    float fontScale = 1;         // BuildGlobalFontScaling
    float screenW = 640, screenH = 480;
};

// Draws text at (x, y) with its first ticks x max(length, 10) / 50
// characters and the opacity; clamp keeps it inside the game area.
void drawTooltip(const TooltipStyle& style, float x, float y, const std::string& text, int32_t ticks, float opacity,
                 bool clamp);

} // namespace glint

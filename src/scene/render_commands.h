// The script commands that draw and measure with the scene renderer:
// render_text, render_image, get_text_w and get_text_h.
#pragma once

namespace glint {

// Points the keywords at their callbacks (after registerBuiltinCommands).
void registerRenderCommands();

} // namespace glint

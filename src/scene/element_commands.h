// The script commands that drive scene elements. The script layer registers
// their keywords as pending; the scene layer, which knows the element
// model, puts its callbacks in their place.
#pragma once

namespace glint {

// Re-registers show, hide, move, set_z, rotate, blend, set_image,
// set_size, check_hit, get_image_w, get_image_h, set_text_align,
// set_text_props, set_hover, start, stop and reset; call it after
// registerBuiltinCommands.
void registerElementCommands();
// Re-registers emit, set_ps_option, get_ps_option and save_ps.
void registerParticleCommands();

} // namespace glint

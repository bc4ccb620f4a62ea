// The scripts' options screen: set_option_* write the option cells,
// check_fullscreen_mode applies the full-screen option now, load_options and
// save_options read and write "options.cfg".
#pragma once

namespace glint {

class MApplication;

// Points the commands at their callbacks (after registerBuiltinCommands);
// they act on app's options until unregistered with null.
void registerOptionCommands(MApplication* app);

} // namespace glint

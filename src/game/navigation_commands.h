// The script commands goto, open and close, served by the running game's
// navigation.
#pragma once

namespace glint {

class MNavigation;

// Points the keywords at their callbacks (after registerBuiltinCommands);
// the commands act on navigation until it is unregistered with null.
void registerNavigationCommands(MNavigation* navigation);

} // namespace glint

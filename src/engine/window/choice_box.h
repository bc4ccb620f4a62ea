// A modal box over the game window with a title, a message and buttons:
// how the desktop presents the alerts scripts raise.
#pragma once

#include <string>
#include <vector>

namespace glint {

// Blocks until the player picks a button; returns its index (Return picks
// the first, Escape the last), or -1 when no box could be shown (logged).
// Without labels the box has one button "OK".
int showChoiceBox(const std::string& title, const std::string& message, const std::vector<std::string>& labels);

} // namespace glint

// The localization keys a script's text writes as constants: the key of
// get_local_text and has_local_text, and the title, message and button
// labels of show_alert. Keys held in variables are only known at run time.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace glint {

struct ScriptKeyUse {
    int line = 0; // 1-based
    std::string key;
};

std::vector<ScriptKeyUse> scanScriptKeys(std::string_view text);

} // namespace glint

// Alerts that scripts queue with show_alert: one a tick, in a box over the
// game. The button the player picks calls its function without arguments.
// A headless run has nobody to ask and takes the first button.
#include "app/application.h"
#include "app/engine.h"

#include "engine/system/log.h"
#include "engine/window/choice_box.h"
#include "engine/window/game_window.h"
#include "script/interpreter.h"
#include "script/script_system.h"
#include "text/localization.h"

namespace glint {

namespace {

// The localized text of a key, else the key itself.
std::string localizedOrKey(const Symbol* key) {
    if (!key)
        return {};
    const char* text = localizedText(key);
    return text ? text : key->text;
}

} // namespace

void MEngine::presentAlert() {
    if (script_->alerts.empty())
        return;
    AlertRecord alert = script_->alerts.take();
    std::vector<std::string> labels;
    for (const AlertButton& button : alert.buttons)
        labels.push_back(localizedOrKey(button.label));
    std::string title = localizedOrKey(alert.title);
    int chosen = 0;
    if (!app.driver) {
        chosen = showChoiceBox(title, localizedOrKey(alert.message), labels);
        if (KGameWindow* window = app.window())
            window->resetTiming(); // the time the box waited is no game time
    }
    logMessage("System: alert %d \"%s\" answered with button %d", alert.number, title.c_str(), chosen + 1);
    if (chosen < 0 || chosen >= static_cast<int>(alert.buttons.size()) || alert.buttons[chosen].function.isNone())
        return;
    ScriptSystem& s = *script_;
    callValue(alert.buttons[chosen].function, s.stack + s.top, 0);
}

} // namespace glint

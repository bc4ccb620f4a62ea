#include "engine/window/choice_box.h"

#include "engine/system/log.h"
#include "engine/window/cursor_mode.h"
#include "engine/window/game_window.h"
#include "engine/window/system_cursor.h"

#include <SDL.h>

namespace glint {

int showChoiceBox(const std::string& title, const std::string& message, const std::vector<std::string>& labels) {
    std::vector<std::string> texts = labels.empty() ? std::vector<std::string>{"OK"} : labels;
    std::vector<SDL_MessageBoxButtonData> buttons(texts.size());
    for (size_t i = 0; i < texts.size(); ++i) {
        buttons[i].buttonid = static_cast<int>(i);
        buttons[i].text = texts[i].c_str();
        buttons[i].flags = (i == 0 ? SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT : 0) |
                           (i + 1 == texts.size() ? SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT : 0);
    }
    KGameWindow* window = KGameWindow::current();
    SDL_MessageBoxData box{};
    box.flags = SDL_MESSAGEBOX_INFORMATION;
    box.window = window ? window->sdlWindow() : nullptr;
    box.title = title.c_str();
    box.message = message.c_str();
    box.numbuttons = static_cast<int>(buttons.size());
    box.buttons = buttons.data();
    // The drawn pointer does not move while the box waits.
    if (drawnCursorMode())
        showSystemCursor();
    int chosen = -1;
    if (SDL_ShowMessageBox(&box, &chosen) != 0) {
        logMessage("System: cannot show the alert \"%s\": %s, WARNING", title.c_str(), SDL_GetError());
        chosen = -1;
    }
    if (drawnCursorMode())
        hideSystemCursor();
    return chosen;
}

} // namespace glint

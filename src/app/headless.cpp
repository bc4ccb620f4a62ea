#include "app/headless.h"

#include "app/engine.h"

#include "engine/images/image_buffer.h"
#include "engine/images/image_handler.h"
#include "engine/render/gl.h"
#include "engine/render/render_state.h"
#include "engine/system/log.h"
#include "engine/window/game_window.h"
#include "engine/window/key_map.h"
#include "resource/file_util.h"

#include <SDL.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <sstream>
#include <string_view>
#include <thread>

namespace glint {

namespace {

bool parseButton(const std::string& name, int& button) {
    if (name == "left" || name == "right") {
        button = name == "left" ? 0 : 1;
        return true;
    }
    return false;
}

// One line's verb and arguments; click and key expand to two entries.
bool parseLine(int frame, const std::string& verb, std::istringstream& rest, std::vector<ScriptedInput>& out,
               std::string& problem) {
    ScriptedInput input;
    input.frame = frame;
    input.verb = verb;
    std::string word, extra;
    if (verb == "move" || verb == "click") {
        if (!(rest >> input.x >> input.y)) {
            problem = verb + " needs X Y";
            return false;
        }
        if (verb == "click") {
            out.push_back({frame, "move", input.x, input.y, 0, {}});
            out.push_back({frame, "down", 0, 0, 0, {}});
            out.push_back({frame + 1, "up", 0, 0, 0, {}});
            return true;
        }
    } else if (verb == "down" || verb == "up") {
        if (!(rest >> word) || !parseButton(word, input.button)) {
            problem = verb + " needs left or right";
            return false;
        }
    } else if (verb == "key") {
        int virtualKey = 0, sdlKey = 0;
        if (!(rest >> input.text) || !scriptedKey(input.text, virtualKey, sdlKey)) {
            problem = "unknown key '" + input.text + "'";
            return false;
        }
        out.push_back({frame, "keydown", 0, 0, 0, input.text});
        out.push_back({frame + 1, "keyup", 0, 0, 0, input.text});
        return true;
    } else if (verb == "text") {
        std::getline(rest >> std::ws, input.text);
        if (input.text.empty()) {
            problem = "text needs a string";
            return false;
        }
        return out.push_back(input), true;
    } else if (verb == "focus") {
        if (!(rest >> input.text) || (input.text != "lost" && input.text != "gained")) {
            problem = "focus needs lost or gained";
            return false;
        }
    } else if (verb == "shot" || verb == "save" || verb == "load") {
        if (!(rest >> input.text)) {
            problem = verb + " needs a path";
            return false;
        }
    } else if (verb != "quit") {
        problem = "unknown verb '" + verb + "'";
        return false;
    }
    if (rest >> extra) {
        problem = "unexpected '" + extra + "'";
        return false;
    }
    out.push_back(input);
    return true;
}

SDL_Event keyEvent(Uint32 type, int sdlKey, Uint32 windowId) {
    SDL_Event event{};
    event.key.type = type;
    event.key.windowID = windowId;
    event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym.sym = sdlKey;
    event.key.keysym.scancode = SDL_GetScancodeFromKey(sdlKey);
    return event;
}

Uint32 windowId() {
    KGameWindow* window = KGameWindow::current();
    return window && window->sdlWindow() ? SDL_GetWindowID(window->sdlWindow()) : 0;
}

} // namespace

bool scriptedKey(const std::string& name, int& virtualKey, int& sdlKey) {
    struct Named {
        const char* name;
        int virtualKey;
        int sdlKey;
    };
    static const Named named[] = {
        {"escape", vk::Escape, SDLK_ESCAPE}, {"space", vk::Space, SDLK_SPACE}, {"return", vk::Return, SDLK_RETURN},
        {"tab", vk::Tab, SDLK_TAB},          {"backspace", vk::Back, SDLK_BACKSPACE}, {"left", vk::Left, SDLK_LEFT},
        {"right", vk::Right, SDLK_RIGHT},    {"up", vk::Up, SDLK_UP},                 {"down", vk::Down, SDLK_DOWN},
    };
    for (const Named& key : named) {
        if (name == key.name) {
            virtualKey = key.virtualKey;
            sdlKey = key.sdlKey;
            return true;
        }
    }
    if (name.size() == 1 && name[0] >= 'a' && name[0] <= 'z') {
        virtualKey = vk::LetterA + (name[0] - 'a');
        sdlKey = SDLK_a + (name[0] - 'a');
        return true;
    }
    if (name.size() == 1 && name[0] >= '0' && name[0] <= '9') {
        virtualKey = vk::Digit0 + (name[0] - '0');
        sdlKey = SDLK_0 + (name[0] - '0');
        return true;
    }
    if (name.size() >= 2 && name[0] == 'f') {
        int number = std::atoi(name.c_str() + 1);
        if (number >= 1 && number <= 12 && name == "f" + std::to_string(number)) {
            virtualKey = vk::F1 + number - 1;
            sdlKey = SDLK_F1 + number - 1;
            return true;
        }
    }
    return false;
}

bool parseInputScript(const std::string& text, std::vector<ScriptedInput>& out, std::string& error) {
    std::istringstream lines(text);
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number) {
        line = line.substr(0, line.find('#'));
        std::istringstream words(line);
        std::string frameText, verb;
        if (!(words >> frameText))
            continue;
        char* end = nullptr;
        long frame = std::strtol(frameText.c_str(), &end, 10);
        std::string problem;
        if (*end || frame < 1 || frame > 1000000000)
            problem = "frame numbers count from 1, not '" + frameText + "'";
        else if (!(words >> verb))
            problem = "a verb must follow the frame";
        else
            parseLine(static_cast<int>(frame), verb, words, out, problem);
        if (!problem.empty()) {
            error = "line " + std::to_string(number) + ": " + problem;
            return false;
        }
    }
    return true;
}

namespace {

// Shot paths count from the folder the player was started in: the player
// moves into the game's folder before the first frame.
std::string fromStartFolder(const std::string& path) {
    std::error_code error;
    std::filesystem::path absolute = std::filesystem::absolute(path, error);
    return error ? path : absolute.string();
}

} // namespace

HeadlessDriver::HeadlessDriver(const PlayerOptions& options, std::vector<ScriptedInput> inputs)
    : frames_(options.frames), frameMs_(options.frameMs) {
    const char* audio = std::getenv("SDL_AUDIODRIVER");
    paced_ = audio && std::string_view(audio) == "disk";
    for (ScriptedInput& input : inputs) {
        if (input.verb == "shot") {
            shots_.emplace(input.frame, fromStartFolder(input.text));
            continue;
        }
        if (input.verb == "save" || input.verb == "load")
            input.text = fromStartFolder(input.text);
        inputs_.emplace(input.frame, std::move(input));
    }
    for (const ShotRequest& shot : options.shots)
        shots_.emplace(shot.frame, fromStartFolder(shot.path));
}

void HeadlessDriver::beginFrame(int frame) {
    now_ += frameMs_;
    renderState.pixelsUnseen = !drawsEveryFrame && shots_.count(frame) == 0;
    if (paced_)
        waitForRealTime(frame);
    auto [first, last] = inputs_.equal_range(frame);
    for (auto it = first; it != last; ++it)
        play(it->second);
}

// A captured mix plays in real time: frames wait for the wall clock, so
// that what is heard matches the game time (a slow machine only stretches
// it).
void HeadlessDriver::waitForRealTime(int frame) {
    auto now = std::chrono::steady_clock::now();
    if (frame <= 1)
        pacingStart_ = now;
    std::this_thread::sleep_until(pacingStart_ + std::chrono::milliseconds(static_cast<int64_t>(frame - 1) * frameMs_));
}

void HeadlessDriver::play(const ScriptedInput& input) {
    SDL_Event event{};
    Uint32 window = windowId();
    if (input.verb == "move") {
        pointerX_ = input.x;
        pointerY_ = input.y;
        event.motion = {SDL_MOUSEMOTION, 0, window, 0, 0, input.x, input.y, 0, 0};
    } else if (input.verb == "down" || input.verb == "up") {
        bool down = input.verb == "down";
        buttons_[input.button] = down;
        event.button.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
        event.button.windowID = window;
        event.button.button = input.button == 0 ? SDL_BUTTON_LEFT : SDL_BUTTON_RIGHT;
        event.button.state = down ? SDL_PRESSED : SDL_RELEASED;
        event.button.clicks = 1;
        event.button.x = pointerX_;
        event.button.y = pointerY_;
    } else if (input.verb == "keydown" || input.verb == "keyup") {
        int virtualKey = 0, sdlKey = 0;
        scriptedKey(input.text, virtualKey, sdlKey);
        bool down = input.verb == "keydown";
        if (down)
            keys_.insert(virtualKey);
        else
            keys_.erase(virtualKey);
        event = keyEvent(down ? SDL_KEYDOWN : SDL_KEYUP, sdlKey, window);
    } else if (input.verb == "text") {
        // A text event holds at most 31 bytes; longer texts come in pieces,
        // as an input method sends them.
        for (size_t at = 0; at < input.text.size();) {
            size_t length = std::min<size_t>(input.text.size() - at, SDL_TEXTINPUTEVENT_TEXT_SIZE - 1);
            while (at + length < input.text.size() && length > 0 &&
                   (static_cast<unsigned char>(input.text[at + length]) & 0xC0) == 0x80)
                --length; // never split a character
            SDL_Event piece{};
            piece.text.type = SDL_TEXTINPUT;
            piece.text.windowID = window;
            std::memcpy(piece.text.text, input.text.data() + at, length);
            SDL_PushEvent(&piece);
            at += length;
        }
        return;
    } else if (input.verb == "focus") {
        event.window.type = SDL_WINDOWEVENT;
        event.window.windowID = window;
        event.window.event = input.text == "gained" ? SDL_WINDOWEVENT_FOCUS_GAINED : SDL_WINDOWEVENT_FOCUS_LOST;
    } else if (input.verb == "quit") {
        quit_ = true;
        return;
    } else if (input.verb == "save" || input.verb == "load") {
        saveOrLoad(input);
        return;
    }
    SDL_PushEvent(&event);
}

// The game state as a profile file, written or read between two frames.
void HeadlessDriver::saveOrLoad(const ScriptedInput& input) {
    MEngine* engine = app ? app->engine() : nullptr;
    bool ok = engine && (input.verb == "save" ? engine->writeProfileFile(input.text)
                                              : engine->readProfileFile(input.text, true) == 0);
    if (!ok) {
        std::fprintf(stderr, "headless: %s %s failed at frame %d\n", input.verb.c_str(), input.text.c_str(),
                     input.frame);
        ++failedSaves_;
    }
}

void HeadlessDriver::pointer(int* x, int* y) {
    *x = pointerX_;
    *y = pointerY_;
}

bool HeadlessDriver::finished(int frame) { return quit_ || (frames_ > 0 && frame >= frames_); }

void HeadlessDriver::framePresented(int frame, KGameWindow& window) {
    auto [first, last] = shots_.equal_range(frame);
    for (auto it = first; it != last; ++it)
        writeShot(window, it->second);
}

void HeadlessDriver::writeShot(KGameWindow& window, const std::string& path) {
    int width = window.viewportWidth, height = window.viewportHeight;
    if (!imageFitsPixelBuffer("Shot", width, height)) {
        ++failedShots_;
        return;
    }
    std::vector<uint32_t> rows(static_cast<size_t>(width) * height);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(window.viewportX, window.viewportY, width, height, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, rows.data());
    // GL rows run bottom to top; the surface has no alpha of its own.
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            imagePixelBuffer[static_cast<size_t>(y) * width + x] =
                rows[static_cast<size_t>(height - 1 - y) * width + x] | 0xFF000000u;
    }
    KImageInfo info;
    info.width = static_cast<uint32_t>(width);
    info.height = static_cast<uint32_t>(height);
    info.hasAlpha = 1;
    info.isUncompressed = 1;
    uint8_t* png = nullptr;
    size_t size = 0;
    std::FILE* file = nullptr;
    bool written = imageHandlerForFormat(K_IMAGE_PNG)->encode(&png, &size, &info, 0) &&
                   (file = openFileUtf8(path.c_str(), "wb")) && std::fwrite(png, 1, size, file) == size;
    if (file && std::fclose(file) != 0)
        written = false;
    delete[] png;
    if (!written) {
        logMessage("Headless: cannot write the shot '%s', ERROR", path.c_str());
        ++failedShots_;
    }
}

bool runDriven(HeadlessDriver& driver, bool streaming) {
    MApplication app;
    app.build.streaming = streaming;
    app.chooseIdentity();
    app.driver = &driver;
    app.frameClock = &driver;
    driver.app = &app;
    setInputSource(&driver);
    bool ran = app.run();
    setInputSource(nullptr);
    driver.app = nullptr;
    renderState.pixelsUnseen = false;
    return ran;
}

} // namespace glint

#include "app/command_line.h"

#include <cerrno>
#include <cstdlib>

namespace glint {

const char* const kPlayerUsage =
    "usage: glint [GAME_DIR] [-streaming] [--headless [--frames N] [--frame-ms MS] [--input FILE] "
    "[--shot FRAME:PATH]...]\n       glint check GAME_DIR [--strict]\n       glint prove GAME_DIR [--input FILE] [--steps N] "
    "[--shots DIR]\n       glint --help | --version";

const char* const kProveUsage = "usage: glint prove GAME_DIR [--input FILE] [--steps N] [--shots DIR]";

namespace {

bool positiveNumber(const std::string& text, int& out) {
    if (text.empty() || text[0] == '-' || text[0] == '+')
        return false;
    char* end = nullptr;
    errno = 0;
    long value = std::strtol(text.c_str(), &end, 10);
    if (*end || errno || value <= 0 || value > 1000000000)
        return false;
    out = static_cast<int>(value);
    return true;
}

bool parseShot(const std::string& text, ShotRequest& shot) {
    size_t colon = text.find(':');
    return colon != std::string::npos && positiveNumber(text.substr(0, colon), shot.frame) &&
           !(shot.path = text.substr(colon + 1)).empty();
}

} // namespace

bool asksForHelp(const std::vector<std::string>& arguments) {
    for (const std::string& argument : arguments) {
        if (argument == "--help" || argument == "-h")
            return true;
    }
    return false;
}

bool parsePlayerArguments(const std::vector<std::string>& arguments, PlayerOptions& options, std::string& error) {
    bool headlessOption = false;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= arguments.size()) {
                error = argument + " needs a value";
                return false;
            }
            out = arguments[++i];
            return true;
        };
        std::string text;
        if (argument == "-streaming") {
            options.streaming = true;
        } else if (argument == "--headless") {
            options.headless = true;
        } else if (argument == "--frames" || argument == "--frame-ms") {
            if (!value(text))
                return false;
            if (!positiveNumber(text, argument == "--frames" ? options.frames : options.frameMs)) {
                error = argument + " takes a positive number, not '" + text + "'";
                return false;
            }
            headlessOption = true;
        } else if (argument == "--input") {
            if (!value(options.inputFile))
                return false;
            headlessOption = true;
        } else if (argument == "--shot") {
            ShotRequest shot;
            if (!value(text))
                return false;
            if (!parseShot(text, shot)) {
                error = "--shot takes FRAME:PATH, not '" + text + "'";
                return false;
            }
            options.shots.push_back(shot);
            headlessOption = true;
        } else if (!argument.empty() && argument[0] == '-') {
            error = "unknown option '" + argument + "'";
            return false;
        } else if (options.gameDir.empty()) {
            options.gameDir = argument;
        } else {
            error = "more than one game folder given";
            return false;
        }
    }
    if (headlessOption && !options.headless) {
        error = "--frames, --frame-ms, --input and --shot need --headless";
        return false;
    }
    return true;
}

bool parseProveArguments(const std::vector<std::string>& arguments, ProveOptions& options, std::string& error) {
    options.player.headless = true;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        const bool takesValue = argument == "--input" || argument == "--steps" || argument == "--shots";
        if (takesValue && i + 1 >= arguments.size()) {
            error = argument + " needs a value";
            return false;
        }
        if (argument == "--input") {
            options.player.inputFile = arguments[++i];
        } else if (argument == "--shots") {
            options.shotsDir = arguments[++i];
        } else if (argument == "--steps") {
            const std::string& text = arguments[++i];
            if (!positiveNumber(text, options.steps)) {
                error = "--steps takes a positive number, not '" + text + "'";
                return false;
            }
        } else if (!argument.empty() && argument[0] == '-') {
            error = "unknown option '" + argument + "'";
            return false;
        } else if (options.player.gameDir.empty()) {
            options.player.gameDir = argument;
        } else {
            error = "more than one game folder given";
            return false;
        }
    }
    if (options.player.gameDir.empty()) {
        error = "the game folder is missing";
        return false;
    }
    return true;
}

} // namespace glint

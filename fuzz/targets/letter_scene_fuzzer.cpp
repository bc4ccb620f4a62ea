// The letter-coded scene reader over arbitrary text, and the JSON it
// converts to, which must always be a JSON document.
#include <rapidjson/document.h>

#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "scene/letter_scene.h"
#include "scene/letter_scene_json.h"

using namespace glint;

// "name*N" makes N copies of an object, up to the scene's element cap. The
// copies are one element repeated, and the cap has a test of its own, but
// inputs asking for thousands of copies would take most of a run's time:
// counts above 64 are left out here.
static bool asksForManyCopies(std::string_view text) {
    for (size_t star = text.find('*'); star != std::string_view::npos; star = text.find('*', star + 1)) {
        size_t digits = star + 1;
        int value = 0;
        while (digits < text.size() && std::isdigit(static_cast<unsigned char>(text[digits])) && value <= 64)
            value = value * 10 + (text[digits++] - '0');
        if (value > 64)
            return true;
    }
    return false;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    if (asksForManyCopies(text))
        return 0;
    LetterSceneSettings settings;
    settings.sceneName = "fuzz";
    settings.language = "en";
    size_t messages = 0;
    settings.report = [&messages](LetterMessage, const std::string& message) { messages += message.size(); };
    LetterScene scene = readLetterScene(text.c_str(), text.size(), settings);
    LetterSceneJson json = letterSceneToJson(scene);
    rapidjson::Document document;
    document.Parse<rapidjson::kParseIterativeFlag>(json.json.c_str(), json.json.size());
    if (document.HasParseError())
        std::abort();
    return 0;
}

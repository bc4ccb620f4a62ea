// The letter-coded scene reader over arbitrary text, and the JSON it
// converts to, which must always be a JSON document.
#include <rapidjson/document.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "scene/letter_scene.h"
#include "scene/letter_scene_json.h"

using namespace glint;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
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

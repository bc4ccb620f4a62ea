// The letter-coded form of a scene file: one record per line, a letter and
// its argument. An "O" line opens an element and the lines after it fill
// its size, flags, image, text, wave, polygons and keyframes up to its "."
// line; "C"/"c" lines build groups and "p" lines link parents by position.
//
// readLetterScene turns the text into plain records without touching a
// scene, so that the same reading serves the loader (scene_letter.cpp) and
// the converter to JSON (letter_scene_json.cpp). Every count is bounded:
// arguments are cut at 255 bytes, tracks hold at most kMaxTrackKeys keys,
// a visual at most 100 polygons of at most 100 points, and a file at most
// kMaxSceneElements elements.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "scene/element_polygon.h"
#include "scene/element_visual.h"
#include "scene/key_track.h"

namespace glint {

// The longest argument a line keeps; further bytes are dropped.
constexpr size_t kMaxLetterArgument = 255;

// A polygon as the file gives it: count points, of which the first
// points.size() have been read (the rest are zero). y is stored negated.
struct LetterPolygon {
    PolygonKind kind = PolygonKind::Hotspot;
    int count = 0;
    std::vector<PolygonPoint> points;
};

// What the file gives an element's visual; copies share it.
struct LetterVisual {
    uint16_t switches = kVisualInheritAll; // inherit and wave-pin bits only
    float width = 0, height = 0;           // as written: the camera rule is the loader's
    bool widthGiven = false, heightGiven = false;
    // Hint offsets (pixels x 16) from W lines, and which of them a W line
    // set after the polygons last put the hint on their centre.
    int16_t hintOffsetX = 0, hintOffsetY = 0;
    bool hintSetX = false, hintSetY = false;
    std::vector<LetterPolygon> polygons;
    // The last declared polygon was completed: the loader grows and
    // measures them as it does for JSON polygons.
    bool polygonsFinished = false;
    uint8_t waveColumns = 0, waveRows = 0;
    float waveSpeedX = 1.0f, waveAmountX = 0.5f;
    float waveSpeedY = 1.0f, waveAmountY = 0.5f;
    std::vector<std::string> imageSpecs; // I lines in order
    MKeyTrackTable tracks;
    float startTime = 0, loopTime = 0; // seconds
    int copyCount = 0;
};

struct LetterElement {
    std::string name;
    int visual = 0; // index into LetterScene::visuals
    float pivotX = 0.5f, pivotY = 0.5f;
    uint8_t blendMode = 0;
    uint8_t font = 0;
    uint8_t textAlign = 17;
    uint8_t textColor[3] = {255, 255, 255};
    bool outline = false;
    std::optional<std::string> textKey;
    float channels[11] = {0, 0, 0, 1, 1, 0, 1, 1, 1, 1, 1};
};

struct LetterGroup {
    std::string name;
    std::vector<int> members; // element indices, in the order of the c lines
};

// "slot:+chest": the scene chest copied under the element slot.
struct LetterInstance {
    std::string element;
    std::string scene;
};

struct LetterScene {
    std::vector<LetterElement> elements; // creation order, copies included
    std::vector<LetterVisual> visuals;
    std::vector<LetterGroup> groups;
    // p lines in order: (child, parent) element indices; the loader applies
    // them with setParent, which never closes a loop.
    std::vector<std::pair<int, int>> parentLinks;
    std::vector<std::string> subScenes; // "+attic": the scene attic under root
    std::vector<LetterInstance> instances;
};

enum class LetterMessage { Trace, ScriptError };

struct LetterSceneSettings {
    std::string_view sceneName; // names the scene in messages
    std::string_view language;  // "" or the language code: "door#en"
    // Receives the diagnostics in file order; may be empty.
    std::function<void(LetterMessage, const std::string&)> report;
};

LetterScene readLetterScene(const char* text, size_t size, const LetterSceneSettings& settings);

} // namespace glint

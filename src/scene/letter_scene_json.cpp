#include "scene/letter_scene_json.h"

#include <rapidjson/prettywriter.h>
#include <rapidjson/stringbuffer.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <optional>

#include "resource/line_reader.h"
#include "resource/number.h"
#include "scene/letter_scene.h"

namespace glint {

namespace {

using Writer = rapidjson::PrettyWriter<rapidjson::StringBuffer>;

// JSON scenes nest children at most this deep.
constexpr int kMaxJsonDepth = 256;

struct ChannelKey {
    const char* name;
    double scale; // what the JSON reader multiplies by
};

constexpr ChannelKey kChannels[11] = {{"X", 1},         {"Y", 1},         {"Z", 1},         {"Sx", 0.01},
                                      {"Sy", 0.01},     {"An", 1},        {"A", 1},         {"R", 1.0 / 255},
                                      {"G", 1.0 / 255}, {"B", 1.0 / 255}, {"Em", 1}};
constexpr float kChannelDefaults[11] = {0, 0, 0, 1, 1, 0, 1, 1, 1, 1, 1};

// The image fields of the I lines, later lines overriding what they give.
struct ImageFields {
    std::string path;
    double fps = 0;
    int firstFrame = 0;
    int delay = 0;                         // ticks
    double frameWidth = 1, frameHeight = 1; // fractions of the image
};

std::optional<ImageFields> imageFields(const std::vector<std::string>& specs) {
    std::optional<ImageFields> fields;
    for (const std::string& spec : specs) {
        std::string text = spec;
        MTokenReader tokens(text.data());
        if (!tokens.next())
            continue;
        if (!fields)
            fields.emplace();
        fields->path = tokens.token;
        if (!tokens.next()) // the blend mode is the element's
            continue;
        if (tokens.next())
            fields->fps = parseNumber(tokens.token);
        if (tokens.next())
            fields->firstFrame = static_cast<int>(std::clamp<long long>(std::llround(parseNumber(tokens.token)), 0, 255));
        if (tokens.next()) {
            double ticks = std::clamp(static_cast<double>(parseNumber(tokens.token)) * 100.0, -32767.0, 32767.0);
            fields->delay = static_cast<int>(std::llround(ticks));
        }
        if (tokens.next())
            fields->frameWidth = parseNumber(tokens.token);
        if (tokens.next())
            fields->frameHeight = parseNumber(tokens.token);
    }
    return fields;
}

// setParent on positions: a parent already under the child lets go of it.
void setParent(std::vector<int>& parents, int child, int parent) {
    if (parents[static_cast<size_t>(child)] == parent)
        return;
    parents[static_cast<size_t>(child)] = parent;
    for (int above = parent; above >= 0 && above != child; above = parents[static_cast<size_t>(above)]) {
        if (parents[static_cast<size_t>(above)] == child) {
            parents[static_cast<size_t>(above)] = -1;
            break;
        }
    }
}

class JsonSceneWriter {
public:
    explicit JsonSceneWriter(const LetterScene& scene) : scene_(scene), writer_(buffer_) {
        writer_.SetIndent(' ', 2);
        writer_.SetFormatOptions(rapidjson::kFormatSingleLineArray);
    }

    LetterSceneJson write() {
        std::vector<int> parents(scene_.elements.size(), -1);
        for (const auto& [child, parent] : scene_.parentLinks)
            setParent(parents, child, parent);
        children_.assign(scene_.elements.size(), {});
        std::vector<int> top;
        for (size_t i = 0; i < parents.size(); ++i) {
            if (parents[i] < 0)
                top.push_back(static_cast<int>(i));
            else
                children_[static_cast<size_t>(parents[i])].push_back(static_cast<int>(i));
        }

        writer_.StartObject();
        writer_.Key("elements");
        writer_.StartObject();
        for (int index : top)
            element(index, 0);
        // Children nested deeper than JSON allows stand at the top instead.
        for (size_t i = 0; i < deferred_.size(); ++i)
            element(deferred_[i], 0);
        writer_.EndObject();
        if (!scene_.groups.empty())
            groups();
        writer_.EndObject();

        for (const std::string& name : scene_.subScenes)
            result_.extraConfig.push_back("scene:root=" + name);
        for (const LetterInstance& instance : scene_.instances)
            result_.extraConfig.push_back("instance:" + instance.element + "=" + instance.scene);
        result_.json = std::string(buffer_.GetString(), buffer_.GetSize()) + "\n";
        return std::move(result_);
    }

private:
    void warn(const LetterElement& element, const std::string& what) {
        result_.warnings.push_back("element " + element.name + ": " + what);
    }

    // JSON has no infinities: a number too large for a float stays the
    // largest float, and what is not a number is 0.
    // value is stored as a float that the JSON reader makes by multiplying
    // by scale: the shortest decimal that gives it back is written.
    void number(double value, double scale = 1) {
        if (std::isnan(value))
            value = 0;
        value = std::clamp(value, -3.4028234663852886e38, 3.4028234663852886e38);
        const float stored = static_cast<float>(value * scale);
        char text[64];
        int length = 0;
        bool found = false;
        for (int decimals = 0; decimals <= 9 && !found; ++decimals) {
            length = std::snprintf(text, sizeof text, "%.*f", decimals, value);
            found = static_cast<float>(std::strtod(text, nullptr) * scale) == stored;
        }
        if (!found)
            length = std::snprintf(text, sizeof text, "%.17g", value);
        writer_.RawValue(text, static_cast<size_t>(length), rapidjson::kNumberType);
    }

    void element(int index, int depth) {
        const LetterElement& source = scene_.elements[static_cast<size_t>(index)];
        const LetterVisual& visual = scene_.visuals[static_cast<size_t>(source.visual)];
        writer_.Key(source.name.c_str(), static_cast<rapidjson::SizeType>(source.name.size()));
        writer_.StartObject();
        image(source, visual);
        if ((visual.switches & kVisualInheritAll) != kVisualInheritAll) {
            std::string flags = "0,0,0,0,0";
            flags[4] = visual.switches & kVisualInheritAngle ? '1' : '0';
            flags[6] = visual.switches & kVisualInheritScaleX ? '1' : '0';
            flags[8] = visual.switches & kVisualInheritScaleY ? '1' : '0';
            writer_.Key("F");
            writer_.String(flags.c_str());
        }
        // Only the sizes given: the camera takes the screen's for a zero.
        size_t sizes = source.pivotX != 0.5f || source.pivotY != 0.5f ? 4
                       : visual.heightGiven                             ? 2
                       : visual.widthGiven                              ? 1
                                                                        : 0;
        if (sizes > 0) {
            const float values[] = {visual.width, visual.height, source.pivotX, source.pivotY};
            writer_.Key("D");
            writer_.StartArray();
            for (size_t i = 0; i < sizes; ++i)
                number(values[i]);
            writer_.EndArray();
        }
        channels(source, visual);
        wave(visual);
        text(source);
        polygons(source, visual);
        const std::vector<int>& children = children_[static_cast<size_t>(index)];
        if (!children.empty()) {
            if (depth >= kMaxJsonDepth) {
                warn(source, "its children are nested deeper than JSON scenes allow and lose it as parent");
                deferred_.insert(deferred_.end(), children.begin(), children.end());
            } else {
                writer_.Key("C");
                writer_.StartObject();
                for (int child : children)
                    element(child, depth + 1);
                writer_.EndObject();
            }
        }
        writer_.EndObject();
    }

    void image(const LetterElement& source, const LetterVisual& visual) {
        std::optional<ImageFields> fields = imageFields(visual.imageSpecs);
        if (!fields) {
            if (source.blendMode != 0) {
                writer_.Key("i");
                writer_.Int(source.blendMode);
            }
            return;
        }
        writer_.Key("I");
        writer_.StartArray();
        writer_.String(fields->path.c_str(), static_cast<rapidjson::SizeType>(fields->path.size()));
        writer_.Int(source.blendMode);
        number(fields->fps);
        writer_.Int(fields->firstFrame);
        writer_.Int(fields->delay);
        number(fields->frameWidth);
        number(fields->frameHeight);
        writer_.EndArray();
    }

    void channels(const LetterElement& source, const LetterVisual& visual) {
        float start = 0, loop = 0;
        for (size_t channel = 0; channel < 11; ++channel) {
            const MKeyTrack& track = visual.tracks[channel];
            const double scale = kChannels[channel].scale;
            if (track.count() > 0) {
                writer_.Key(kChannels[channel].name);
                writer_.StartArray();
                for (int k = 0; k < track.count(); ++k) {
                    writer_.StartArray();
                    writer_.Int(track.times[static_cast<size_t>(k)]);
                    number(track.values[static_cast<size_t>(k)] / scale, scale);
                    writer_.EndArray();
                }
                writer_.EndArray();
                auto [smallest, largest] = std::minmax_element(track.times.begin(), track.times.end());
                start = std::max(start, -std::min(0.0f, static_cast<float>(*smallest)) / 100.0f);
                loop = std::max(loop, std::max(0.0f, static_cast<float>(*largest)) / 100.0f);
                if (track.values.front() != source.channels[channel])
                    warn(source, std::string("channel ") + kChannels[channel].name +
                                     " rests elsewhere than its first key, which JSON cannot say");
            } else if (source.channels[channel] != kChannelDefaults[channel]) {
                writer_.Key(kChannels[channel].name);
                number(source.channels[channel] / scale, scale);
            }
        }
        if (start != visual.startTime || loop != visual.loopTime)
            warn(source, "its start and loop times follow from keys that no track holds, which JSON cannot say");
    }

    void wave(const LetterVisual& visual) {
        const uint16_t pins = kVisualWavePinFirstColumn | kVisualWavePinLastColumn | kVisualWavePinFirstRow |
                              kVisualWavePinLastRow;
        if (visual.waveColumns == 0 && visual.waveRows == 0 && visual.waveSpeedX == 1.0f &&
            visual.waveAmountX == 0.5f && visual.waveSpeedY == 1.0f && visual.waveAmountY == 0.5f &&
            (visual.switches & pins) == 0)
            return;
        writer_.Key("S");
        writer_.StartArray();
        writer_.Int(visual.waveColumns);
        number(visual.waveSpeedX);
        number(visual.waveAmountX);
        writer_.Int(visual.waveRows);
        number(visual.waveSpeedY);
        number(visual.waveAmountY);
        // The JSON order of the pins puts the last row before the first.
        for (uint16_t pin : {kVisualWavePinFirstColumn, kVisualWavePinLastColumn, kVisualWavePinLastRow,
                             kVisualWavePinFirstRow})
            writer_.Int(visual.switches & pin ? 1 : 0);
        writer_.EndArray();
    }

    void text(const LetterElement& source) {
        bool white = source.textColor[0] == 255 && source.textColor[1] == 255 && source.textColor[2] == 255;
        if (source.font != 0 || source.textAlign != 17 || !white || source.outline) {
            writer_.Key("T");
            writer_.StartArray();
            writer_.Int(source.font);
            writer_.Int(source.textAlign);
            for (uint8_t colour : source.textColor)
                writer_.Int(colour);
            writer_.Int(source.outline ? 1 : 0);
            writer_.EndArray();
        }
        if (source.textKey) {
            writer_.Key("Tk");
            writer_.String(source.textKey->c_str(), static_cast<rapidjson::SizeType>(source.textKey->size()));
        }
    }

    void polygons(const LetterElement& source, const LetterVisual& visual) {
        bool hotspot = false;
        for (const char* key : {"Hs", "As"}) {
            PolygonKind kind = key[0] == 'H' ? PolygonKind::Hotspot : PolygonKind::Exclusion;
            bool opened = false;
            for (const LetterPolygon& polygon : visual.polygons) {
                if (polygon.kind != kind)
                    continue;
                if (!opened) {
                    writer_.Key(key);
                    writer_.StartArray();
                    opened = true;
                }
                hotspot = hotspot || kind == PolygonKind::Hotspot;
                writer_.StartArray();
                for (int i = 0; i < polygon.count; ++i) {
                    PolygonPoint point = static_cast<size_t>(i) < polygon.points.size()
                                             ? polygon.points[static_cast<size_t>(i)]
                                             : PolygonPoint{};
                    writer_.StartArray();
                    number(point.x);
                    number(-point.y);
                    writer_.EndArray();
                }
                writer_.EndArray();
            }
            if (opened)
                writer_.EndArray();
        }
        if (!visual.polygons.empty() && !visual.polygonsFinished)
            warn(source, "its polygons are incomplete; the JSON form grows and measures them");

        // JSON finishes the polygons after the last of them, putting the hint
        // on their centre when one is a hotspot; Hh written after them wins.
        const bool letterCentre = visual.polygonsFinished && hotspot;
        int axes = 0;
        if (letterCentre)
            axes = visual.hintSetY ? 2 : visual.hintSetX ? 1 : 0;
        else if (hotspot || visual.hintOffsetX != 0 || visual.hintOffsetY != 0)
            axes = 2;
        if (axes == 0)
            return;
        writer_.Key("Hh");
        writer_.StartArray();
        number(visual.hintOffsetX / 16.0);
        if (axes == 2)
            number(visual.hintOffsetY / 16.0);
        writer_.EndArray();
    }

    void groups() {
        writer_.Key("groups");
        writer_.StartObject();
        for (const LetterGroup& group : scene_.groups) {
            writer_.Key(group.name.c_str(), static_cast<rapidjson::SizeType>(group.name.size()));
            writer_.StartArray();
            for (int member : group.members) {
                const std::string& name = scene_.elements[static_cast<size_t>(member)].name;
                writer_.String(name.c_str(), static_cast<rapidjson::SizeType>(name.size()));
            }
            writer_.EndArray();
        }
        writer_.EndObject();
    }

    const LetterScene& scene_;
    rapidjson::StringBuffer buffer_;
    Writer writer_;
    std::vector<std::vector<int>> children_;
    std::vector<int> deferred_;
    LetterSceneJson result_;
};

} // namespace

LetterSceneJson letterSceneToJson(const LetterScene& scene) { return JsonSceneWriter(scene).write(); }

} // namespace glint

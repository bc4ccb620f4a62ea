#include "scene/scene_element_keys.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <string>
#include <string_view>
#include <vector>

#include "app/application.h"
#include "resource/resource_manager.h"
#include "scene/element.h"
#include "scene/scene.h"
#include "scene/scene_loader.h"
#include "script/script_error.h"
#include "script/symbol.h"
#include "script/value.h"

namespace glint {

namespace {

using Json = rapidjson::Value;

struct ChannelKey {
    std::string_view name;
    int channel;
    double scale;
};

constexpr ChannelKey kChannelKeys[] = {
    {"X", kChannelX, 1},           {"Y", kChannelY, 1},          {"Z", kChannelZ, 1},
    {"An", kChannelAngle, 1},      {"A", kChannelAlpha, 1},      {"Em", kChannelEmission, 1},
    {"Sx", kChannelScaleX, 0.01},  {"Sy", kChannelScaleY, 0.01}, {"R", kChannelRed, 1.0 / 255},
    {"G", kChannelGreen, 1.0 / 255}, {"B", kChannelBlue, 1.0 / 255},
};

const ChannelKey* channelKey(std::string_view name) {
    for (const ChannelKey& key : kChannelKeys)
        if (key.name == name)
            return &key;
    return nullptr;
}

// Element i of an array as a number, or fallback when it is missing or not one.
double number(const Json& array, rapidjson::SizeType i, double fallback = 0) {
    return array.IsArray() && i < array.Size() && array[i].IsNumber() ? array[i].GetDouble() : fallback;
}

bool has(const Json& array, rapidjson::SizeType i) { return array.IsArray() && i < array.Size(); }

uint8_t byteIn(double value, int low, int high) {
    return static_cast<uint8_t>(std::clamp<int64_t>(roundToInteger(value), low, high));
}

// Frames across (or down) from a frame's fraction of the image.
uint8_t frameCells(double fraction) {
    if (!(fraction > 0))
        return 1;
    return byteIn(1.0 / fraction, 1, 255);
}

int32_t keyTime(double time) {
    if (!(time > INT32_MIN && time < INT32_MAX))
        return std::isnan(time) ? 0 : time < 0 ? INT32_MIN : INT32_MAX;
    return static_cast<int32_t>(std::trunc(time));
}

int16_t sixteenths(double pixels) {
    return static_cast<int16_t>(std::clamp<int64_t>(roundToInteger(pixels * 16.0), -32767, 32767));
}

void setKind(MElementVisual& visual, uint16_t flag, bool on) {
    visual.kindFlags = on ? (visual.kindFlags | flag) : (visual.kindFlags & ~flag);
}

} // namespace

ElementKey elementKeyOf(const char* name, size_t length) {
    if (length == 1) {
        switch (name[0]) {
        case 'I': return ElementKey::Image;
        case 'i': return ElementKey::Blend;
        case 'F': return ElementKey::Flags;
        case 'D': return ElementKey::Dimensions;
        case 'S': return ElementKey::Wave;
        case 'T': return ElementKey::Text;
        case 'C': return ElementKey::Children;
        case 'X': case 'Y': case 'Z': case 'A': case 'R': case 'G': case 'B': return ElementKey::Channel;
        default: return ElementKey::None;
        }
    }
    if (length != 2)
        return ElementKey::None;
    std::string_view key(name, 2);
    if (key == "Tk")
        return ElementKey::TextKey;
    if (key == "Hs")
        return ElementKey::Hotspots;
    if (key == "As")
        return ElementKey::Exclusions;
    if (key == "Hh")
        return ElementKey::HintOffset;
    return channelKey(key) ? ElementKey::Channel : ElementKey::None;
}

void ElementKeyReader::apply(ElementKey key, const Json& value, const char* name, size_t length) {
    if (!element_)
        return;
    switch (key) {
    case ElementKey::Image: image(value); break;
    case ElementKey::Blend:
        if (value.IsNumber())
            element_->blendMode = byteIn(value.GetDouble(), 0, 255);
        break;
    case ElementKey::Flags: flags(value); break;
    case ElementKey::Dimensions: dimensions(value); break;
    case ElementKey::Channel: {
        const ChannelKey* channelOf = channelKey(std::string_view(name, length));
        channel(channelOf->channel, channelOf->scale, value);
        break;
    }
    case ElementKey::Wave: wave(value); break;
    case ElementKey::Text: text(value); break;
    case ElementKey::TextKey:
        if (value.IsString())
            element_->members.set(sym::text_key(),
                                  Value::fromSymbol(intern(std::string_view(value.GetString(), value.GetStringLength()))));
        break;
    case ElementKey::Hotspots: polygons(0, value); break;
    case ElementKey::Exclusions: polygons(1, value); break;
    case ElementKey::HintOffset: hintOffset(value); break;
    case ElementKey::Children:
    case ElementKey::None: break;
    }
}

void ElementKeyReader::image(const Json& value) {
    if (!value.IsArray() || value.Empty() || !value[0].IsString())
        return;
    std::string path(value[0].GetString(), value[0].GetStringLength());
    if (path.find('/') == std::string::npos)
        path = std::string(scene_.folder->view()) + "/" + path;
    MImageAnim& image = element_->visual->image;
    image.texture = context_.resources.texture(path.c_str(), false, false);
    if (has(value, 1))
        element_->blendMode = byteIn(number(value, 1), 0, 255);
    if (has(value, 2))
        image.fps = static_cast<float>(number(value, 2));
    if (has(value, 3))
        image.firstFrame = byteIn(number(value, 3), 0, 255);
    if (has(value, 4))
        image.delay = static_cast<int32_t>(std::clamp<int64_t>(roundToInteger(number(value, 4)), INT32_MIN, INT32_MAX));
    if (has(value, 5))
        image.columns = frameCells(number(value, 5));
    if (has(value, 6))
        image.rows = frameCells(number(value, 6));
}

// Positions 4, 6 and 8 of "a,b,c,d,e": the inherit-angle, inherit-scale-x
// and inherit-scale-y switches.
void ElementKeyReader::flags(const Json& value) {
    if (!value.IsString())
        return;
    std::string_view text(value.GetString(), value.GetStringLength());
    auto on = [&](size_t at) { return at < text.size() && text[at] == '1'; };
    MElementVisual& visual = *element_->visual;
    setKind(visual, kVisualInheritAngle, on(4));
    setKind(visual, kVisualInheritScaleX, on(6));
    setKind(visual, kVisualInheritScaleY, on(8));
}

void ElementKeyReader::dimensions(const Json& value) {
    if (!value.IsArray())
        return;
    MElementVisual& visual = *element_->visual;
    const bool camera = element_->name == sym::camera();
    const GameSettings& settings = context_.app.settings;
    if (has(value, 0)) {
        visual.width = static_cast<float>(number(value, 0));
        if (camera && visual.width < 0.001f)
            visual.width = settings.screenW;
    }
    if (has(value, 1)) {
        visual.height = static_cast<float>(number(value, 1));
        if (camera && visual.height < 0.001f)
            visual.height = settings.screenH;
    }
    if (has(value, 2))
        element_->pivotX = static_cast<float>(number(value, 2));
    if (has(value, 3))
        element_->pivotY = static_cast<float>(number(value, 3));
}

void ElementKeyReader::channel(int channel, double scale, const Json& value) {
    if (value.IsNumber())
        element_->channels[channel] = static_cast<float>(value.GetDouble() * scale);
    else if (value.IsArray())
        keyframes(channel, scale, value);
}

// A list of [time, value] pairs; times are ticks, truncated.
void ElementKeyReader::keyframes(int channel, double scale, const Json& list) {
    rapidjson::SizeType count = list.Size();
    if (count > static_cast<rapidjson::SizeType>(kMaxTrackKeys)) {
        scriptError("Too much animation keys!");
        count = kMaxTrackKeys;
    }
    MElementVisual& visual = *element_->visual;
    MKeyTrack& track = visual.track(channel);
    track.times.clear();
    track.values.clear();
    track.times.reserve(count);
    track.values.reserve(count);
    for (rapidjson::SizeType i = 0; i < count; ++i) {
        const Json& key = list[i];
        if (!key.IsArray() || key.Size() < 2 || !key[0].IsNumber() || !key[1].IsNumber())
            continue;
        track.times.push_back(keyTime(key[0].GetDouble()));
        track.values.push_back(static_cast<float>(key[1].GetDouble() * scale));
    }
    if (track.times.empty())
        return;
    element_->channels[channel] = track.values.front();
    auto [smallest, largest] = std::minmax_element(track.times.begin(), track.times.end());
    visual.startTime = std::max(visual.startTime, -std::min(0.0f, static_cast<float>(*smallest)) / 100.0f);
    visual.loopTime = std::max(visual.loopTime, std::max(0.0f, static_cast<float>(*largest)) / 100.0f);
}

void ElementKeyReader::wave(const Json& value) {
    if (!value.IsArray())
        return;
    MElementVisual& visual = *element_->visual;
    if (has(value, 0))
        visual.waveColumns = byteIn(number(value, 0), 0, 255);
    if (has(value, 1))
        visual.waveSpeedX = static_cast<float>(number(value, 1));
    if (has(value, 2))
        visual.waveAmountX = static_cast<float>(number(value, 2));
    if (has(value, 3))
        visual.waveRows = byteIn(number(value, 3), 0, 255);
    if (has(value, 4))
        visual.waveSpeedY = static_cast<float>(number(value, 4));
    if (has(value, 5))
        visual.waveAmountY = static_cast<float>(number(value, 5));
    const uint16_t pins[] = {kVisualWavePinFirstColumn, kVisualWavePinLastColumn, kVisualWavePinLastRow,
                             kVisualWavePinFirstRow};
    for (rapidjson::SizeType i = 0; i < 4; ++i)
        if (has(value, 6 + i))
            setKind(visual, pins[i], number(value, 6 + i) >= 1);
}

void ElementKeyReader::text(const Json& value) {
    if (!value.IsArray())
        return;
    if (has(value, 0))
        element_->font = byteIn(number(value, 0), 0, 255);
    if (has(value, 1)) {
        int64_t align = roundToInteger(number(value, 1));
        if (align > 9 && align <= 255)
            element_->textAlign = static_cast<uint8_t>(align);
        else if (align >= 0 && align <= 2)
            element_->textAlign = static_cast<uint8_t>(align == 0 ? 11 : align == 1 ? 22 : 31);
    }
    for (rapidjson::SizeType i = 0; i < 3; ++i)
        if (has(value, 2 + i))
            element_->textColor[i] = byteIn(number(value, 2 + i), 0, 255);
    if (has(value, 5)) {
        bool outline = number(value, 5) != 0;
        element_->flags = outline ? (element_->flags | kElementTextOutline) : (element_->flags & ~kElementTextOutline);
    }
}

// Polygons of [x, y] points; y is stored negated. Points beyond the limit
// are cut off, polygons of fewer than three points dropped.
void ElementKeyReader::polygons(int kind, const Json& value) {
    if (!value.IsArray())
        return;
    MElementVisual& visual = *element_->visual;
    std::vector<PolygonPoint> points;
    for (const Json& polygon : value.GetArray()) {
        if (visual.polygonCount() >= kMaxVisualPolygons)
            break;
        if (!polygon.IsArray())
            continue;
        points.clear();
        for (const Json& point : polygon.GetArray()) {
            if (points.size() >= static_cast<size_t>(kMaxPolygonPoints))
                break;
            if (point.IsArray() && point.Size() >= 2)
                points.push_back({static_cast<float>(number(point, 0)), -static_cast<float>(number(point, 1))});
        }
        visual.addPolygon(kind == 0 ? PolygonKind::Hotspot : PolygonKind::Exclusion, points);
    }
}

void ElementKeyReader::finishPolygons() {
    if (element_ && element_->visual->polygonCount() > 0)
        element_->visual->finalizePolygons(context_.hotspotSizeIncrement);
}

void ElementKeyReader::hintOffset(const Json& value) {
    if (!value.IsArray())
        return;
    MElementVisual& visual = *element_->visual;
    if (has(value, 0))
        visual.hintOffsetX = sixteenths(number(value, 0));
    if (has(value, 1))
        visual.hintOffsetY = sixteenths(number(value, 1));
}

} // namespace glint

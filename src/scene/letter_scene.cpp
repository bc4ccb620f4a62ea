#include "scene/letter_scene.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <unordered_map>

#include "resource/line_reader.h"
#include "resource/number.h"
#include "scene/scene_limits.h"

namespace glint {

namespace {

constexpr int kNoChannel = 11;

bool isBlank(char c) { return static_cast<unsigned char>(c) <= 32; }

bool validNameChar(char c) {
    return c == '/' || c == '_' || (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// An optional "-" and decimal digits; held at the int range rather than
// wrapped, so that a huge count stays huge.
int parseInteger(const char* text) {
    bool negative = *text == '-';
    if (negative)
        ++text;
    long long value = 0;
    for (; *text >= '0' && *text <= '9'; ++text)
        value = std::min<long long>(value * 10 + (*text - '0'), static_cast<long long>(INT_MAX) + 1);
    value = negative ? -value : value;
    return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

int64_t roundHalfAway(double value) {
    if (!(value > -1e15 && value < 1e15))
        return std::isnan(value) ? 0 : value < 0 ? -1000000000000000LL : 1000000000000000LL;
    return static_cast<int64_t>(std::llround(value));
}

uint8_t byteOf(int64_t value) { return static_cast<uint8_t>(std::clamp<int64_t>(value, 0, 255)); }

int16_t sixteenths(float pixels) {
    return static_cast<int16_t>(std::clamp<int64_t>(roundHalfAway(pixels * 16.0), -32767, 32767));
}

void setSwitch(LetterVisual& visual, uint16_t flag, bool on) {
    visual.switches = on ? (visual.switches | flag) : (visual.switches & ~flag);
}

// The blank-separated tokens of an argument, read from a copy of it.
class Tokens {
public:
    explicit Tokens(const std::string& argument) : text_(argument) { reader_.attach(text_.data()); }
    const char* next() { return reader_.next() ? reader_.token : nullptr; }
    int nextInt() { return reader_.nextInt(); }
    std::optional<float> nextNumber() {
        if (const char* token = next())
            return parseNumber(token);
        return std::nullopt;
    }

private:
    std::string text_;
    MTokenReader reader_;
};

class LetterSceneReader {
public:
    explicit LetterSceneReader(const LetterSceneSettings& settings) : settings_(settings) {}

    LetterScene read(const char* text, size_t size) {
        size_t pos = 0;
        while (pos < size) {
            while (pos < size && isBlank(text[pos]))
                ++pos;
            size_t start = pos;
            while (pos < size && text[pos] != '\r' && text[pos] != '\n')
                ++pos;
            // A last line without its line break is not a record.
            if (pos >= size)
                break;
            record(std::string_view(text + start, pos - start));
        }
        return std::move(scene_);
    }

private:
    void report(LetterMessage kind, const std::string& message) {
        if (settings_.report)
            settings_.report(kind, message);
    }

    LetterElement* element() { return element_ < 0 ? nullptr : &scene_.elements[static_cast<size_t>(element_)]; }
    LetterVisual& visual() { return scene_.visuals[static_cast<size_t>(element()->visual)]; }

    void record(std::string_view line) {
        if (line.empty())
            return;
        char letter = line[0];
        line.remove_prefix(1);
        while (!line.empty() && (line[0] == ' ' || line[0] == '\t'))
            line.remove_prefix(1);
        std::string argument(line.substr(0, kMaxLetterArgument));
        switch (letter) {
        case 'V': version_ = parseInteger(argument.c_str()); return;
        case 'O': openObject(argument); return;
        case 'C': currentGroup(argument); return;
        case 'c': addToGroup(argument); return;
        case 'p': parentLink(argument); return;
        default: break;
        }
        if (!element())
            return;
        switch (letter) {
        case '.': endObject(); break;
        case 'D': dimensions(argument); break;
        case 'F': flags(argument); break;
        case 'I': image(argument); break;
        case 'i': element()->blendMode = byteOf(parseInteger(argument.c_str())); break;
        case 'G': text(argument); break;
        case 't': element()->textKey = argument; break;
        case 'T': wave(argument); break;
        case 'W': hintOffset(argument); break;
        case 'q': declarePolygons(argument); break;
        case 'Q': startPolygon(argument); break;
        case 'u': pointX(argument); break;
        case 'v': pointY(argument); break;
        case 'X': channelHeader(0, 1, argument); break;
        case 'Y': channelHeader(1, 1, argument); break;
        case 'Z': channelHeader(2, 1, argument); break;
        case 'R': channelHeader(3, version_ < 1 ? 1 : 0.01, argument); break;
        case 'S': channelHeader(4, version_ < 1 ? 1 : 0.01, argument); break;
        case 'A': channelHeader(5, 1, argument); break;
        case 'B': channelHeader(6, version_ < 1 ? 1 : 0.01, argument); break;
        case 'r': channelHeader(7, 1.0 / 255, argument); break;
        case 'g': channelHeader(8, 1.0 / 255, argument); break;
        case 'b': channelHeader(9, 1.0 / 255, argument); break;
        case 'E': channelHeader(10, 1, argument); break;
        case 'K': key(argument); break;
        default: break;
        }
    }

    // "name", "name#lang", "base*n", "+scene", "element:+scene".
    void openObject(std::string name) {
        element_ = -1;
        minTime_ = maxTime_ = 0;
        channel_ = kNoChannel;
        trackRoom_ = 0;
        firstKey_ = false;
        declaredPolygons_ = startedPolygons_ = 0;
        polygon_ = -1;
        // The corrections belong to the object they were measured on.
        correctionX_ = correctionY_ = 0;

        size_t hash = name.find('#');
        if (hash != std::string::npos) {
            std::string_view language = std::string_view(name).substr(hash + 1);
            if (settings_.language.empty() || language != settings_.language)
                return;
            name.resize(hash);
        }
        int copies = 0;
        size_t star = name.find('*');
        if (star != std::string::npos) {
            copies = parseInteger(name.c_str() + star + 1);
            if (copies == 0)
                return;
            name = name.substr(0, star) + "_01";
        }
        std::optional<std::string> subScene;
        std::optional<LetterInstance> instance;
        size_t plus = name.find('+');
        if (plus != std::string::npos) {
            if (plus == 0) {
                name.erase(0, 1);
                subScene = name;
            } else if (name[plus - 1] == ':') {
                instance = LetterInstance{name.substr(0, plus - 1), name.substr(plus + 1)};
                name = instance->element;
            } else {
                return;
            }
        }
        for (char c : name) {
            if (!validNameChar(c)) {
                char message[400];
                std::snprintf(message, sizeof message, "ERROR: Invalid object name $%.*s:%s - character %c",
                              static_cast<int>(settings_.sceneName.size()), settings_.sceneName.data(),
                              name.c_str(), c);
                report(LetterMessage::Trace, message);
                return;
            }
        }
        if (!roomForElement())
            return;
        scene_.visuals.emplace_back().copyCount = copies;
        LetterElement& created = scene_.elements.emplace_back();
        created.name = std::move(name);
        created.visual = static_cast<int>(scene_.visuals.size()) - 1;
        element_ = static_cast<int>(scene_.elements.size()) - 1;
        names_.emplace(created.name, element_);
        if (subScene)
            scene_.subScenes.push_back(*subScene);
        if (instance)
            scene_.instances.push_back(*instance);
    }

    bool roomForElement() {
        if (scene_.elements.size() < static_cast<size_t>(kMaxSceneElements))
            return true;
        if (!full_) {
            char message[400];
            std::snprintf(message, sizeof message, "Too much elements in scene %.*s",
                          static_cast<int>(settings_.sceneName.size()), settings_.sceneName.data());
            report(LetterMessage::ScriptError, message);
            full_ = true;
        }
        return false;
    }

    // Puts the resting position on whole pixels, then makes the copies
    // base_02 to base_n of a "base*n" object.
    void endObject() {
        LetterElement& object = *element();
        LetterVisual& shared = visual();
        const float corrections[2] = {correctionX_, correctionY_};
        for (int axis = 0; axis < 2; ++axis) {
            object.channels[axis] += corrections[axis];
            for (float& value : shared.tracks[static_cast<size_t>(axis)].values)
                value += corrections[axis];
        }
        correctionX_ = correctionY_ = 0;

        if (shared.copyCount < 2)
            return;
        // The copies are numbered after the element's own name, which the
        // "*" made end in "_01".
        std::string base = object.name;
        if (base.size() >= 3 && base.ends_with("_01"))
            base.resize(base.size() - 3);
        const int copies = shared.copyCount;
        const int source = element_;
        for (int number = 2; number <= copies; ++number) {
            if (!roomForElement())
                return;
            char suffix[16];
            std::snprintf(suffix, sizeof suffix, "_%.2d", number);
            scene_.elements.push_back(copyOf(scene_.elements[static_cast<size_t>(source)], base + suffix));
            names_.emplace(scene_.elements.back().name, static_cast<int>(scene_.elements.size()) - 1);
        }
    }

    // An element copy: the shared visual, the text, pivot and channels;
    // blend mode and parent start afresh.
    static LetterElement copyOf(const LetterElement& source, std::string name) {
        LetterElement copy = source;
        copy.name = std::move(name);
        copy.blendMode = 0;
        copy.parent = -1;
        return copy;
    }

    void dimensions(const std::string& argument) {
        Tokens tokens(argument);
        LetterVisual& target = visual();
        if (auto width = tokens.nextNumber()) {
            target.width = *width;
            target.widthGiven = true;
        }
        if (auto height = tokens.nextNumber()) {
            target.height = *height;
            target.heightGiven = true;
        }
        if (auto pivotX = tokens.nextNumber())
            element()->pivotX = *pivotX;
        if (auto pivotY = tokens.nextNumber())
            element()->pivotY = *pivotY;
    }

    // Characters 4, 6 and 8 of "a b c d e": inherit angle, scale x and
    // scale y; a shorter text leaves the switches it does not reach.
    void flags(const std::string& argument) {
        const uint16_t switches[] = {kVisualInheritAngle, kVisualInheritScaleX, kVisualInheritScaleY};
        for (size_t i = 0; i < 3; ++i) {
            size_t at = 4 + 2 * i;
            if (at >= argument.size())
                break;
            setSwitch(visual(), switches[i], argument[at] == '1');
        }
    }

    // The image spec itself is read by the loader, which knows the scene's
    // folder; its second token is the element's blend mode.
    void image(const std::string& argument) {
        visual().imageSpecs.push_back(argument);
        Tokens tokens(argument);
        if (tokens.next())
            if (const char* blend = tokens.next())
                element()->blendMode = byteOf(roundHalfAway(parseNumber(blend)));
    }

    void text(const std::string& argument) {
        Tokens tokens(argument);
        LetterElement& target = *element();
        target.font = byteOf(tokens.nextInt());
        int align = tokens.nextInt();
        if (align > 9)
            target.textAlign = byteOf(align);
        else if (align >= 0 && align <= 2)
            target.textAlign = static_cast<uint8_t>(align == 0 ? 11 : align == 1 ? 22 : 31);
        for (uint8_t& colour : target.textColor)
            colour = byteOf(roundHalfAway(tokens.nextNumber().value_or(255.0f)));
        target.outline = tokens.nextInt() != 0;
    }

    void wave(const std::string& argument) {
        Tokens tokens(argument);
        LetterVisual& target = visual();
        if (const char* columns = tokens.next())
            target.waveColumns = byteOf(parseInteger(columns));
        if (auto speed = tokens.nextNumber())
            target.waveSpeedX = *speed;
        if (auto amount = tokens.nextNumber())
            target.waveAmountX = *amount;
        if (const char* rows = tokens.next())
            target.waveRows = byteOf(parseInteger(rows));
        if (auto speed = tokens.nextNumber())
            target.waveSpeedY = *speed;
        if (auto amount = tokens.nextNumber())
            target.waveAmountY = *amount;
        const uint16_t pins[] = {kVisualWavePinFirstColumn, kVisualWavePinLastColumn, kVisualWavePinFirstRow,
                                 kVisualWavePinLastRow};
        for (uint16_t pin : pins)
            if (const char* value = tokens.next())
                setSwitch(target, pin, parseInteger(value) >= 1);
    }

    void hintOffset(const std::string& argument) {
        Tokens tokens(argument);
        LetterVisual& target = visual();
        if (auto x = tokens.nextNumber()) {
            target.hintOffsetX = sixteenths(*x);
            target.hintSetX = true;
        }
        if (auto y = tokens.nextNumber()) {
            target.hintOffsetY = sixteenths(*y);
            target.hintSetY = true;
        }
    }

    void declarePolygons(const std::string& argument) {
        declaredPolygons_ = std::clamp(parseInteger(argument.c_str()), 0, kMaxVisualPolygons);
        startedPolygons_ = 0;
        polygon_ = -1;
        visual().polygons.clear();
        visual().polygonsFinished = false;
    }

    void startPolygon(const std::string& argument) {
        if (startedPolygons_ >= declaredPolygons_)
            return;
        Tokens tokens(argument);
        int count = std::min(tokens.nextInt(), kMaxPolygonPoints);
        int kind = tokens.nextInt();
        polygon_ = -1;
        if (count < kMinPolygonPoints) {
            --declaredPolygons_;
            // What was declared may now be complete.
            if (startedPolygons_ == declaredPolygons_ && startedPolygons_ > 0 && lastPolygonComplete())
                finishPolygons();
            return;
        }
        LetterVisual& target = visual();
        target.polygons.push_back({kind == 1 ? PolygonKind::Exclusion : PolygonKind::Hotspot, count, {}});
        ++startedPolygons_;
        polygon_ = static_cast<int>(target.polygons.size()) - 1;
        pendingX_ = 0;
    }

    LetterPolygon* currentPolygon() {
        if (polygon_ < 0)
            return nullptr;
        LetterPolygon& polygon = visual().polygons[static_cast<size_t>(polygon_)];
        return static_cast<int>(polygon.points.size()) < polygon.count ? &polygon : nullptr;
    }

    bool lastPolygonComplete() {
        const std::vector<LetterPolygon>& polygons = visual().polygons;
        return !polygons.empty() && static_cast<int>(polygons.back().points.size()) == polygons.back().count;
    }

    void pointX(const std::string& argument) {
        if (currentPolygon())
            pendingX_ = parseNumber(argument.c_str());
    }

    void pointY(const std::string& argument) {
        LetterPolygon* polygon = currentPolygon();
        if (!polygon)
            return;
        polygon->points.push_back({pendingX_, -parseNumber(argument.c_str())});
        pendingX_ = 0;
        if (static_cast<int>(polygon->points.size()) == polygon->count && startedPolygons_ == declaredPolygons_)
            finishPolygons();
    }

    // The loader grows and measures the polygons; a hotspot among them puts
    // the hint on their centre, over what W lines gave so far.
    void finishPolygons() {
        LetterVisual& target = visual();
        target.polygonsFinished = true;
        bool hotspot = std::any_of(target.polygons.begin(), target.polygons.end(),
                                   [](const LetterPolygon& p) { return p.kind == PolygonKind::Hotspot; });
        if (hotspot)
            target.hintSetX = target.hintSetY = false;
    }

    void channelHeader(int channel, double scale, const std::string& argument) {
        channel_ = channel;
        scale_ = scale;
        firstKey_ = true;
        int count = parseInteger(argument.c_str());
        if (count > kMaxTrackKeys) {
            report(LetterMessage::ScriptError, "Too much animation keys!");
            count = kMaxTrackKeys;
        }
        trackRoom_ = count >= 2 ? count : 0;
        if (trackRoom_) {
            MKeyTrack& track = visual().tracks[static_cast<size_t>(channel)];
            track.times.clear();
            track.values.clear();
        }
    }

    // "t value" or "value" (time 0).
    void key(const std::string& argument) {
        size_t blank = argument.find_first_of(" \t");
        int time = blank == std::string::npos ? 0 : parseInteger(argument.c_str());
        size_t valueAt = blank == std::string::npos ? 0 : argument.find_first_not_of(" \t", blank);
        float x = valueAt == std::string::npos ? 0 : parseNumber(argument.c_str() + valueAt);

        LetterVisual& target = visual();
        minTime_ = std::min(minTime_, time);
        maxTime_ = std::max(maxTime_, time);
        target.startTime = minTime_ < 0 ? static_cast<float>(-static_cast<double>(minTime_)) / 100.0f : 0.0f;
        target.loopTime = static_cast<float>(maxTime_) / 100.0f;
        if (channel_ == kNoChannel)
            return;
        float value = static_cast<float>(x * scale_);
        LetterElement& object = *element();
        if (firstKey_) {
            object.channels[channel_] = value;
            firstKey_ = false;
        }
        if (time <= 0 && channel_ == 0)
            correctionX_ = static_cast<float>(roundHalfAway(value) - static_cast<double>(value));
        if (time <= 0 && channel_ == 1)
            correctionY_ = static_cast<float>(roundHalfAway(value) - static_cast<double>(value));
        MKeyTrack& track = target.tracks[static_cast<size_t>(channel_)];
        if (track.count() < trackRoom_) {
            track.times.push_back(time);
            track.values.push_back(value);
        }
    }

    void currentGroup(const std::string& name) {
        for (size_t i = 0; i < scene_.groups.size(); ++i) {
            if (scene_.groups[i].name == name) {
                group_ = static_cast<int>(i);
                return;
            }
        }
        scene_.groups.push_back({name, {}});
        group_ = static_cast<int>(scene_.groups.size()) - 1;
    }

    // "name", "+name" or "name:+scene" all mean the element name.
    void addToGroup(std::string name) {
        if (group_ < 0)
            return;
        size_t plus = name.find('+');
        if (plus == 0)
            name.erase(0, 1);
        else if (plus != std::string::npos && name[plus - 1] == ':')
            name.resize(plus - 1);
        auto found = names_.find(name);
        if (found != names_.end())
            scene_.groups[static_cast<size_t>(group_)].members.push_back(found->second);
    }

    // "p child parent", positions counted from 1 in this file. The copies
    // of a "*n" child follow it and take the parent's copy of the same
    // number when the parent has one.
    void parentLink(const std::string& argument) {
        Tokens tokens(argument);
        int child = fromOne(tokens.nextInt());
        int parent = fromOne(tokens.nextInt());
        if (!valid(child) || !valid(parent) || child == parent)
            return;
        setParent(child, parent);
        int childCopies = copiesOf(child);
        int parentCopies = copiesOf(parent);
        for (int k = 1; k < childCopies; ++k) {
            int copy = child + k;
            int target = k < parentCopies ? parent + k : parent;
            if (!valid(copy))
                break;
            if (valid(target) && copy != target)
                setParent(copy, target);
        }
    }

    int copiesOf(int element) const {
        return scene_.visuals[static_cast<size_t>(scene_.elements[static_cast<size_t>(element)].visual)].copyCount;
    }

    // As an element's parent is set: a parent already below the child lets
    // go of it, so no loop forms.
    void setParent(int child, int parent) {
        std::vector<LetterElement>& elements = scene_.elements;
        int depth = 0;
        for (int above = parent; above >= 0; above = elements[static_cast<size_t>(above)].parent) {
            if (++depth > kMaxLetterParentDepth) {
                if (!deep_) {
                    char message[400];
                    std::snprintf(message, sizeof message, "ERROR: Elements nested too deeply in scene %.*s",
                                  static_cast<int>(settings_.sceneName.size()), settings_.sceneName.data());
                    report(LetterMessage::Trace, message);
                    deep_ = true;
                }
                return;
            }
        }
        elements[static_cast<size_t>(child)].parent = parent;
        for (int above = parent; above >= 0 && above != child; above = elements[static_cast<size_t>(above)].parent) {
            if (elements[static_cast<size_t>(above)].parent == child) {
                elements[static_cast<size_t>(above)].parent = -1;
                break;
            }
        }
    }

    // A position counted from 1 as an index, or -1 for none; the number may
    // be anything a file holds.
    static int fromOne(int position) { return position > 0 ? position - 1 : -1; }

    bool valid(int position) const { return position >= 0 && static_cast<size_t>(position) < scene_.elements.size(); }

    const LetterSceneSettings& settings_;
    LetterScene scene_;
    // The first element of each name, for group lines.
    std::unordered_map<std::string, int> names_;
    int version_ = 0;
    int element_ = -1;
    int group_ = -1;
    int channel_ = kNoChannel;
    double scale_ = 1;
    int trackRoom_ = 0;
    bool firstKey_ = false;
    int minTime_ = 0, maxTime_ = 0;
    int declaredPolygons_ = 0, startedPolygons_ = 0;
    int polygon_ = -1;
    float pendingX_ = 0;
    float correctionX_ = 0, correctionY_ = 0;
    bool full_ = false;
    bool deep_ = false;
};

} // namespace

LetterScene readLetterScene(const char* text, size_t size, const LetterSceneSettings& settings) {
    if (!text)
        return {};
    return LetterSceneReader(settings).read(text, size);
}

} // namespace glint

// The element record: what scripts changed on an element since the
// baseline, as a mask of present fields followed by the fields.
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "game/save_state.h"
#include "game/save_trace.h"
#include "game/save_values.h"
#include "scene/element.h"
#include "scene/scene.h"

namespace glint {

namespace {

constexpr uint32_t bit(int n) { return 1u << n; }

bool has(uint32_t mask, int n) { return (mask & bit(n)) != 0; }

int16_t fixedFrom(double x) {
    int64_t v = roundToInteger(x);
    return static_cast<int16_t>(std::clamp<int64_t>(v, -32767, 32767));
}

// Everything the record carries, gathered before writing or after reading.
struct ElementFields {
    uint32_t mask = 0;
    float time = 0;
    int32_t from = 0, to = 0;
    float speed = 1;
    float channels[4] = {0, 0, 0, 0}; // x, y, z, angle
    int32_t fadeProgress = 0, fadeDuration = 0;
    int32_t blendProgress = 0, blendDuration = 0;
    int16_t alpha = kOpaque;
    uint8_t tint[3] = {255, 255, 255};
    ScriptElement* parent = nullptr;
    float offset[3] = {0, 0, 0};
    float charsCount = 0;
    int16_t charsSpeed = 0;
    ScriptElement* hotspot = nullptr;
    ScriptElement* imageSource = nullptr;
    float size[2] = {0, 0};
    ScriptElement* crop = nullptr;
    float scale[3] = {1, 1, 1};
};

constexpr int kChannelOf[4] = {kChannelX, kChannelY, kChannelZ, kChannelAngle};

void gather(const MElement& e, ElementFields& f) {
    f.mask = elementMask(e);
    f.time = e.time;
    if (e.timeControl) {
        f.from = e.timeControl->from;
        f.to = e.timeControl->to;
        f.speed = e.timeControl->speed;
    } else {
        f.from = f.to = static_cast<int32_t>(roundToInteger(e.time));
    }
    for (int i = 0; i < 4; ++i) f.channels[i] = e.channels[kChannelOf[i]];
    if (e.fade) {
        f.fadeProgress = e.fade->progress;
        f.fadeDuration = e.fade->duration;
    }
    if (e.blend) {
        f.blendProgress = e.blend->progress;
        f.blendDuration = e.blend->duration;
    }
    f.alpha = e.alpha;
    std::copy(e.tint, e.tint + 3, f.tint);
    f.parent = e.parent;
    for (int i = 0; i < 3; ++i) f.offset[i] = e.offsetComponent(i);
    f.charsCount = e.charsCount;
    f.charsSpeed = e.charsSpeed;
    f.hotspot = e.hotspot;
    f.imageSource = e.imageSource;
    if (e.sizeOverride) {
        f.size[0] = e.sizeOverride->w;
        f.size[1] = e.sizeOverride->h;
    }
    f.crop = e.cropElement;
    for (int i = 0; i < 3; ++i) f.scale[i] = e.scaleComponent(i);
}

// Files before format version 102 kept some fields as value records.
bool numberAsValue(SaveStream& s, float& x) {
    Value v;
    if (!valueRecord(s, v))
        return false;
    x = v.isNumber() ? static_cast<float>(v.number) : 0;
    return true;
}

bool elementAsValue(SaveStream& s, ScriptElement*& element) {
    Value v;
    if (!valueRecord(s, v))
        return false;
    element = v.is(ValueType::Element) ? v.as<ScriptElement>() : nullptr;
    return true;
}

bool elementField(SaveStream& s, ScriptElement*& element) {
    return s.reading() && s.formatVersion < 102 ? elementAsValue(s, element) : elementReference(s, element);
}

bool timeFields(SaveStream& s, ElementFields& f) {
    if (has(f.mask, 23) && !s.floatField(f.time))
        return false;
    if (has(f.mask, 0) && (!s.intField(f.from) || !s.intField(f.to)))
        return false;
    bool speedFollows = s.writing() ? has(f.mask, 0)
                                    : (has(f.mask, 0) && s.formatVersion >= 106) || has(f.mask, 25);
    return !speedFollows || s.floatField(f.speed);
}

bool alphaField(SaveStream& s, ElementFields& f) {
    if (s.reading() && s.formatVersion < 113) {
        float x = 0;
        if (!s.floatField(x))
            return false;
        f.alpha = fixedFrom(x * 1024.0);
        return true;
    }
    return s.shortField(f.alpha);
}

bool tintField(SaveStream& s, ElementFields& f) {
    if (s.reading() && s.formatVersion < 97) {
        for (uint8_t& c : f.tint) {
            float x = 0;
            if (!s.floatField(x))
                return false;
            c = static_cast<uint8_t>(std::clamp<int64_t>(roundToInteger(x * 255.0), 0, 255));
        }
        return true;
    }
    return s.byteField(f.tint[0]) && s.byteField(f.tint[1]) && s.byteField(f.tint[2]);
}

bool charsFields(SaveStream& s, ElementFields& f) {
    bool old = s.reading() && s.formatVersion < 102;
    if (has(f.mask, 18) && !(old ? numberAsValue(s, f.charsCount) : s.floatField(f.charsCount)))
        return false;
    if (!has(f.mask, 19))
        return true;
    if (old || (s.reading() && s.formatVersion < 114)) {
        float x = 0;
        if (!(old ? numberAsValue(s, x) : s.floatField(x)))
            return false;
        f.charsSpeed = fixedFrom(old ? x * 1024.0 : x);
        return true;
    }
    return s.shortField(f.charsSpeed);
}

bool sizeField(SaveStream& s, ElementFields& f) {
    if (s.reading() && s.formatVersion < 112) {
        ScriptElement* model = nullptr;
        if (!elementReference(s, model))
            return false;
        auto* source = dynamic_cast<MElement*>(model);
        if (source && source->visual) {
            f.size[0] = source->visual->width;
            f.size[1] = source->visual->height;
        }
        return true;
    }
    return s.floatField(f.size[0]) && s.floatField(f.size[1]);
}

bool scaleFields(SaveStream& s, ElementFields& f) {
    if (s.reading() && s.formatVersion < 99)
        return true;
    for (int i = 0; i < 3; ++i) {
        if (!has(f.mask, 26 + i))
            continue;
        bool ok = s.reading() && s.formatVersion < 102 ? numberAsValue(s, f.scale[i]) : s.floatField(f.scale[i]);
        if (!ok)
            return false;
    }
    return true;
}

// The fields after the mask, in file order; the channel fields follow the
// lock flags that bits 2 to 4 carry.
bool fieldsRecord(SaveStream& s, ElementFields& f) {
    if (!timeFields(s, f))
        return false;
    for (int i = 0; i < 4; ++i) {
        int lockBit = i < 2 ? 2 : i == 2 ? 3 : 4;
        if (has(f.mask, lockBit) && !s.floatField(f.channels[i]))
            return false;
    }
    if (has(f.mask, 5) && (!s.intField(f.fadeProgress) || !s.intField(f.fadeDuration)))
        return false;
    if (has(f.mask, 8) && (!s.intField(f.blendProgress) || !s.intField(f.blendDuration)))
        return false;
    if (has(f.mask, 24) && !alphaField(s, f))
        return false;
    if (has(f.mask, 12) && !tintField(s, f))
        return false;
    if (has(f.mask, 13) && !elementField(s, f.parent))
        return false;
    for (int i = 0; i < 3; ++i)
        if (has(f.mask, 14 + i) && !s.floatField(f.offset[i]))
            return false;
    if (!charsFields(s, f))
        return false;
    if (has(f.mask, 20) && !elementField(s, f.hotspot))
        return false;
    if (has(f.mask, 21) && !elementReference(s, f.imageSource))
        return false;
    if (has(f.mask, 22) && !sizeField(s, f))
        return false;
    if (has(f.mask, 29) && !elementReference(s, f.crop))
        return false;
    return scaleFields(s, f);
}

void setFlag(MElement& e, uint32_t flag, bool on) {
    e.flags = on ? e.flags | flag : e.flags & ~flag;
}

void addOnce(std::vector<MElement*>& list, MElement* e) {
    if (std::find(list.begin(), list.end(), e) == list.end())
        list.push_back(e);
}

MElement* asElement(ScriptElement* e) { return dynamic_cast<MElement*>(e); }

// A scratch element (flag 0x1 in the record's sense: no scene) skips what
// reaches beyond the element; every element read here belongs to a scene.
void apply(MElement& e, ElementFields& f) {
    const uint32_t m = f.mask;
    MScene* scene = e.owner();
    bool loop = has(m, 1);
    setFlag(e, kElementClockLoops, loop);
    setFlag(e, kElementPositionLocked, has(m, 2));
    setFlag(e, kElementDepthLocked, has(m, 3));
    setFlag(e, kElementAngleLocked, has(m, 4));
    if (has(m, 11))
        e.flags ^= kElementVisible;

    f.speed = std::max(f.speed, kMinTimeControlSpeed);
    if (f.time < 0 && (!has(m, 0) || f.from >= 0))
        f.from = f.to = static_cast<int32_t>(roundToInteger(f.time));
    e.animate(f.from, f.to, f.speed, true, nullptr, false);
    setFlag(e, kElementClockLoops, loop);
    e.time = e.previousTime = f.time;

    for (int i = 0; i < 4; ++i) {
        int lockBit = i < 2 ? 2 : i == 2 ? 3 : 4;
        if (has(m, lockBit))
            e.channels[kChannelOf[i]] = f.channels[i];
    }

    if (has(m, 5)) {
        if (!e.fade) {
            e.fade = takeRecord<MFade>();
            *e.fade = {0, 0, has(m, 6), has(m, 7), nullptr};
            if (scene)
                addOnce(scene->fading, &e);
        }
        e.fade->progress = f.fadeProgress;
        e.fade->duration = f.fadeDuration;
    } else {
        e.finishFade();
    }
    if (has(m, 8)) {
        if (!e.blend) {
            e.blend = takeRecord<MBlend>();
            *e.blend = {0, 0, has(m, 9), has(m, 10), nullptr};
            if (scene)
                addOnce(scene->blending, &e);
        }
        e.blend->progress = f.blendProgress;
        e.blend->duration = f.blendDuration;
    } else {
        e.finishBlend();
    }

    e.alpha = has(m, 24) ? f.alpha : kOpaque;
    setFlag(e, kElementTinted, has(m, 12));
    if (has(m, 12))
        std::copy(f.tint, f.tint + 3, e.tint);
    if (has(m, 13))
        e.setParent(asElement(f.parent));
    for (int i = 0; i < 3; ++i)
        if (has(m, 14 + i))
            e.setOffsetComponent(i, f.offset[i]);
    if (has(m, 17))
        e.flags ^= kElementActive;
    e.setCharsCount(has(m, 18) ? f.charsCount : 0);
    e.charsSpeed = has(m, 19) ? f.charsSpeed : 0;
    e.hotspot = has(m, 20) ? asElement(f.hotspot) : nullptr;
    e.imageSource = has(m, 21) ? asElement(f.imageSource) : nullptr;
    if (has(m, 22))
        e.setSizeOverride(f.size[0], f.size[1]);
    else
        e.clearSizeOverride();
    e.cropElement = has(m, 29) ? asElement(f.crop) : nullptr;
    if (has(m, 26) || has(m, 27) || has(m, 28))
        for (int i = 0; i < 3; ++i) e.setScaleComponent(i, has(m, 26 + i) ? f.scale[i] : 1);
    // An open scene holds the images of its shown elements only.
    if (scene && scene->resourcesHeld && scene->holder) {
        if (e.hasFlag(kElementVisible) && !e.held)
            holdElementResources(*scene->holder, e);
        else if (!e.hasFlag(kElementVisible) && e.held)
            releaseElementResources(*scene->holder, e);
    }
    e.markTransformDirty();
}

void traceElement(SaveTrace& trace, const ElementFields& f) {
    char mask[16];
    std::snprintf(mask, sizeof mask, "\"0x%08x\"", f.mask);
    trace.field("mask", mask);
    if (has(f.mask, 11))
        trace.field("visibility_toggled", "true");
    if (has(f.mask, 2)) {
        trace.field("x", SaveTrace::number(f.channels[0]));
        trace.field("y", SaveTrace::number(f.channels[1]));
    }
    if (has(f.mask, 24))
        trace.field("alpha", SaveTrace::number(f.alpha / 1024.0));
}

} // namespace

uint32_t elementMask(const MElement& e) {
    const uint32_t flags = e.flags;
    auto base = [flags](int n) { return (flags & bit(n)) != 0; };
    uint32_t m = 0;
    auto set = [&m](int n, bool on) {
        if (on)
            m |= bit(n);
    };
    set(0, e.timeControl || base(19));
    set(1, e.timeControl && e.hasFlag(kElementClockLoops));
    set(2, e.hasFlag(kElementPositionLocked));
    set(3, e.hasFlag(kElementDepthLocked));
    set(4, e.hasFlag(kElementAngleLocked));
    set(5, e.fade);
    set(6, e.fade && e.fade->fadeIn);
    set(7, e.fade && e.fade->noWait);
    set(8, e.blend);
    set(9, e.blend && e.blend->blendIn);
    set(10, e.blend && e.blend->noWait);
    set(11, e.hasFlag(kElementVisible) != base(16));
    set(12, e.hasFlag(kElementTinted) || base(18));
    set(13, e.hasFlag(kElementParentChanged));
    for (int i = 14; i <= 16; ++i) set(i, e.offset || base(23));
    set(17, e.hasFlag(kElementActive) != base(17));
    set(18, e.charsCount != 0 || base(24));
    set(19, e.charsSpeed != 0 || base(25));
    set(20, e.hotspot || base(26));
    set(21, e.imageSource || base(20));
    set(22, e.sizeOverride || base(21));
    set(23, e.time < -0.001f);
    set(24, e.alpha != kOpaque || base(27));
    for (int i = 26; i <= 28; ++i) set(i, e.scale || base(22));
    set(29, e.cropElement || base(28));
    return m;
}

bool elementRecord(SaveStream& s, MElement* element) {
    ElementFields f;
    if (s.writing()) {
        gather(*element, f);
        Symbol* name = element->name;
        if (!s.nameField(name))
            return false;
    }
    int32_t mask = static_cast<int32_t>(f.mask);
    if (!s.intField(mask))
        return false;
    f.mask = static_cast<uint32_t>(mask);
    if (!fieldsRecord(s, f))
        return false;
    MElement* target = s.reading() && !s.probe ? element : nullptr;
    SaveTrace* trace = s.reading() ? s.trace : nullptr;
    if (trace) {
        traceElement(*trace, f);
        trace->beginObject("variables");
    }
    if (!propertyList(s, target ? &target->members : s.writing() ? &element->members : nullptr, true))
        return false;
    if (trace)
        trace->endObject();
    if (target)
        apply(*target, f);
    if (s.writing())
        element->markTransformDirty();
    return true;
}

} // namespace glint

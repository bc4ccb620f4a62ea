// The properties scripts read and write on elements. Names outside the table
// are the element's own variables; a write to a read-only name is a script
// error.
#include <algorithm>
#include <unordered_map>

#include "resource/video.h"
#include "scene/element.h"
#include "scene/scene.h"
#include "script/array_object.h"
#include "script/script_error.h"
#include "script/script_system.h"

namespace glint {

namespace {

using Getter = Value (*)(const MElement&);
using Setter = void (*)(MElement&, const Value&);

struct ElementProperty {
    const char* name;
    Getter get;
    Setter set; // null: read-only
};

double numberOf(const Value& v) { return v.isNumber() ? v.number : 0.0; }
float floatOf(const Value& v) { return static_cast<float>(numberOf(v)); }
Value number(double x) { return Value::fromNumber(x); }
Value flag(const MElement& e, uint32_t bit) { return number(e.hasFlag(bit) ? 1 : 0); }

Value elementValue(const MElement* e) { return e ? Value::fromPointer(ValueType::Element, e) : Value(); }
MElement* elementOf(const Value& v) {
    return v.is(ValueType::Element) && v.pointer ? dynamic_cast<MElement*>(v.as<ScriptElement>()) : nullptr;
}

// A number in fixed point with the given factor, as the signed 16-bit
// fields keep it.
int16_t fixedPoint(const Value& v, double factor) {
    return static_cast<int16_t>(std::clamp<int64_t>(roundToInteger(numberOf(v) * factor), -32767, 32767));
}

float visualField(const MElement& e, float MElementVisual::*field) { return e.visual ? e.visual->*field : 0.0f; }
void setVisualField(MElement& e, float MElementVisual::*field, const Value& v) {
    if (e.visual)
        e.visual->*field = floatOf(v);
}

const MVideo* movieOf(const MElement& e) { return e.visual ? e.visual->image.movie : nullptr; }

// An open movie's length stands in for the visual's loop time.
float loopTimeOf(const MElement& e) {
    const MVideo* movie = movieOf(e);
    return movie && movie->hasPlayer() ? static_cast<float>(movie->length()) : visualField(e, &MElementVisual::loopTime);
}

// camera_scene holds 1 + the index of a registered scene.
Value cameraSceneValue(const MElement& e) {
    if (e.cameraScene <= 0 || !globalScope())
        return Value();
    for (ScriptScene* s : script().scenes) {
        auto* scene = dynamic_cast<MScene*>(s);
        if (scene && scene->index == e.cameraScene - 1)
            return Value::fromPointer(ValueType::Scene, scene);
    }
    return Value();
}

void setCameraScene(MElement& e, const Value& v) {
    auto* scene = v.is(ValueType::Scene) && v.pointer ? dynamic_cast<MScene*>(v.as<ScriptScene>()) : nullptr;
    e.cameraScene = scene && scene->index >= 0 && scene->index < 32767 ? static_cast<int16_t>(scene->index + 1) : 0;
    e.markTransformDirty();
}

const ElementProperty kProperties[] = {
    {"scene", [](const MElement& e) { return e.scene ? Value::fromPointer(ValueType::Scene, e.scene) : Value(); },
     nullptr},
    {"name", [](const MElement& e) { return e.name ? Value::fromSymbol(e.name) : Value(); }, nullptr},
    {"array",
     [](const MElement& e) { return e.holderArray ? Value::fromPointer(ValueType::Array, e.holderArray) : Value(); },
     nullptr},
    {"index", [](const MElement& e) { return number(e.name ? e.name->arrayIndex : 0); }, nullptr},
    {"parent", [](const MElement& e) { return elementValue(e.parent); },
     [](MElement& e, const Value& v) { e.setParent(elementOf(v)); }},
    {"x", [](const MElement& e) { return number(e.channels[kChannelX]); }, nullptr},
    {"y", [](const MElement& e) { return number(e.channels[kChannelY]); }, nullptr},
    {"z", [](const MElement& e) { return number(e.channels[kChannelZ]); }, nullptr},
    {"angle", [](const MElement& e) { return number(e.channels[kChannelAngle]); }, nullptr},
    {"offset_x", [](const MElement& e) { return number(e.offsetComponent(0)); },
     [](MElement& e, const Value& v) { e.setOffsetComponent(0, floatOf(v)); }},
    {"offset_y", [](const MElement& e) { return number(e.offsetComponent(1)); },
     [](MElement& e, const Value& v) { e.setOffsetComponent(1, floatOf(v)); }},
    {"offset_z", [](const MElement& e) { return number(e.offsetComponent(2)); },
     [](MElement& e, const Value& v) { e.setOffsetComponent(2, floatOf(v)); }},
    {"alpha", [](const MElement& e) { return number(e.alpha / 1024.0); },
     [](MElement& e, const Value& v) {
         e.alpha = fixedPoint(v, 1024);
         e.markTransformDirty();
     }},
    {"w", [](const MElement& e) { return number(visualField(e, &MElementVisual::width)); }, nullptr},
    {"h", [](const MElement& e) { return number(visualField(e, &MElementVisual::height)); }, nullptr},
    {"is_active", [](const MElement& e) { return flag(e, kElementActive); }, nullptr},
    {"is_visible", [](const MElement& e) { return flag(e, kElementVisible); }, nullptr},
    {"is_hintable", [](const MElement& e) { return flag(e, kElementHintable); }, nullptr},
    {"abs_x", [](const MElement& e) { return number(e.absX); }, nullptr},
    {"abs_y", [](const MElement& e) { return number(e.absY); }, nullptr},
    {"abs_w", [](const MElement& e) { return number(e.absW); }, nullptr},
    {"abs_h", [](const MElement& e) { return number(e.absH); }, nullptr},
    {"abs_sx", [](const MElement& e) { return number(e.absScaleX); }, nullptr},
    {"abs_sy", [](const MElement& e) { return number(e.absScaleY); }, nullptr},
    {"abs_z", [](const MElement& e) { return number(e.absZ); }, nullptr},
    {"abs_angle", [](const MElement& e) { return number(e.absAngle); }, nullptr},
    {"Parallax_factor_x", [](const MElement& e) { return number(e.parallaxX / 256.0); },
     [](MElement& e, const Value& v) {
         e.parallaxX = fixedPoint(v, 256);
         e.markTransformDirty();
     }},
    {"Parallax_factor_y", [](const MElement& e) { return number(e.parallaxY / 256.0); },
     [](MElement& e, const Value& v) {
         e.parallaxY = fixedPoint(v, 256);
         e.markTransformDirty();
     }},
    {"scale", [](const MElement& e) { return number(e.scaleComponent(0)); },
     [](MElement& e, const Value& v) { e.setScaleComponent(0, floatOf(v)); }},
    {"scale_x", [](const MElement& e) { return number(e.scaleComponent(1)); },
     [](MElement& e, const Value& v) { e.setScaleComponent(1, floatOf(v)); }},
    {"scale_y", [](const MElement& e) { return number(e.scaleComponent(2)); },
     [](MElement& e, const Value& v) { e.setScaleComponent(2, floatOf(v)); }},
    {"time", [](const MElement& e) { return number(e.time * 0.01); }, nullptr},
    {"start_time", [](const MElement& e) { return number(visualField(e, &MElementVisual::startTime)); },
     [](MElement& e, const Value& v) { setVisualField(e, &MElementVisual::startTime, v); }},
    {"loop_time", [](const MElement& e) { return number(loopTimeOf(e)); },
     [](MElement& e, const Value& v) { setVisualField(e, &MElementVisual::loopTime, v); }},
    {"anim_speed", [](const MElement& e) { return number(e.timeControl ? e.timeControl->speed : 1.0f); },
     [](MElement& e, const Value& v) { e.setAnimSpeed(floatOf(v)); }},
    {"video_playing", [](const MElement& e) { return number(movieOf(e) && movieOf(e)->isPlaying() ? 1 : 0); },
     nullptr},
    {"get_image", [](const MElement& e) { return elementValue(e.imageSource); }, nullptr},
    {"has_hotspot", [](const MElement& e) { return number(e.visual && e.visual->hasHotspot() ? 1 : 0); }, nullptr},
    {"hotspot", [](const MElement& e) { return elementValue(e.hotspot); },
     [](MElement& e, const Value& v) { e.hotspot = elementOf(v); }},
    {"chars_count", [](const MElement& e) { return number(e.charsCount); },
     [](MElement& e, const Value& v) { e.setCharsCount(floatOf(v)); }},
    {"chars_speed", [](const MElement& e) { return number(e.charsSpeed / 1024.0); },
     [](MElement& e, const Value& v) { e.charsSpeed = fixedPoint(v, 1024); }},
    {"camera_scene", cameraSceneValue, setCameraScene},
    {"xstretch", [](const MElement& e) { return number(e.stretch); },
     [](MElement& e, const Value& v) {
         e.stretch = static_cast<int8_t>(std::clamp<int64_t>(roundToInteger(numberOf(v)), -128, 127));
     }},
    {"crop_element", [](const MElement& e) { return elementValue(e.cropElement); },
     [](MElement& e, const Value& v) { e.cropElement = elementOf(v); }},
};

const ElementProperty* findProperty(Symbol* key) {
    static const std::unordered_map<Symbol*, const ElementProperty*> byName = [] {
        std::unordered_map<Symbol*, const ElementProperty*> map;
        for (const ElementProperty& property : kProperties) map.emplace(intern(property.name), &property);
        return map;
    }();
    auto found = byName.find(key);
    return found == byName.end() ? nullptr : found->second;
}

} // namespace

bool MElement::getProperty(Symbol* key, Value& out) {
    if (const ElementProperty* property = findProperty(key)) {
        out = property->get(*this);
        return true;
    }
    return ScriptElement::getProperty(key, out);
}

bool MElement::setProperty(Symbol* key, const Value& value) {
    const ElementProperty* property = findProperty(key);
    if (!property)
        return ScriptElement::setProperty(key, value);
    if (!property->set) {
        scriptError("Invalid property %s", key->text);
        return false;
    }
    property->set(*this, value);
    return true;
}

} // namespace glint

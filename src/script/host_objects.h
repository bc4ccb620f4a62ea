// What the script core needs from the objects of scenes and the game:
// scenes, elements, groups, sounds and inventory items. Scene and game code
// derive their objects from these and fill in the behaviour.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/images/image_handler.h"
#include "script/property_list.h"

namespace glint {

struct ScriptHostObject {
    Symbol* name = nullptr;
    PropertyList members;
    uint32_t collectEpoch = 0; // last collection that reached this object

    ScriptHostObject() = default;
    explicit ScriptHostObject(Symbol* n) : name(n) {}
    ScriptHostObject(const ScriptHostObject&) = delete;
    ScriptHostObject& operator=(const ScriptHostObject&) = delete;
    virtual ~ScriptHostObject() = default;
};

// A scene as the script sees it: a name and the variable store it owns.
struct ScriptScene : ScriptHostObject {
    Scope scope{this};
    Symbol* folder = nullptr; // where the scene's own script lives

    ScriptScene() = default;
    explicit ScriptScene(Symbol* n) : ScriptHostObject(n) {}

    // Dynamic elements, made by the command new and removed by delete. The
    // scene code adds a copy of model (of model's template when model is
    // itself a dynamic element of this scene) under the given name; a scene
    // without an element model makes none.
    virtual ScriptElement* createDynamicElement(ScriptElement* /*model*/, Symbol* /*name*/) { return nullptr; }
    // Removes an element that createDynamicElement made; false, and nothing
    // done, for any other element.
    virtual bool deleteDynamicElement(ScriptElement* /*element*/) { return false; }
};

// Objects of a scene that an array can hold ($lamp_ALL[], $book[] ...).
struct ScriptSceneObject : ScriptHostObject {
    ScriptScene* scene = nullptr;
    ArrayObject* holderArray = nullptr; // the array that last received it

    ScriptSceneObject() = default;
    ScriptSceneObject(Symbol* n, ScriptScene* s) : ScriptHostObject(n), scene(s) {}
};

struct ScriptElement : ScriptSceneObject {
    using ScriptSceneObject::ScriptSceneObject;

    // Made from a template: the template's name; templateInstance marks the
    // elements that include_for_each still visits.
    Symbol* templateName = nullptr;
    bool templateInstance = false;

    // Element properties; the default keeps them as plain members.
    virtual bool getProperty(Symbol* key, Value& out) {
        Value* cell = members.get(key);
        out = cell ? *cell : Value();
        return cell != nullptr;
    }
    virtual bool setProperty(Symbol* key, const Value& value) {
        members.set(key, value);
        return true;
    }
    // Whether the pointer can hit it (the target pass skips the others).
    virtual bool isClickable() const { return true; }
    // A script wrote one of its properties; the savegame writer keeps only
    // the elements scripts changed.
    virtual void markChangedByScript() {}
    // The animation commands (times in ticks; from and to at most 0). The
    // scene layer plays them; without one they do nothing.
    virtual void scriptAnimate(int32_t /*from*/, int32_t /*to*/, float /*speed*/, bool /*effect*/) {}
    virtual void scriptFade(bool /*fadeIn*/, int32_t /*ticks*/, bool /*effect*/) {}
    virtual void scriptBlend(bool /*blendIn*/, int32_t /*ticks*/, bool /*effect*/) {}
    // A downloaded picture (url_get_image) replaces the image it shows:
    // info.width x info.height pixels, or DXT5 blocks. The scene layer
    // draws it; without one nothing changes.
    virtual void replacePicture(const KImageInfo& /*info*/, const uint32_t* /*pixels*/) {}
};
struct ScriptGroup : ScriptSceneObject {
    using ScriptSceneObject::ScriptSceneObject;
    std::vector<ScriptElement*> elements;

    // Group properties; the default keeps them as plain members.
    virtual bool getProperty(Symbol* key, Value& out) {
        Value* cell = members.get(key);
        out = cell ? *cell : Value();
        return cell != nullptr;
    }
    virtual bool setProperty(Symbol* key, const Value& value) {
        members.set(key, value);
        return true;
    }
};
struct ScriptSound : ScriptSceneObject {
    using ScriptSceneObject::ScriptSceneObject;

    // Sound properties; the default keeps them as plain members.
    virtual bool getProperty(Symbol* key, Value& out) {
        Value* cell = members.get(key);
        out = cell ? *cell : Value();
        return cell != nullptr;
    }
    virtual bool setProperty(Symbol* key, const Value& value) {
        members.set(key, value);
        return true;
    }
};
// Inventory items are global: no scene.
struct ScriptItem : ScriptHostObject {
    using ScriptHostObject::ScriptHostObject;

    // Item properties; the default keeps them as plain members.
    virtual bool getProperty(Symbol* key, Value& out) {
        Value* cell = members.get(key);
        out = cell ? *cell : Value();
        return cell != nullptr;
    }
    virtual bool setProperty(Symbol* key, const Value& value) {
        members.set(key, value);
        return true;
    }
};

} // namespace glint

// Readying a loaded scene for display: the extra configuration's image and
// variable entries, every element (positions, particles, movies, hover
// highlights, clocks), array members and groups with their crop windows.
#include <algorithm>
#include <cctype>
#include <string>
#include <string_view>
#include <unordered_set>

#include "app/application.h"
#include "engine/system/log.h"
#include "resource/image_line.h"
#include "resource/resource_manager.h"
#include "scene/element.h"
#include "scene/element_files.h"
#include "scene/element_pool.h"
#include "scene/group.h"
#include "scene/scene.h"
#include "scene/scene_loader.h"
#include "scene/scene_registry.h"
#include "scene/subtitles.h"
#include "script/array_object.h"
#include "script/symbol.h"

namespace glint {

namespace {

std::string entryText(const Value& value) { return value.isString() ? value.symbol()->text : valueText(value); }


class ScenePreparer {
public:
    ScenePreparer(MScene& scene, const SceneLoadContext& context) : scene_(scene), context_(context) {}

    void applyConfigEntries() {
        if (!scene_.extraConfig)
            return;
        for (const MConfigEntry* entry : scene_.extraConfig->entriesInFileOrder()) {
            std::string_view key = entry->key->view();
            if (key.starts_with("anim:"))
                replaceImage(intern(key.substr(5)), entryText(entry->value));
            else if (key.starts_with("#") && globalScope())
                *findVariable(scene_.scriptClass(), KindPlain, intern(key.substr(1)), nullptr, true) = entry->value;
        }
    }

    void prepareElements() {
        std::unordered_set<MElement*> animated(scene_.animated.begin(), scene_.animated.end());
        for (size_t i = 0; i < scene_.elements.size(); ++i) {
            MElement& element = *scene_.elements[i];
            prepareElement(element);
            if (animated.insert(&element).second)
                scene_.animated.push_back(&element);
        }
    }

    void markArrayMembers() {
        Scope& scope = scene_.scriptClass();
        auto mark = [](const VariableEntry* entry) {
            if (!entry->array)
                return;
            for (Value* item : entry->array->items)
                if (item && item->is(ValueType::Element))
                    if (auto* element = dynamic_cast<MElement*>(item->as<ScriptElement>()))
                        element->flags |= kElementArrayMember;
        };
        for (int kind = 0; kind < kVariableKinds; ++kind)
            for (const VariableEntry* entry : scope.list(kind))
                mark(entry);
        for (const VariableEntry* entry : scope.allArrays())
            mark(entry);
    }

    void finishGroups() {
        for (MGroup* group : scene_.groups) {
            finishCropGroup(*group);
            group->storeTimes();
        }
    }

private:
    void replaceImage(Symbol* elementName, const std::string& spec) {
        MElement* element = scene_.findElement(elementName);
        if (!element)
            return;
        ImageSpecContext spec_context;
        spec_context.folder = scene_.folder->text;
        spec_context.allowFolders = true;
        spec_context.lazy = scene_.flags.system && !scene_.flags.play;
        spec_context.label = elementName->text;
        spec_context.blendTarget = &element->blendMode;
        parseImageSpec(context_.resources, element->visual->image, spec.c_str(), spec_context);
    }

    void prepareElement(MElement& element) {
        if (!element.parent) {
            element.channels[kChannelX] += context_.app.settings.screenW * 0.5f;
            element.channels[kChannelY] += context_.app.settings.screenH * 0.5f;
        }
        element.flags &= ~kElementParentChanged;
        MElementVisual& visual = *element.visual;
        if (visual.kindFlags & kVisualParticleSystem)
            prepareParticles(element);
        if (visual.kindFlags & kVisualMovie)
            prepareMovie(element);
        if ((visual.kindFlags & kVisualCropWindow) && visual.polygonCount() > 0)
            debugTrace("ERROR: Crop elements cannot have hotspot - $%s:%s", scene_.name->text, element.name->text);
        std::string_view name = element.name->view();
        if (name.ends_with("_h"))
            if (MElement* target = scene_.findElement(intern(name.substr(0, name.size() - 2))))
                scene_.addHoverLink(target, &element, 1);
        startClock(element);
    }

    void prepareParticles(MElement& element) {
        std::string path = particleFilePath(element.name->view());
        MElementVisual& visual = *element.visual;
        MParticleSystem* system = visual.particleSystem;
        if (!system) {
            system = context_.resources.particleSystem(path.c_str());
            if (!system || !system->loaded) {
                if (system)
                    context_.resources.release(system);
                debugTrace("ERROR: Missing particles on $%s:%s (%s)", scene_.name->text, element.name->text,
                           path.c_str());
                return;
            }
            visual.particleSystem = system;
        }
        checkParticleShape(element, *system, path);
        if (context_.hooks.startParticles)
            context_.hooks.startParticles(scene_, element);
    }

    // Shape 2 emits from the element's hotspot polygons; the others ignore
    // them. The interface scene of particles only lends its systems out.
    void checkParticleShape(const MElement& element, const MParticleSystem& system, const std::string& path) {
        if (&scene_ == context_.registry.particles)
            return;
        if ((system.shape == 2) != element.visual->hasHotspot())
            debugTrace("ERROR: Invalid particles shape on $%s:%s (%s)", scene_.name->text, element.name->text,
                       path.c_str());
    }

    void prepareMovie(MElement& element) {
        std::string path = movieFilePath(scene_, element, context_.registry);
        MImageAnim& image = element.visual->image;
        image.movie = context_.resources.video(path.c_str());
        // The poster stands for the movie in the image record; held once
        // from here on, it never loads, since drawing takes the frames.
        std::string poster = path + "." + context_.app.settings.texturesExt;
        MTexture* texture = context_.resources.texture(poster.c_str(), false, false);
        if (texture)
            ++texture->refCount;
        if (!image.texture)
            image.texture = texture;
        readSubtitles(scene_, element, context_.languageSuffix.empty());
    }

    // Idle loops run from the start with an open-ended clock that never
    // keeps the scene busy.
    static void startClock(MElement& element) {
        element.time = element.previousTime = 0;
        const MElementVisual& visual = *element.visual;
        if (visual.loopTime > 0 || visual.image.frameCount() > 1) {
            if (!element.timeControl)
                element.timeControl = takeRecord<MTimeControl>();
            *element.timeControl = MTimeControl{};
            element.flags |= kElementTimeRunning | kElementClockLoops;
        } else {
            returnRecord(element.timeControl);
            element.timeControl = nullptr;
            element.flags &= ~(kElementTimeRunning | kElementClockLoops);
        }
        element.markTransformDirty();
    }

    static bool isCropGroupName(std::string_view name) {
        return name.starts_with("crop_") || (name.size() > 1 && name.find("$crop_", 1) != std::string_view::npos);
    }

    void finishCropGroup(MGroup& group) {
        if (!isCropGroupName(group.name->view()))
            return;
        MElement* window = scene_.findElement(group.name);
        if (!window) {
            if (!scene_.name->view().starts_with("template_"))
                debugTrace("ERROR Crop element does not exist: $%s:%s", scene_.name->text, group.name->text);
            return;
        }
        for (ScriptElement* member : group.elements) {
            auto* element = dynamic_cast<MElement*>(member);
            if (!element)
                continue;
            if (element->cropElement && element->cropElement != window) {
                debugTrace("ERROR Element $%s:%s has multiple crop elements: $%s and $%s", scene_.name->text,
                           element->name->text, element->cropElement->name->text, window->name->text);
                continue;
            }
            element->cropElement = window;
        }
    }

    MScene& scene_;
    const SceneLoadContext& context_;
};

} // namespace

void MScene::prepare(const SceneLoadContext& context) {
    if (prepared)
        return;
    paused = true;
    ScenePreparer preparer(*this, context);
    preparer.applyConfigEntries();
    preparer.prepareElements();
    preparer.markArrayMembers();
    preparer.finishGroups();
    if (context.hooks.firstUpdate)
        context.hooks.firstUpdate(*this);
    paused = false;
    prepared = true;
}

} // namespace glint

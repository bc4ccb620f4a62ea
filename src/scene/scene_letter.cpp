// Scenes written in the letter-coded form: the records that
// readLetterScene makes become elements, visuals and groups of the scene,
// exactly as the JSON reader would make them.
#include <algorithm>
#include <cmath>
#include <string>

#include "app/application.h"
#include "engine/system/log.h"
#include "resource/image_line.h"
#include "resource/resource_manager.h"
#include "scene/element.h"
#include "scene/group.h"
#include "scene/letter_scene.h"
#include "scene/scene.h"
#include "scene/scene_loader.h"
#include "scene/scene_text_cache.h"
#include "script/script_error.h"
#include "script/symbol.h"

namespace glint {

namespace {

constexpr uint16_t kFileSwitches = kVisualInheritAll | kVisualWavePinFirstColumn | kVisualWavePinLastColumn |
                                   kVisualWavePinFirstRow | kVisualWavePinLastRow;

// Points the file did not reach stay at zero; the last point repeats the
// first, as every polygon of a visual does.
MHotspotPolygon hotspotPolygon(const LetterPolygon& source) {
    MHotspotPolygon polygon;
    polygon.kind = source.kind;
    polygon.points = source.points;
    polygon.points.resize(static_cast<size_t>(source.count));
    polygon.points.push_back(polygon.points.front());
    polygon.edgeAreas.assign(static_cast<size_t>(source.count), 0.0f);
    return polygon;
}

class LetterSceneBuilder {
public:
    LetterSceneBuilder(MScene& scene, const SceneLoadContext& context) : scene_(scene), context_(context) {}

    void build(const LetterScene& file) {
        std::vector<MElementVisual*> visuals(file.visuals.size(), nullptr);
        elements_.reserve(file.elements.size());
        for (const LetterElement& source : file.elements) {
            MElementVisual*& shared = visuals[static_cast<size_t>(source.visual)];
            MElement* element = scene_.createElement(shared, intern(source.name), false);
            elements_.push_back(element);
            if (!element)
                continue;
            if (!shared) {
                shared = element->visual;
                fillVisual(*element, file.visuals[static_cast<size_t>(source.visual)]);
            }
            fillElement(*element, source);
        }
        for (const auto& [child, parent] : file.parentLinks)
            if (MElement* element = elements_[static_cast<size_t>(child)])
                element->setParent(elements_[static_cast<size_t>(parent)]);
        for (const LetterGroup& source : file.groups) {
            Symbol* name = intern(source.name);
            MGroup* group = scene_.findGroup(name);
            if (!group)
                group = scene_.createGroup(name);
            for (int member : source.members)
                if (MElement* element = elements_[static_cast<size_t>(member)])
                    group->elements.push_back(element);
        }
    }

private:
    void fillElement(MElement& element, const LetterElement& source) {
        element.pivotX = source.pivotX;
        element.pivotY = source.pivotY;
        element.blendMode = source.blendMode;
        element.font = source.font;
        element.textAlign = source.textAlign;
        std::copy(std::begin(source.textColor), std::end(source.textColor), element.textColor);
        element.flags = source.outline ? (element.flags | kElementTextOutline) : (element.flags & ~kElementTextOutline);
        std::copy(std::begin(source.channels), std::end(source.channels), element.channels);
        if (source.textKey)
            element.members.set(sym::text_key(), Value::fromSymbol(intern(*source.textKey)));
    }

    void fillVisual(MElement& element, const LetterVisual& source) {
        MElementVisual& visual = *element.visual;
        visual.kindFlags = static_cast<uint16_t>((visual.kindFlags & ~kFileSwitches) | (source.switches & kFileSwitches));
        visual.width = source.widthGiven ? cameraSize(element, source.width, context_.app.settings.screenW) : 0;
        visual.height = source.heightGiven ? cameraSize(element, source.height, context_.app.settings.screenH) : 0;
        visual.waveColumns = source.waveColumns;
        visual.waveRows = source.waveRows;
        visual.waveSpeedX = source.waveSpeedX;
        visual.waveAmountX = source.waveAmountX;
        visual.waveSpeedY = source.waveSpeedY;
        visual.waveAmountY = source.waveAmountY;
        visual.startTime = source.startTime;
        visual.loopTime = source.loopTime;
        for (size_t channel = 0; channel < source.tracks.size(); ++channel)
            if (source.tracks[channel].count() > 0)
                visual.track(static_cast<int>(channel)) = source.tracks[channel];
        for (const std::string& spec : source.imageSpecs)
            readImage(visual, spec);
        for (const LetterPolygon& polygon : source.polygons)
            visual.polygons.push_back(hotspotPolygon(polygon));
        bool hintFromPolygons = false;
        if (source.polygonsFinished && !visual.polygons.empty()) {
            visual.finalizePolygons(context_.hotspotSizeIncrement);
            hintFromPolygons = visual.hasHotspot();
        }
        // The polygons' centre stands unless a W line came after them.
        if (!hintFromPolygons || source.hintSetX)
            visual.hintOffsetX = source.hintOffsetX;
        if (!hintFromPolygons || source.hintSetY)
            visual.hintOffsetY = source.hintOffsetY;
    }

    // A size the file gives the camera as zero is the screen's.
    static float cameraSize(const MElement& element, float size, float screen) {
        return element.name == sym::camera() && std::fabs(size) < 0.001f ? screen : size;
    }

    void readImage(MElementVisual& visual, const std::string& spec) {
        uint8_t ignoredBlend = 0; // the reader took it for the element
        ImageSpecContext image;
        std::string folder(scene_.folder->view());
        image.folder = folder.c_str();
        image.allowFolders = true;
        image.lazy = scene_.flags.system && !scene_.flags.play;
        image.label = scene_.name->text;
        image.blendTarget = &ignoredBlend;
        parseImageSpec(context_.resources, visual.image, spec.c_str(), image);
    }

    MScene& scene_;
    const SceneLoadContext& context_;
    std::vector<MElement*> elements_; // by position in the file; null when not created
};

} // namespace

void MScene::parseLetterScene(const SceneLoadContext& context, std::vector<Symbol*>& subScenes,
                              std::vector<SceneInstanceRequest>& instances) {
    if (!context.sceneText)
        return;
    const SceneText& content = context.sceneText(name);
    if (!content.text)
        return;
    std::string_view suffix = context.languageSuffix;
    LetterSceneSettings settings;
    settings.sceneName = name->view();
    settings.language = suffix.starts_with('_') ? suffix.substr(1) : suffix;
    settings.report = [](LetterMessage kind, const std::string& message) {
        if (kind == LetterMessage::ScriptError)
            scriptError("%s", message.c_str());
        else
            debugTrace("%s", message.c_str());
    };
    LetterScene file = readLetterScene(content.text.get(), static_cast<size_t>(content.size), settings);
    LetterSceneBuilder(*this, context).build(file);
    for (const std::string& scene : file.subScenes)
        subScenes.push_back(intern(scene));
    for (const LetterInstance& instance : file.instances)
        instances.push_back({intern(instance.element), intern(instance.scene)});
}

} // namespace glint

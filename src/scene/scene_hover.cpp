// Hover links: a highlight that fades in over ten ticks while the pointer
// is on its element, and the element's growth towards its hover scale.
#include <algorithm>

#include "scene/element.h"
#include "scene/scene.h"
#include "scene/scene_update_steps.h"
#include "script/value.h"

namespace glint {

namespace {

constexpr float kLevelStep = 0.1f;
constexpr float kNoLevel = 0.01f;
constexpr float kNoGrowth = 0.01f;

int16_t fadedOpacity(int16_t opacity, float level) {
    int64_t faded = roundToInteger(opacity * static_cast<double>(level));
    return static_cast<int16_t>(std::clamp<int64_t>(faded, -32767, 32767));
}

// True when the link has faded out after being deactivated.
bool stepLink(MHoverLink& link, const ScriptElement* target) {
    bool hovered = link.active && link.element->hasFlag(kElementVisible) && link.element == target;
    link.level = hovered ? std::min(1.0f, link.level + kLevelStep) : std::max(0.0f, link.level - kLevelStep);
    if (link.highlight)
        link.highlight->effectiveAlpha = fadedOpacity(link.highlight->effectiveAlpha, link.level);
    if (link.level <= kNoLevel)
        return !link.active;
    if (link.hoverScale > kNoGrowth) {
        float factor = (link.hoverScale - 1) * link.level + 1;
        link.element->absScaleX *= factor;
        link.element->absScaleY *= factor;
    }
    return false;
}

} // namespace

// Before the transforms, so that children grow with their element.
void updateHoverLinks(MScene& scene) {
    const ScriptElement* target = pointerTarget();
    std::vector<MHoverLink*>& links = scene.hoverLinks;
    for (size_t i = 0; i < links.size();) {
        if (!stepLink(*links[i], target)) {
            ++i;
            continue;
        }
        returnRecord(links[i]);
        links[i] = links.back();
        links.pop_back();
    }
}

void MScene::addHoverLink(MElement* element, MElement* highlight, float hoverScale) {
    if (!element)
        return;
    for (MHoverLink* link : hoverLinks)
        if (link->element == element)
            link->active = false;
    if (!highlight && hoverScale <= kNoGrowth)
        return;
    MHoverLink* link = takeRecord<MHoverLink>();
    link->element = element;
    link->highlight = highlight;
    link->hoverScale = hoverScale;
    hoverLinks.push_back(link);
}

void dropHoverLinks(MScene& scene, const MElement& element) {
    auto named = [&element](MHoverLink* link) {
        if (link->element != &element && link->highlight != &element)
            return false;
        returnRecord(link);
        return true;
    };
    auto& links = scene.hoverLinks;
    links.erase(std::remove_if(links.begin(), links.end(), named), links.end());
}

void releaseHoverLinks(MScene& scene) {
    for (MHoverLink* link : scene.hoverLinks) returnRecord(link);
    scene.hoverLinks.clear();
}

} // namespace glint

// What an element shows: image, size, hotspot polygons, wave and timing.
// Created with the first element that needs one and shared by the copies
// that templates and instances make of it; it lives while any element uses
// it.
#pragma once

#include <cstdint>
#include <vector>

#include "resource/image_anim.h"
#include "scene/element_polygon.h"
#include "scene/key_track.h"

namespace glint {

class MElement;
class MParticleSystem;
class MScene;
struct Symbol;

// Bits of MElementVisual::kindFlags.
constexpr uint16_t kVisualInheritAngle = 0x1;
constexpr uint16_t kVisualInheritScaleX = 0x2;
constexpr uint16_t kVisualInheritScaleY = 0x4;
constexpr uint16_t kVisualWavePinFirstColumn = 0x8;
constexpr uint16_t kVisualWavePinLastColumn = 0x10;
constexpr uint16_t kVisualWavePinFirstRow = 0x20;
constexpr uint16_t kVisualWavePinLastRow = 0x40;
constexpr uint16_t kVisualPortal = 0x80;
constexpr uint16_t kVisualParticleSystem = 0x100;
constexpr uint16_t kVisualMovie = 0x200;
constexpr uint16_t kVisualCropWindow = 0x400;
constexpr uint16_t kVisualInheritAll = kVisualInheritAngle | kVisualInheritScaleX | kVisualInheritScaleY;

constexpr int kMaxVisualPolygons = 100;

// The kind flags an element name gives its new visual: the prefix of the
// part after the last "$" (portal_, ps_, movie_, crop_), plus inheriting
// the parent's angle and scale.
uint16_t visualKindForName(const Symbol* name);

class MElementVisual {
public:
    MScene* ownerScene = nullptr;
    MElement* ownerElement = nullptr; // the first element
    uint16_t kindFlags = kVisualInheritAll;
    float width = 0, height = 0;
    int16_t hintOffsetX = 0, hintOffsetY = 0; // pixels x 16
    std::vector<MHotspotPolygon> polygons;
    uint8_t areaPolygonCount = 0; // exclusion polygons among them
    float hotspotArea = 0;        // the hotspot polygons' total area
    uint8_t waveColumns = 0, waveRows = 0; // 0: no wave
    float waveSpeedX = 1.0f, waveAmountX = 0.5f;
    float waveSpeedY = 1.0f, waveAmountY = 0.5f;
    MImageAnim image;
    MParticleSystem* particleSystem = nullptr;
    std::unique_ptr<MKeyTrackTable> tracks; // null until a channel has keys
    float startTime = 0, loopTime = 0; // seconds
    int32_t users = 0;                 // elements showing it

    uint8_t polygonCount() const { return static_cast<uint8_t>(polygons.size()); }
    bool hasHotspot() const { return areaPolygonCount < polygonCount(); }
    bool isParticleSystem() const { return kindFlags & kVisualParticleSystem; }
    // The track of a channel, creating the table on first use.
    MKeyTrack& track(int channel);

    // Appends a polygon of 3 to 100 points, closing it; false (nothing
    // added) for another count or when the visual already has 100.
    bool addPolygon(PolygonKind kind, const std::vector<PolygonPoint>& points);
    // Once the last polygon is read: grows every polygon by increment
    // pixels (not for particle systems, whose polygons are emission areas),
    // measures them, counts the exclusion ones and puts the hint offset on
    // the centre of the hotspot polygons' bounding box.
    void finalizePolygons(float increment);
};

} // namespace glint

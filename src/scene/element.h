// One element of a scene: a background, an object to find, a text, a
// particle effect, a movie, a hotspot, a crop window or the camera. Its
// eleven channels are what animation drives; its visual (shared with its
// copies) holds the image, size and polygons; scripts reach it through the
// property table of element_properties.cpp.
#pragma once

#include <cstdint>

#include "scene/element_records.h"
#include "scene/element_visual.h"
#include "script/host_objects.h"

namespace glint {

class MParticleInstance;
class MScene;

enum ElementChannel : int {
    kChannelX = 0,
    kChannelY = 1,
    kChannelZ = 2,
    kChannelScaleX = 3,
    kChannelScaleY = 4,
    kChannelAngle = 5,
    kChannelAlpha = 6,
    kChannelRed = 7,
    kChannelGreen = 8,
    kChannelBlue = 9,
    kChannelEmission = 10,
    kChannelCount = 11,
};

// Bits of MElement::flags. Bits 16 and above belong to the savegame writer.
constexpr uint32_t kElementKeepShown = 0x1; // stays shown at the end of a fade-out
constexpr uint32_t kElementVisible = 0x2;
constexpr uint32_t kElementActive = 0x4;
constexpr uint32_t kElementClockLoops = 0x8; // its time control reports no activity
constexpr uint32_t kElementArrayMember = 0x10;
constexpr uint32_t kElementPositionLocked = 0x40;
constexpr uint32_t kElementDepthLocked = 0x80;
constexpr uint32_t kElementAngleLocked = 0x100;
constexpr uint32_t kElementTinted = 0x200;
constexpr uint32_t kElementTextOutline = 0x400;
constexpr uint32_t kElementChangedByScript = 0x800;
constexpr uint32_t kElementHintable = 0x1000;
constexpr uint32_t kElementTimeRunning = 0x2000;
constexpr uint32_t kElementRuntime = 0x4000;
constexpr uint32_t kElementParentChanged = 0x8000;

// Bits of MElement::held: what the element holds for its open scene, so
// that closing gives back exactly that.
constexpr uint8_t kHeldTexture = 0x1;
constexpr uint8_t kHeldMovie = 0x2;

constexpr uint8_t kDefaultTextAlign = 17;
constexpr int16_t kOpaque = 1024; // alpha and effectiveAlpha of a fully opaque element

class MElement : public ScriptElement {
public:
    // A detached element; MScene::createElement gives it a scene and visual.
    MElement() = default;

    MScene* owner() const;

    // Sets the parent; an element on the new parent's chain whose parent is
    // this one is detached instead of closing a loop.
    void setParent(MElement* newParent);
    // Something the absolute transform depends on changed.
    void markTransformDirty();

    // The property table; other names are the element's own variables.
    bool getProperty(Symbol* key, Value& out) override;
    bool setProperty(Symbol* key, const Value& value) override;
    bool isClickable() const override;
    void markChangedByScript() override { flags |= kElementChangedByScript; }
    // The commands' view: the effect (_fx) forms keep nobody waiting.
    void scriptAnimate(int32_t from, int32_t to, float speed, bool effect) override;
    void scriptFade(bool fadeIn, int32_t ticks, bool effect) override;
    void scriptBlend(bool blendIn, int32_t ticks, bool effect) override;
    // The picture replaces the pixels of the texture it draws, until that
    // texture is loaded again; see element_picture.cpp.
    void replacePicture(const KImageInfo& info, const uint32_t* pixels) override;

    bool hasFlag(uint32_t flag) const { return (flags & flag) != 0; }

    // Offset and scale components (axis 0..2: x, y, z or uniform, x, y);
    // the records exist only while a component differs from the default.
    float offsetComponent(int axis) const;
    void setOffsetComponent(int axis, float value);
    float scaleComponent(int axis) const;
    void setScaleComponent(int axis, float value);
    // Joins or leaves the scene's typing list with the count's sign.
    void setCharsCount(float count);
    // Sets the speed of the running time control, or starts an open-ended
    // one on the scene's animated list.
    void setAnimSpeed(float speed);

    // Gives every record back to its pool.
    void dropRecords();

    // Plays the keyframes from `from` to `to` (ticks, at most 0; 0 to 0
    // runs the idle loop). Without loop, a scripted segment keeps its scene
    // busy until it ends.
    void animate(int32_t from, int32_t to, float speed, bool loop, ScriptTask* task, bool force);
    // One tick of the clock; false once the element leaves the animated list.
    bool advanceClock();
    // The channels the tracks give at the current time.
    void evaluateTracks(float halfWidth, float halfHeight);
    // Shows or hides at once, taking or dropping the images of an open scene.
    void setShown(bool shown);
    // A running fade-out would hide the element when it ends: it is dropped.
    void cancelPendingHide();
    // Channel overrides (lock is kElementPositionLocked, kElementDepthLocked
    // or kElementAngleLocked): while locked, the tracks leave the channels to
    // scripts. Released channels return to the tracks at the current time at
    // once; a running clock evaluates them on its next tick anyway.
    void overrideChannel(uint32_t lock, int channel, float value);
    void releaseOverride(uint32_t lock);
    // Its drawn image (of imageSource when set) has more than one frame.
    bool imageAnimates() const;
    // Plays the clock from 0 again: an idle loop when the image or the
    // keyframes loop, else just the pose at time 0.
    void restartImageAnimation();
    // Draws source's image from now on (null or itself: its own). The old
    // image's idle loop stops; in an open scene the new one starts.
    void setImageSource(MElement* source);
    // Attaches (w, h) in place of the visual's size, or drops the override.
    void setSizeOverride(float w, float h);
    void clearSizeOverride();
    // Fades in or out over duration ticks; with noWait nobody waits for it.
    void startFade(bool fadeIn, int32_t duration, bool noWait);
    void finishFade();
    // The same on the alpha property, without showing or hiding.
    void startBlend(bool blendIn, int32_t duration, bool noWait);
    void finishBlend();
    // The text it displays, or null when it has none (no usable font, or
    // neither "text" nor a localized "text_key"): the localized part
    // followed by "text" (a string, or an array's strings one per line).
    // Assembled in one shared buffer, valid until the next call.
    const char* text() const;
    // Adds the activity records of what scripts wait for on this element.
    void noteActivity(bool clockRuns);
    // Hit tests on the absolute transform (hit_test.cpp). hitTest takes a
    // point in this element's scene coordinates; hitsElement counts how
    // many of other's outline points hit (mode > 0: at least mode; 0: all;
    // -k: at most k misses); coversScreen: unrotated and covering the
    // whole game area.
    bool hitTest(float x, float y) const;
    bool hitsElement(const MElement& other, int mode) const;
    bool coversScreen() const;

    MElementVisual* visual = nullptr;
    int16_t position = 0; // in the scene's element list
    MElement* parent = nullptr;
    MElement* imageSource = nullptr; // draws this element's image instead (crop windows)
    int8_t stretch = 0;              // nine-part frame: > 0 around, < 0 inside
    uint8_t transformDirty = 1;
    uint8_t textAlign = kDefaultTextAlign;
    float channels[kChannelCount] = {0, 0, 0, 1, 1, 0, 1, 1, 1, 1, 1};
    int16_t parallaxX = 0, parallaxY = 0; // factor x 256; 0 means none
    float time = 0, previousTime = 0;     // ticks
    int16_t alpha = kOpaque;
    int16_t effectiveAlpha = kOpaque;
    MElementOffset* offset = nullptr;
    MElement* hotspot = nullptr;
    float charsCount = 0;
    int16_t charsSpeed = 0;  // characters per tick x 1024
    int16_t cameraScene = 0; // 1 + index of the scene whose camera draws it; 0: its own
    float absX = 0, absY = 0, absW = 0, absH = 0, absScaleX = 1, absScaleY = 1, absZ = 0, absAngle = 0;
    float pivotX = 0.5f, pivotY = 0.5f;
    MElementScale* scale = nullptr;
    MSizeOverride* sizeOverride = nullptr;
    MTimeControl* timeControl = nullptr;
    MFade* fade = nullptr;
    MBlend* blend = nullptr;
    MParticleInstance* particles = nullptr; // the running emitter of a ps_ element
    uint8_t blendMode = 0;
    uint8_t tint[3] = {255, 255, 255};
    uint8_t font = 0;
    uint8_t textColor[3] = {255, 255, 255};
    MElement* cropElement = nullptr;
    uint32_t flags = kElementVisible | kElementActive;
    uint8_t held = 0; // kHeld* bits
    Value* cell = nullptr;            // its variable in the scene's script class
    MElement* copiedFrom = nullptr;   // for a dynamic element: the element it copies
    int16_t drawIndex = 0;            // in the scene's drawList
    int16_t updateIndex = 0;          // in the scene's updateList
};

} // namespace glint

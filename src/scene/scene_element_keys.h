// The element keys of JSON scene files and what each one sets.
#pragma once

#include <rapidjson/document.h>

#include <cstddef>

namespace glint {

class MElement;
class MScene;
struct SceneLoadContext;

enum class ElementKey {
    None,
    Image,      // I
    Blend,      // i
    Flags,      // F
    Dimensions, // D
    Channel,    // X Y Z Sx Sy An A R G B Em
    Wave,       // S
    Text,       // T
    TextKey,    // Tk
    Hotspots,   // Hs
    Exclusions, // As
    HintOffset, // Hh
    Children,   // C
};

ElementKey elementKeyOf(const char* name, size_t length);

// Applies keys to one element of a scene being parsed.
class ElementKeyReader {
public:
    // A null element takes nothing.
    ElementKeyReader(MScene& scene, const SceneLoadContext& context, MElement* element)
        : scene_(scene), context_(context), element_(element) {}

    void apply(ElementKey key, const rapidjson::Value& value, const char* name, size_t length);
    // After the last polygon key: grow and measure the polygons.
    void finishPolygons();

private:
    void image(const rapidjson::Value& value);
    void flags(const rapidjson::Value& value);
    void dimensions(const rapidjson::Value& value);
    void channel(int channel, double scale, const rapidjson::Value& value);
    void keyframes(int channel, double scale, const rapidjson::Value& list);
    void wave(const rapidjson::Value& value);
    void text(const rapidjson::Value& value);
    void polygons(int kind, const rapidjson::Value& value);
    void hintOffset(const rapidjson::Value& value);

    MScene& scene_;
    const SceneLoadContext& context_;
    MElement* element_;
};

} // namespace glint

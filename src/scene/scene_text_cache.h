// Scene content files between their reading and their parsing: a scene
// copied into several others is read once per loading pass.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

namespace glint {

struct Symbol;
class MSceneRegistry;

struct SceneText {
    Symbol* name = nullptr;
    int32_t size = 0;
    std::unique_ptr<char[]> text; // zero-terminated; null when there is none
};

class SceneTextCache {
public:
    // The record for a scene name, reading "%s/_%s.%s" (folder, base name,
    // extension) on the first request. An unknown scene traces
    // "ERROR: Scene '%s' does not exist!" and gets a record without text.
    const SceneText& text(const MSceneRegistry& registry, const char* extension, Symbol* name);
    // Drops every record, so that a later request reads the file again.
    void release() { records_.clear(); }
    size_t size() const { return records_.size(); }

private:
    std::vector<std::unique_ptr<SceneText>> records_;
};

} // namespace glint

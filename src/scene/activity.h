// What keeps the game busy: gotos, opening and closing layers, scene
// transitions, animations that scripts started, fades and blends that
// scripts wait for. Navigation waits until a scene has none; the list is
// read and emptied once per tick, when navigation publishes the waiting
// state.
#pragma once

#include <vector>

namespace glint {

class MScene;
struct ScriptTask;
struct Symbol;

enum class ActivityKind {
    Animate, Fade, Blend, Animating, Fading, Blending,
    Goto, Open, Close, TransitionPlayScene, TransitionOpenedZz, TransitionOpenedItem,
};

// Navigation's own records name their scene but belong to none, so that
// they never make a scene busy.
struct ActivityRecord {
    MScene* scene = nullptr;
    ActivityKind kind = ActivityKind::Animate;
    Symbol* sceneName = nullptr;
    Symbol* elementName = nullptr;
    ScriptTask* task = nullptr;
};

class ActivityList {
public:
    void add(const ActivityRecord& record) { records_.push_back(record); }
    void clear() { records_.clear(); }
    bool busy(const MScene* scene) const;
    const std::vector<ActivityRecord>& records() const { return records_; }

private:
    std::vector<ActivityRecord> records_;
};

// The one list of the process.
ActivityList& sceneActivity();

} // namespace glint

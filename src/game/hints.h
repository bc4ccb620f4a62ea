// The hint engine: what the player should do next. It runs the tasks of
// the scenes in hint mode, where each enabled task on a visible element is
// weighed instead of run: the global "Show_hint" rates it (a task's own
// "on_hint" may change the rating), a task waiting for a blocker gives way
// to the blocker, a task behind a portal or an opening task gives way to
// that task, and an item out of the panel's view to the panel's scroll
// arrow. The search starts in the HUD and the active scene and spreads
// through portals and openable scenes; the best candidates win and equals
// are chosen at random.
//
// Candidates fall into eight lists, best first, by rating r (Show_hint x 10)
// and by name:
//   0: r >= 30   1: 20 to 29
//   2: 6 to 19, the rated task itself     3: 6 to 19, a zoom zone ("zz_")
//   4: 6 to 19, a task standing in for it 5: r <= 5
//   6: 6 to 19, a portal ("portal_")      7: r <= 5, a portal
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace glint {

class MInventory;
class MNavigation;
class MScene;
class MSceneRegistry;
struct ScriptTask;
struct Scope;
struct Value;

constexpr int kHintLists = 8;

class MHints {
public:
    // All must outlive the hint engine.
    MHints(MSceneRegistry& scenes, MNavigation& navigation, MInventory& inventory);
    ~MHints();
    MHints(const MHints&) = delete;
    MHints& operator=(const MHints&) = delete;

    // engine_request_hint: the search through the scenes; null when there
    // is nothing to hint.
    ScriptTask* request();
    // engine_request_hint_glitter: the active scene alone, every task that
    // leads elsewhere rated as it stands.
    ScriptTask* requestGlitter();

    // The hints pass: one enabled task with an element, weighed.
    void visit(ScriptTask* task);
    // A task that qualifies as a hint, with "Show_hint" as its rating.
    void rate(ScriptTask* task);

    // The candidate lists of the last request, for tests and tools.
    const std::vector<ScriptTask*>& list(int index) const { return lists_[index]; }

private:
    // A scene to search, reached through a task (null for the scenes the
    // search starts in).
    struct Record {
        ScriptTask* through = nullptr;
        MScene* scene = nullptr;
    };

    void clearLists();
    void search();
    void searchRecord(const Record& record);
    bool takeRecord(Record& out);
    void inventoryFallback();
    bool fallbackAllowed() const;
    bool closeUpDeclines(MScene& scene) const;
    ScriptTask* choose();
    // Where the task leads: a portal's scene (far) or a scene its handler
    // opens (near); null when it stays here.
    MScene* leadsTo(ScriptTask* task, bool& near) const;
    void queueScene(MScene* scene, ScriptTask* task, bool near);
    bool visited(const MScene* scene) const;
    // The blocker the candidate waits for, or null.
    static ScriptTask* blockerOf(const ScriptTask* task);
    // Reports a loop of blockers through first; false when there is none.
    bool reportBlockerLoop(ScriptTask* first) const;
    ScriptTask* scrollArrowFor(ScriptTask* candidate) const;
    void addCandidate(ScriptTask* candidate, int32_t rating, bool itself);
    Value& showHint() const;

    MSceneRegistry& scenes_;
    MNavigation& navigation_;
    MInventory& inventory_;
    std::vector<ScriptTask*> lists_[kHintLists];
    std::vector<ScriptTask*> rated_;
    std::vector<Record> near_, far_, visited_;
    Record current_;
    bool inRecord_ = false; // current_ is the record being searched
    size_t portalStartCount_ = 0;
    bool hintMode_ = false, glitter_ = false;
    bool requesting_ = false; // an "on_hint" asking for a hint gets none
    int depth_ = 0; // blockers weighed inside a rating
};

// The rating of a "Show_hint" value: x 10, rounded half away from zero; 0
// for anything but a number, the lowest 32-bit number outside that range.
int32_t hintRating(const Value& showHint);

} // namespace glint

// Weighing one task in hint mode: its rating, the task that stands in for
// it (blocker, portal or opening task, scroll arrow) and the list it joins.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>

#include "game/hints.h"
#include "game/inventory.h"
#include "scene/element.h"
#include "scene/scene.h"
#include "script/interpreter.h"
#include "script/script_error.h"
#include "script/script_system.h"

namespace glint {

namespace {

// Ratings reached through another task are capped, so that the way to a
// task never outranks what can be done where the player is.
constexpr int32_t kThroughRatingCap = 10;
// Hint mode weighs a chain of blockers task by task; a chain longer than
// this has come back on itself.
constexpr int kBlockerWalkLimit = 1024;
// "Show_hint" at or above this rates a task leading elsewhere as it stands.
constexpr double kRateAtOnce = 1.999;
constexpr double kHintableThreshold = 0.01;

bool startsWith(const ScriptTask* task, const char* prefix) {
    return task && task->name && std::strncmp(task->name->text, prefix, std::strlen(prefix)) == 0;
}

bool visibleElement(const ScriptTask* task) {
    const auto* element = dynamic_cast<const MElement*>(task->element);
    return element && element->hasFlag(kElementVisible);
}

double numberIn(const Value& value) { return value.isNumber() ? value.number : 0; }

} // namespace

int32_t hintRating(const Value& showHint) {
    if (!showHint.isNumber())
        return 0;
    double scaled = std::round(showHint.number * 10); // std::round rounds half away from zero
    if (!(scaled >= std::numeric_limits<int32_t>::min() && scaled <= std::numeric_limits<int32_t>::max()))
        return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(scaled);
}

Value& MHints::showHint() const {
    return *findVariable(script().global(), KindPlain, sym::Show_hint(), nullptr, true);
}

// A hintable task starts rated 1 and its own "on_hint" may change that; it
// must keep a rating to count. Other tasks count only for where they lead
// (or, in the glitter request, as the way there, rated 0).
void MHints::visit(ScriptTask* task) {
    if (!task || task->state != TaskEnabled || !visibleElement(task))
        return;
    Value& show = showHint();
    show = Value::fromNumber(task->hintable ? 1 : 0);
    if (const Value* own = task->members.get(sym::on_hint()); own && own->is(ValueType::Function))
        callTaskMember(task, sym::on_hint(), nullptr);
    const double value = numberIn(show);
    if (task->hintable && !(value > kHintableThreshold))
        return;
    bool near = false;
    MScene* target = value < kRateAtOnce ? leadsTo(task, near) : nullptr;
    if (target && !glitter_)
        queueScene(target, task, near);
    else if (target || task->hintable)
        rate(task);
}

ScriptTask* MHints::blockerOf(const ScriptTask* task) {
    if (task->blocker)
        return task->blocker;
    return task->parent ? task->parent->blocker : nullptr;
}

bool MHints::reportBlockerLoop(ScriptTask* first) const {
    std::vector<ScriptTask*> chain{first};
    for (ScriptTask* next = blockerOf(first); next; next = blockerOf(next)) {
        auto seen = std::find(chain.begin(), chain.end(), next);
        if (seen != chain.end() || chain.size() >= kBlockerWalkLimit) {
            // The loop proper: from the task met again round to it.
            auto start = seen != chain.end() ? seen : chain.begin();
            std::string text = "Infinite loop of blockers on task ";
            for (auto it = start; it != chain.end(); ++it)
                text += valueText(Value::fromPointer(ValueType::Task, *it)) + " -> ";
            text += valueText(Value::fromPointer(ValueType::Task, *start));
            scriptError("%s", text.c_str());
            return true;
        }
        chain.push_back(next);
    }
    return false;
}

void MHints::rate(ScriptTask* task) {
    if (!task)
        return;
    task->hintTarget = nullptr;
    int32_t rating = hintRating(showHint());
    ScriptTask* candidate = task;
    if (inRecord_ && current_.through) {
        candidate = current_.through;
        candidate->hintTarget = task;
        rating = std::min(rating, kThroughRatingCap);
    }
    for (int steps = 0;; ++steps) {
        ScriptTask* blocker = blockerOf(candidate);
        if (!blocker)
            break;
        if (blocker->state == TaskDisabled)
            return;
        if (blocker->state != TaskEnabled)
            break;
        if (hintMode_ && blocker->hintable) {
            if (reportBlockerLoop(blocker) || depth_ >= kBlockerWalkLimit)
                return;
            ++depth_;
            visit(blocker); // the blocker's own conditions decide
            --depth_;
            return;
        }
        // Blockers that hint mode does not weigh stand in as they are; a
        // chain of them that closes on itself is reported, not followed.
        if (steps >= kBlockerWalkLimit) {
            reportBlockerLoop(candidate);
            return;
        }
        candidate = blocker;
    }
    candidate = scrollArrowFor(candidate);
    if (std::find(rated_.begin(), rated_.end(), task) != rated_.end())
        return;
    rated_.push_back(task);
    addCandidate(candidate, rating, candidate == task);
}

// An item whose panel does not show it now is reached through the arrow
// that scrolls towards it.
ScriptTask* MHints::scrollArrowFor(ScriptTask* candidate) const {
    for (const std::unique_ptr<InventoryItem>& item : inventory_.items) {
        if (item->clickTask != candidate || !item->panel || !item->inPanel())
            continue;
        const InventoryPanel& panel = *item->panel;
        const int32_t fromFirst = item->slot - panel.firstVisible;
        if (fromFirst < 0 && panel.leftTask)
            return panel.leftTask;
        if (fromFirst > inventory_.layout.visibleItems - 1 && panel.rightTask)
            return panel.rightTask;
        break;
    }
    return candidate;
}

void MHints::addCandidate(ScriptTask* candidate, int32_t rating, bool itself) {
    const bool portal = startsWith(candidate, "portal_");
    const bool zoom = !portal && startsWith(candidate, "zz_");
    int list;
    if (rating >= 30)
        list = 0;
    else if (rating >= 20)
        list = 1;
    else if (rating >= 6)
        list = portal ? 6 : zoom ? 3 : itself ? 2 : 4;
    else
        list = portal ? 7 : 5;
    std::vector<ScriptTask*>& entries = lists_[list];
    if (std::find(entries.begin(), entries.end(), candidate) == entries.end())
        entries.push_back(candidate);
}

} // namespace glint

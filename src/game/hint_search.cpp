// The hint search: from the HUD and the active scene through portals and
// openable scenes, then the items in the inventory, then the choice among
// the best candidates.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "engine/system/numbers.h"
#include "game/hints.h"
#include "game/inventory.h"
#include "game/navigation.h"
#include "scene/element.h"
#include "scene/scene.h"
#include "scene/scene_registry.h"
#include "script/commands.h"
#include "script/interpreter.h"
#include "script/script_system.h"

namespace glint {

namespace {

constexpr double kBlockedScene = 0.001;
constexpr int kMaxOpenDepth = 16; // nesting of if and for blocks searched for open

bool numberAbove(const Value* cell, double limit) { return cell && cell->isNumber() && cell->number > limit; }
bool numberAtLeast(const Value& cell, double limit) { return cell.isNumber() && cell.number >= limit; }

MScene* sceneOf(const Value& value) {
    if (!value.is(ValueType::Scene) || !value.pointer)
        return nullptr;
    return dynamic_cast<MScene*>(value.as<ScriptScene>());
}

bool opensAsHintTarget(const MScene* scene) {
    return scene && (scene->flags.main || scene->flags.zoomScene || scene->flags.zoomZone || scene->flags.item);
}

// The first scene an open statement of the block (or of a block inside it)
// names.
MScene* openedIn(Block* block, int depth) {
    if (!block || depth > kMaxOpenDepth)
        return nullptr;
    ScriptSystem& s = script();
    for (NodeRef ref = block->first; !ref.empty();) {
        Statement statement = s.store.statement(ref);
        if (statement.command() == KwOpen && statement.written() >= 1) {
            if (MScene* scene = sceneOf(readCell(*statement.arg(0))); opensAsHintTarget(scene))
                return scene;
        }
        if (MScene* inner = openedIn(statement.block(), depth + 1))
            return inner;
        ref = statement.info().next;
    }
    return nullptr;
}

const char* elementName(const ScriptTask* task) {
    return task && task->element && task->element->name ? task->element->name->text : "";
}

// A portal back to the scene the player came from.
bool leadsBack(const ScriptTask* task, const MScene* previous) {
    const char* name = elementName(task);
    return previous && previous->name && std::strncmp(name, "portal_", 7) == 0 &&
           std::strcmp(name + 7, previous->name->text) == 0;
}

} // namespace

MHints::MHints(MSceneRegistry& scenes, MNavigation& navigation, MInventory& inventory)
    : scenes_(scenes), navigation_(navigation), inventory_(inventory) {}

MHints::~MHints() = default;

void MHints::clearLists() {
    for (std::vector<ScriptTask*>& entries : lists_)
        entries.clear();
    rated_.clear();
}

MScene* MHints::leadsTo(ScriptTask* task, bool& near) const {
    const char* name = elementName(task);
    if (std::strncmp(name, "portal_", 7) == 0) {
        if (MScene* scene = scenes_.find(intern(name + 7))) {
            near = false;
            return scene;
        }
    }
    if (task->handler && task->handler->impl == FunctionImpl::Script) {
        Statement body = script().store.statement(task->handler->body);
        if (MScene* scene = openedIn(body.block(), 0)) {
            near = true;
            return scene;
        }
    }
    return nullptr;
}

bool MHints::visited(const MScene* scene) const {
    return std::any_of(visited_.begin(), visited_.end(), [scene](const Record& r) { return r.scene == scene; });
}

// The way to the scene is the task that started the way from the scenes
// the search began in.
void MHints::queueScene(MScene* scene, ScriptTask* task, bool near) {
    if (!inRecord_ || numberAbove(scene->readBack.isBlocked, kBlockedScene) || visited(scene))
        return;
    Record record{current_.through ? current_.through : task, scene};
    (near ? near_ : far_).push_back(record);
}

bool MHints::takeRecord(Record& out) {
    std::vector<Record>& queue = !near_.empty() ? near_ : far_;
    if (queue.empty())
        return false;
    out = queue.front();
    queue.front() = queue.back();
    queue.pop_back();
    return true;
}

void MHints::searchRecord(const Record& record) {
    current_ = record;
    inRecord_ = true;
    updateTasks(record.scene->scope, TaskPass::Hints);
    inRecord_ = false;
    current_ = Record{};
}

void MHints::search() {
    near_.clear();
    far_.clear();
    visited_.clear();
    clearLists();
    portalStartCount_ = 0;
    if (navigation_.hudAllowed(0.5f) && navigation_.hud)
        far_.push_back({nullptr, navigation_.hud});
    far_.push_back({nullptr, navigation_.activeScene ? navigation_.activeScene : navigation_.playScene});
    hintMode_ = true;
    bool nearOnly = false; // something good was found: only the scenes close by remain
    for (Record record; !(nearOnly && near_.empty()) && takeRecord(record);) {
        visited_.push_back(record);
        auto listed = [&record](const std::vector<ScriptTask*>& l) {
            return std::find(l.begin(), l.end(), record.through) != l.end();
        };
        if (record.through && (listed(lists_[6]) || listed(lists_[7])))
            continue;
        searchRecord(record);
        if (!record.through)
            portalStartCount_ = lists_[6].size();
        if (!lists_[0].empty()) {
            hintMode_ = false;
            return;
        }
        if (!lists_[1].empty())
            break;
        if (!lists_[2].empty() || !lists_[3].empty() || !lists_[4].empty())
            nearOnly = true;
    }
    inventoryFallback();
    hintMode_ = false;
}

bool MHints::fallbackAllowed() const {
    for (int list = 0; list <= 5; ++list)
        if (!lists_[list].empty())
            return false;
    const MScene* play = navigation_.playScene;
    const MScene* active = navigation_.activeScene ? navigation_.activeScene : play;
    return play && inventory_.usableIn(*play) && navigation_.hudAllowed(0.5f) &&
           !numberAtLeast(play->cells.noInventory, 0.5) &&
           !(active && numberAbove(active->readBack.inventoryHidden, 0.5));
}

// The close-up's "on_hint", when it has one, may say there is nothing to do.
bool MHints::closeUpDeclines(MScene& scene) const {
    const Value* onHint = findVariable(scene.scope, KindFunction, sym::on_hint(), nullptr, false);
    if (!onHint || !onHint->is(ValueType::Function) || !onHint->pointer ||
        onHint->as<ScriptFunction>()->impl == FunctionImpl::None)
        return false;
    showHint() = Value::fromNumber(0);
    callDefinedFunction(onHint->as<ScriptFunction>(), nullptr, 0);
    return showHint().isNumber() && showHint().number < 0.01;
}

// Nothing to do in the scenes: an item in the inventory may still offer
// something in its close-up, or be the item the game insists on.
void MHints::inventoryFallback() {
    if (!fallbackAllowed())
        return;
    const bool forcedTask = inventory_.forcedTask.is(ValueType::Task) && inventory_.forcedTask.pointer;
    InventoryItem* forcedItem = nullptr;
    if (inventory_.forcedItem.is(ValueType::Item) && inventory_.forcedItem.pointer)
        forcedItem = dynamic_cast<InventoryItem*>(inventory_.forcedItem.as<ScriptItem>());
    const bool forcedPresent = forcedItem && forcedItem->count > 0;
    if (forcedTask && !forcedPresent)
        return;
    const MScene* active = navigation_.activeScene ? navigation_.activeScene : navigation_.playScene;
    for (const std::unique_ptr<InventoryItem>& x : inventory_.items) {
        if (!x->hasPieces())
            continue;
        if (forcedPresent) {
            if (x.get() == forcedItem && x->clickTask)
                rate(x->clickTask);
            continue;
        }
        MScene* scene = x->itemScene;
        if (!scene || scene == active || closeUpDeclines(*scene))
            continue;
        const MScene* owner = nullptr;
        if (x->clickTask && x->clickTask->scope)
            owner = dynamic_cast<const MScene*>(x->clickTask->scope->scene());
        if (!owner || !owner->flags.system)
            continue;
        Record record{x->clickTask, scene};
        visited_.push_back(record);
        searchRecord(record);
    }
}

ScriptTask* MHints::choose() {
    for (int list = 0; list < kHintLists; ++list) {
        std::vector<ScriptTask*>& entries = lists_[list];
        if (entries.empty())
            continue;
        size_t n = entries.size();
        if (list == 6 && portalStartCount_ > 0) {
            n = std::min(n, portalStartCount_);
        } else if ((list == 6 || list == 7) && n >= 2) {
            // The way back is offered only when it is the only way.
            const MScene* previous = navigation_.previousPlayScene;
            auto back = [previous](const ScriptTask* t) { return leadsBack(t, previous); };
            if (!std::all_of(entries.begin(), entries.end(), back))
                entries.erase(std::remove_if(entries.begin(), entries.end(), back), entries.end());
            n = entries.size();
        }
        const auto index = static_cast<size_t>(std::floor(random() * (static_cast<double>(n) - 1 + 0.999)));
        return entries[std::min(index, n - 1)];
    }
    return nullptr;
}

ScriptTask* MHints::request() {
    if (requesting_ || (!navigation_.activeScene && !navigation_.playScene))
        return nullptr;
    requesting_ = true;
    search();
    near_.clear();
    far_.clear();
    visited_.clear();
    requesting_ = false;
    return choose();
}

ScriptTask* MHints::requestGlitter() {
    MScene* active = navigation_.activeScene ? navigation_.activeScene : navigation_.playScene;
    if (requesting_ || !active)
        return nullptr;
    requesting_ = true;
    clearLists();
    hintMode_ = glitter_ = true;
    searchRecord({nullptr, active});
    hintMode_ = glitter_ = false;
    requesting_ = false;
    return choose();
}

} // namespace glint

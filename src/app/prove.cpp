#include "app/prove.h"

#include <cmath>
#include <filesystem>

#include "app/engine.h"
#include "script/array_object.h"
#include "game/hints.h"
#include "game/inventory.h"
#include "game/picking.h"
#include "scene/element.h"
#include "scene/element_geometry.h"
#include "scene/scene.h"
#include "script/script_system.h"

namespace glint {

namespace {

constexpr int kSettleFrames = 20;       // quiet frames before the next hint
constexpr int kStepGap = 15;            // frames between the clicks of a step
constexpr int kNoHintLimit = 3;
constexpr int kRepeatLimit = 10;
constexpr int kUnsettledLimit = 6000;   // a game busy this long is stuck

struct ScreenPoint {
    int x = 0, y = 0;
};

// Where a point of the scene shows in the game area (the inverse of the
// pointer's way into the scene).
ScreenPoint onScreen(const MScene* scene, float x, float y) {
    if (!scene)
        return {static_cast<int>(std::lround(x)), static_cast<int>(std::lround(y))};
    const SceneCamera& c = scene->camera;
    return {static_cast<int>(std::lround((x - c.halfW + c.offsetX) * c.scaleX + c.halfW + c.shiftX)),
            static_cast<int>(std::lround((y - c.halfH + c.offsetY) * c.scaleY + c.halfH + c.shiftY))};
}

// The element's hotspot centre: its hint offset turned with it.
ScreenPoint hotspotCentre(const MElement& element) {
    const MElement& shape = element.hotspot ? *element.hotspot : element;
    float x = shape.absX, y = shape.absY;
    if (shape.visual) {
        const float dx = shape.visual->hintOffsetX / 16.0f * shape.absScaleX;
        const float dy = shape.visual->hintOffsetY / 16.0f * shape.absScaleY;
        const SinCos turn = tableSinCos(shape.absAngle);
        x += dx * turn.cos + dy * turn.sin;
        y += dy * turn.cos - dx * turn.sin;
    }
    return onScreen(shape.owner(), x, y);
}

InventoryItem* itemOf(const Value& value) {
    return value.is(ValueType::Item) && value.pointer ? dynamic_cast<InventoryItem*>(value.as<ScriptItem>()) : nullptr;
}

MElement* elementOf(const Value& value) {
    return value.is(ValueType::Element) && value.pointer ? dynamic_cast<MElement*>(value.as<ScriptElement>()) : nullptr;
}

// The object a use task accepts: itself, or the first of an array's.
Value wantedObject(const ScriptTask& task) {
    const Value& wanted = task.description ? task.description->usingObject : Value();
    if (!wanted.is(ValueType::Array) || !wanted.pointer)
        return wanted;
    for (Value* cell : wanted.as<ArrayObject>()->items)
        if (cell && (itemOf(*cell) || elementOf(*cell)))
            return *cell;
    return Value();
}

std::string at(ScreenPoint p) { return std::to_string(p.x) + " " + std::to_string(p.y); }

} // namespace

ProveDriver::ProveDriver(const ProveOptions& options, std::vector<ScriptedInput> inputs, std::FILE* out)
    : HeadlessDriver(options.player, std::move(inputs)), maxSteps_(options.steps), out_(out) {
    // Like shot paths, the folder counts from where the player started.
    std::error_code error;
    if (!options.shotsDir.empty())
        shotsDir_ = std::filesystem::absolute(options.shotsDir, error).string();
    // A step's picture is chosen only once its frame has been drawn.
    drawsEveryFrame = !shotsDir_.empty();
}

// Quiet includes the flights of found things: an item still on its way
// into the panel cannot be taken from it yet.
bool ProveDriver::ready(const MEngine& engine) const {
    const MScene* active = engine.activeScene();
    return engine.phase == 0 && engine.active() && !engine.waiting && !engine.endRequested && active &&
           active->flags.gameplay && !(engine.picking && engine.picking->running());
}

void ProveDriver::beginFrame(int frame) {
    HeadlessDriver::beginFrame(frame);
    for (size_t i = 0; i < pending_.size();) {
        if (pending_[i].frame == frame) {
            play(pending_[i].input);
            pending_.erase(pending_.begin() + static_cast<long>(i));
        } else {
            ++i;
        }
    }
    MEngine* running = engine();
    if (status_ >= 0 || !pending_.empty() || frame <= lastInputFrame() || !running)
        return;
    if (!ready(*running)) {
        idleFrames_ = 0;
        if (proving_ && ++unsettledFrames_ > kUnsettledLimit)
            end(1, "stuck after " + std::to_string(steps_) + " steps in " + sceneName(*running) +
                       ": the game never settled");
        return;
    }
    unsettledFrames_ = 0;
    if (++idleFrames_ < kSettleFrames)
        return;
    if (proving_ && !shotsDir_.empty() && shotWritten_ < steps_) {
        shotWanted_ = steps_; // this frame's picture; the next step waits a frame
        return;
    }
    proving_ = true;
    idleFrames_ = 0;
    step(*running, frame);
}

std::string ProveDriver::sceneName(const MEngine& engine) const {
    const MScene* active = engine.activeScene();
    return active && active->name ? active->name->text : "(none)";
}

std::vector<int32_t> ProveDriver::taskStates() const {
    std::vector<int32_t> states;
    for (ScriptScene* scene : script().scenes)
        for (ScriptTask* task : scene->scope.tasks) {
            states.push_back(task->state);
            if (task->instances)
                for (Value* cell : task->instances->items)
                    if (cell && cell->is(ValueType::Task))
                        states.push_back(cell->as<ScriptTask>()->state);
        }
    return states;
}

void ProveDriver::step(MEngine& engine, int frame) {
    if (steps_ >= maxSteps_) {
        end(1, "stuck after " + std::to_string(steps_) + " steps in " + sceneName(engine) + ": no end within " +
                   std::to_string(maxSteps_) + " steps");
        return;
    }
    ScriptTask* task = engine.hints->request();
    std::vector<int32_t> states = taskStates();
    if (!task) {
        if (++noHint_ >= kNoHintLimit)
            end(1, "stuck after " + std::to_string(steps_) + " steps in " + sceneName(engine) + ": no hint");
        return;
    }
    noHint_ = 0;
    repeats_ = task == lastHint_ && states == lastStates_ ? repeats_ + 1 : 1;
    lastHint_ = task;
    lastStates_ = std::move(states);
    if (repeats_ >= kRepeatLimit) {
        end(1, "stuck after " + std::to_string(steps_) + " steps in " + sceneName(engine) + ": the hint " +
                   task->name->text + " changes nothing");
        return;
    }
    ++steps_;
    std::string done = perform(engine, task, frame + 1);
    std::fprintf(out_, "step %d in %s: %s: %s\n", steps_, sceneName(engine).c_str(), task->name->text,
                 done.empty() ? "nothing to click" : done.c_str());
    std::fflush(out_);
}

void ProveDriver::click(int frame, int x, int y) {
    ScriptedInput move;
    move.verb = "move";
    move.x = x;
    move.y = y;
    ScriptedInput down;
    down.verb = "down";
    ScriptedInput up;
    up.verb = "up";
    pending_.push_back({frame, move});
    pending_.push_back({frame + 1, down});
    pending_.push_back({frame + 2, up});
}

// The clicks that take what a use task needs: from the panel (after the
// arrow has scrolled it into view: "scroll to ..." is the whole step) or
// from the scene. "" when there is nothing to take.
std::string ProveDriver::takeObject(MEngine& engine, const ScriptTask& task, int frame) {
    const Value wanted = wantedObject(task);
    if (InventoryItem* item = itemOf(wanted); item && item->panel) {
        const InventoryPanel& panel = *item->panel;
        const int32_t fromFirst = item->slot - panel.firstVisible;
        ScriptTask* arrow = nullptr;
        if (fromFirst < 0)
            arrow = panel.leftTask;
        else if (fromFirst > engine.inventory->layout.visibleItems - 1)
            arrow = panel.rightTask;
        if (const auto* arrowElement = arrow ? dynamic_cast<const MElement*>(arrow->element) : nullptr) {
            const ScreenPoint p = hotspotCentre(*arrowElement);
            click(frame, p.x, p.y);
            return "scroll to " + std::string(item->name->text) + " at " + at(p);
        }
        const ScreenPoint p =
            onScreen(engine.navigation->hud, static_cast<float>(item->x), static_cast<float>(item->y));
        click(frame, p.x, p.y);
        return "take " + std::string(item->name->text) + " at " + at(p);
    }
    if (const MElement* object = elementOf(wanted)) {
        const ScreenPoint p = hotspotCentre(*object);
        click(frame, p.x, p.y);
        return "take " + std::string(object->name->text) + " at " + at(p);
    }
    return "";
}

std::string ProveDriver::perform(MEngine& engine, ScriptTask* task, int frame) {
    const auto* element = dynamic_cast<const MElement*>(task->element);
    if (!element)
        return "";
    const ScreenPoint target = hotspotCentre(*element);
    if (task->interaction == 3) {
        const std::string taken = takeObject(engine, *task, frame);
        if (taken.rfind("scroll to ", 0) == 0)
            return taken; // the next hint comes back to the task
        if (!taken.empty()) {
            click(frame + kStepGap, target.x, target.y);
            return taken + ", use on " + at(target);
        }
    }
    click(frame, target.x, target.y);
    return "click " + at(target);
}

void ProveDriver::end(int status, const std::string& line) {
    if (status_ >= 0)
        return;
    status_ = status;
    std::fprintf(out_, "%s\n", line.c_str());
    std::fflush(out_);
}

void ProveDriver::framePresented(int frame, KGameWindow& window) {
    HeadlessDriver::framePresented(frame, window);
    MEngine* running = engine();
    const bool ended = proving_ && status_ < 0 && (!running || running->endRequested);
    if (ended && !shotsDir_.empty())
        shotWanted_ = steps_; // the picture the last step left
    if (shotWanted_ > shotWritten_) {
        std::error_code error;
        std::filesystem::create_directories(shotsDir_, error);
        char name[32];
        std::snprintf(name, sizeof name, "step-%04d.png", shotWanted_);
        writeShot(window, (std::filesystem::path(shotsDir_) / name).string());
        shotWritten_ = shotWanted_;
    }
    if (ended)
        end(0, "finished in " + std::to_string(steps_) + " steps");
}

bool ProveDriver::finished(int frame) { return status_ >= 0 || HeadlessDriver::finished(frame); }

} // namespace glint

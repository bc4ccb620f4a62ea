// The task state machine, signals and the per-update passes.
#include <algorithm>

#include "script/array_object.h"
#include "script/commands.h"
#include "script/declarations.h"
#include "script/interpreter.h"
#include "script/script_error.h"

namespace glint {

Symbol* taskStateName(int32_t state) {
    switch (state) {
    case TaskDisabled: return sym::Disabled();
    case TaskEnabled: return sym::Enabled();
    case TaskCompleted: return sym::Completed();
    case TaskIgnored: return sym::Ignored();
    case TaskExecuted: return sym::Executed();
    default: return sym::empty();
    }
}

namespace {

void forEachInstance(ScriptTask* parent, void (*f)(ScriptTask*, int32_t), int32_t state) {
    if (!parent->instances) return;
    for (Value* cell : parent->instances->items)
        if (cell && cell->is(ValueType::Task)) f(cell->as<ScriptTask>(), state);
}

void storeState(ScriptTask* task, int32_t state) {
    if (task->state != TaskExecuted) task->oldState = task->state;
    task->state = state;
}

// An instance moves its parent: Enabled at once, other states when every
// instance that is not Ignored agrees.
void propagateToParent(ScriptTask* instance) {
    ScriptTask* parent = instance->parent;
    if (!parent) return;
    int32_t state = instance->state;
    if (state == TaskEnabled) {
        storeState(parent, TaskEnabled);
        return;
    }
    if (parent->instances)
        for (Value* cell : parent->instances->items) {
            if (!cell || !cell->is(ValueType::Task)) continue;
            ScriptTask* sibling = cell->as<ScriptTask>();
            if (sibling->state != TaskIgnored && sibling->state != state) return;
        }
    storeState(parent, state);
}

void propagate(ScriptTask* task) {
    if (task->isInstance)
        propagateToParent(task);
    else
        forEachInstance(task, [](ScriptTask* instance, int32_t state) { storeState(instance, state); }, task->state);
    Value argument = Value::fromPointer(ValueType::Task, task);
    callGlobalEvent(sym::on_task_state(), &argument);
}

} // namespace

void setTaskState(ScriptTask* task, int32_t state) {
    if (!task) return;
    storeState(task, state);
    if (state != TaskExecuted) propagate(task);
}

void executeTask(ScriptTask* task) {
    if (!task) return;
    ScriptSystem& s = script();
    Value savedItem = s.ctx.item;
    if (task->interaction == 3) s.ctx.item = s.pointer.dropped;
    if (task->state != TaskExecuted) task->oldState = task->state;
    task->state = TaskExecuted;
    Value argument = Value::fromPointer(ValueType::Task, task);
    callGlobalEvent(sym::on_task_executed(), &argument);
    if (task->handler) callFunction(task->handler, nullptr, s.stack + s.top, 0, false);
    if (task->state == TaskExecuted) {
        bool mandatory = task->description && task->description->mandatory;
        if (mandatory)
            scriptError("State of task %s in script %s is invalid!", task->name->text,
                        task->scope ? task->scope->sceneName() : "");
        task->state = mandatory ? TaskCompleted : TaskEnabled;
        propagate(task);
    }
    s.ctx.item = savedItem;
}

namespace {

bool handlerCondition(Statement statement) {
    int written = statement.written();
    if (written < 2) return true;
    Value second = readCell(*statement.arg(1));
    if (!second.isString() || second.symbol() != sym::if_()) return true;
    ScriptSystem& s = script();
    int count = written - 2;
    if (s.top + count > kValueStackCells) return false;
    Value* values = s.stack + s.top;
    for (int i = 0; i < count; ++i) values[i] = readCell(*statement.arg(i + 2));
    s.top += count;
    bool result = evalCondition(values, count);
    s.top -= count;
    return result;
}

} // namespace

void raiseSignal(ScriptSignal* signal) {
    if (!signal) return;
    ScriptSystem& s = script();
    for (SignalHandler* handler = signal->handlers; handler; handler = handler->next) {
        Statement statement = s.store.statement(handler->node);
        ExecContext saved = s.ctx;
        s.ctx.scope = signal->scope;
        s.ctx.scene = Value::fromPointer(ValueType::Scene, signal->scope ? signal->scope->scene() : nullptr);
        if (handler->task) {
            s.ctx.task = Value::fromPointer(ValueType::Task, handler->task);
            s.ctx.element = taskElement(handler->task);
        }
        setScriptErrorScope(s.ctx.scope);
        if (handlerCondition(statement)) runBlock(statement.block(), nullptr, 0, false);
        s.ctx = saved;
        setScriptErrorScope(s.ctx.scope);
    }
}

// --- Delayed calls and blocks ---------------------------------------------

void addDelayedCall(Scope& scope, int32_t ticks, const Value& target, const Value* arguments, int count) {
    DelayedCall* call = script().newDelayedCall();
    call->scope = &scope;
    call->remaining = ticks;
    call->target = target;
    call->arguments.assign(arguments, arguments + count);
    scope.delayedCalls.push_back(call);
}

void addDelayedBlock(Scope& scope, int32_t ticks, Block* block) {
    ScriptSystem& s = script();
    DelayedBlock* delayed = s.newDelayedBlock();
    delayed->scope = &scope;
    delayed->remaining = ticks;
    delayed->block = block;
    delayed->task = s.ctx.task;
    delayed->element = s.ctx.element;
    delayed->self = s.ctx.self;
    delayed->root = s.ctx.root;
    int slots = s.ctx.root ? s.ctx.root->localCount : 0;
    if (s.ctx.frame)
        delayed->frame.assign(s.ctx.frame, s.ctx.frame + slots);
    else
        delayed->frame.clear();
    scope.delayedBlocks.push_back(delayed);
}

void abortDelayedCalls(Scope& scope, const Value& target) {
    auto& calls = scope.delayedCalls;
    for (size_t i = calls.size(); i-- > 0;) {
        DelayedCall* call = calls[i];
        bool same = call->target.type() == target.type() && call->target.pointer == target.pointer;
        if (!same && target.is(ValueType::Method) && call->target.is(ValueType::Method)) {
            ScriptMethod* a = target.as<ScriptMethod>();
            ScriptMethod* b = call->target.as<ScriptMethod>();
            same = a->function == b->function && a->instance == b->instance;
        }
        if (!same) continue;
        calls.erase(calls.begin() + static_cast<long>(i));
        script().releaseDelayedCall(call);
    }
}

void runDelayedBlocks(Scope& scope) {
    ScriptSystem& s = script();
    auto& blocks = scope.delayedBlocks;
    for (DelayedBlock* delayed : blocks) --delayed->remaining;
    // The last one found runs first; each is removed before it runs.
    for (size_t i = blocks.size(); i-- > 0;) {
        if (i >= blocks.size() || blocks[i]->remaining > 0) continue;
        DelayedBlock* delayed = blocks[i];
        blocks.erase(blocks.begin() + static_cast<long>(i));
        int slots = static_cast<int>(delayed->frame.size());
        if (s.top + slots <= kValueStackCells) {
            ExecContext saved = s.ctx;
            s.ctx.scope = delayed->scope;
            s.ctx.scene = Value::fromPointer(ValueType::Scene, delayed->scope->scene());
            s.ctx.task = delayed->task;
            s.ctx.element = delayed->element;
            s.ctx.self = delayed->self;
            setScriptErrorScope(s.ctx.scope);
            // The block runs in a copy of the frame it was written in.
            Value* frame = s.stack + s.top;
            std::copy(delayed->frame.begin(), delayed->frame.end(), frame);
            int savedTop = s.top;
            s.top += slots;
            // An after written in this block copies the same frame again.
            s.ctx.root = delayed->root;
            s.ctx.frame = frame;
            s.ctx.loopDepth = 0;
            runPlainBlock(delayed->block);
            s.top = savedTop;
            s.ctx = saved;
            setScriptErrorScope(s.ctx.scope);
        }
        s.releaseDelayedBlock(delayed);
    }
}

void runDelayedCalls(Scope& scope) {
    ScriptSystem& s = script();
    // Results that worker threads finished: the first pass of an update
    // takes them all and calls them with its own.
    s.downloads.deliver(scope);
    auto& calls = scope.delayedCalls;
    for (DelayedCall* call : calls) --call->remaining;
    for (size_t i = calls.size(); i-- > 0;) {
        if (i >= calls.size() || calls[i]->remaining > 0) continue;
        DelayedCall* call = calls[i];
        calls.erase(calls.begin() + static_cast<long>(i));
        int count = static_cast<int>(call->arguments.size());
        if (s.top + count + 32 <= kValueStackCells) {
            ExecContext saved = s.ctx;
            s.ctx.scope = &scope;
            s.ctx.scene = Value::fromPointer(ValueType::Scene, scope.scene());
            Value* args = s.stack + s.top;
            std::copy(call->arguments.begin(), call->arguments.end(), args);
            s.top += count;
            callValue(call->target, args, count);
            s.top -= count;
            s.ctx = saved;
        }
        s.releaseDelayedCall(call);
    }
}

void countDownSignals(Scope& scope) {
    for (ScriptSignal* signal : scope.signals) {
        if (signal->countdown <= 0) continue;
        Value* paused = signal->members.get(sym::paused());
        if (paused && paused->isNumber() && paused->number > 0.5) continue;
        if (--signal->countdown == 0) raiseSignal(signal);
    }
}

// --- Hover and task passes --------------------------------------------------

bool callTaskMember(ScriptTask* task, Symbol* name, const Value* argument) {
    Value* cell = task->members.get(name);
    if (!cell) return false;
    ScriptSystem& s = script();
    if (s.top + 1 > kValueStackCells) return false;
    Value* args = s.stack + s.top;
    int count = 0;
    if (argument) args[count++] = *argument;
    s.top += count;
    callValue(*cell, args, count);
    s.top -= count;
    return true;
}

namespace {

// Which interaction the using-object asks for: none click, a scene look,
// anything else use.
uint8_t interactionOf(const ScriptTask* task) {
    if (!task->description) return 1;
    const Value& using_ = task->description->usingObject;
    if (using_.isNone()) return 1;
    return using_.is(ValueType::Scene) ? 2 : 3;
}

bool usingObjectMatches(const Value& wanted, const Value& dropped) {
    if (wanted.is(ValueType::Array)) {
        for (Value* cell : wanted.as<ArrayObject>()->items)
            if (cell && valuesEqual(*cell, dropped)) return true;
        return false;
    }
    if (wanted.is(ValueType::Group) && wanted.pointer && dropped.is(ValueType::Element)) {
        for (ScriptElement* e : wanted.as<ScriptGroup>()->elements)
            if (e == dropped.as<ScriptElement>()) return true;
        return false;
    }
    return wanted.type() == dropped.type() && wanted.bits == dropped.bits;
}

void updateTask(Scope& scope, ScriptTask* task, TaskPass pass) {
    task->interaction = interactionOf(task);
    if (task->state != TaskEnabled || !task->element) return;
    PointerInput& input = script().pointer;
    if (pass == TaskPass::Hints) {
        if (HintVisitor visit = script().hintVisitor) visit(task);
        return;
    }
    if (pass != TaskPass::Normal) {
        if (pass == TaskPass::CollectTargets && task->element->isClickable())
            scope.targets.push_back({task, task->interaction});
        return;
    }
    if (input.handled) return;
    if (task->interaction == 3) {
        if (input.dropTarget != task->element) return;
        input.handled = true;
        if (usingObjectMatches(task->description->usingObject, input.dropped)) {
            executeTask(task);
        } else {
            Value argument = Value::fromPointer(ValueType::Task, task);
            callGlobalEvent(sym::on_invalid_use(), &argument);
        }
        return;
    }
    ScriptElement* target = task->interaction == 2 ? input.lookedAt : input.clicked;
    if (task->interaction == 1 && input.hovered == task->element) {
        if (!task->hovered) {
            task->hovered = 1;
            callTaskMember(task, sym::on_hover_begin(), nullptr);
        }
        Value held = Value::fromNumber(input.buttonHeld ? 1 : 0);
        callTaskMember(task, sym::on_hovering(), &held);
    }
    if (target && target == task->element) {
        input.handled = true;
        executeTask(task);
    }
}

void updateDeclaredTask(Scope& scope, ScriptTask* task, TaskPass pass) {
    if (task->instances && !task->instances->items.empty()) {
        for (Value* cell : task->instances->items)
            if (cell && cell->is(ValueType::Task)) updateTask(scope, cell->as<ScriptTask>(), pass);
    } else {
        updateTask(scope, task, pass);
    }
}

} // namespace

void updateHover(Scope& scope) {
    ScriptElement* hovered = script().pointer.hovered;
    auto check = [hovered](ScriptTask* task) {
        if (!task->hovered || task->element == hovered) return;
        task->hovered = 0;
        callTaskMember(task, sym::on_hover_end(), nullptr);
    };
    for (ScriptTask* task : scope.tasks) {
        check(task);
        if (task->instances)
            for (Value* cell : task->instances->items)
                if (cell && cell->is(ValueType::Task)) check(cell->as<ScriptTask>());
    }
}

void updateTasks(Scope& scope, TaskPass pass) {
    ScriptSystem& s = script();
    if (pass == TaskPass::CollectTargets) scope.targets.clear();
    for (NodeRef ref = scope.topLevel; !ref.empty();) {
        Statement statement = s.store.statement(ref);
        int command = statement.command();
        if (command == KwTask || command == KwAction) {
            if (ScriptTask* task = declaredTask(statement, scope)) updateDeclaredTask(scope, task, pass);
        } else if (command == KwAlways && pass == TaskPass::Normal) {
            ExecContext saved = s.ctx;
            s.ctx.scope = &scope;
            s.ctx.scene = Value::fromPointer(ValueType::Scene, scope.scene());
            setScriptErrorScope(&scope);
            runBlock(statement.block(), nullptr, 0, false);
            s.ctx = saved;
            setScriptErrorScope(s.ctx.scope);
        }
        ref = statement.info().next;
    }
}

void runScenePasses(Scope& scope) {
    updateHover(scope);
    runDelayedBlocks(scope);
    runDelayedCalls(scope);
    countDownSignals(scope);
    updateTasks(scope);
}

} // namespace glint

#include "script/collector.h"

namespace glint {

namespace {
// Host objects are not pooled here, so they are marked with the number of
// the collection that reached them instead of a flag that needs clearing.
uint32_t collectionEpoch = 0;
} // namespace

void Collector::clearMarks() {
    heap_.values.clearMarks();
    heap_.nodes.clearMarks();
    heap_.arrays.clearMarks();
    heap_.functions.clearMarks();
    heap_.tasks.clearMarks();
    heap_.signals.clearMarks();
    heap_.classes.clearMarks();
    heap_.instances.clearMarks();
    heap_.methods.clearMarks();
    epoch_ = ++collectionEpoch;
}

bool Collector::markFlag(Value* cell) {
    if (!cell || cell->marked()) return false;
    cell->typeWord |= kValueMarked;
    touched_.push_back(cell);
    return true;
}

void Collector::markCell(Value* cell) {
    if (!markFlag(cell)) return;
    pending_.push_back(*cell);
    drain();
}

void Collector::markValue(const Value& value) {
    pending_.push_back(value);
    drain();
}

void Collector::markProperties(const PropertyList& list) {
    for (PropertyNode* node = list.first(); node; node = node->next) {
        if (!heap_.nodes.mark(node)) continue;
        pending_.push_back(node->value);
    }
}

void Collector::markHost(ScriptHostObject* object) {
    if (!object || object->collectEpoch == epoch_) return;
    object->collectEpoch = epoch_;
    markProperties(object->members);
    drain();
}

void Collector::markScope(Scope& scope) {
    auto markEntries = [this](VariableList& list) {
        for (VariableEntry* entry : list) {
            if (entry->array && heap_.arrays.mark(entry->array)) markArray(entry->array);
            if (markFlag(entry->cell)) pending_.push_back(*entry->cell);
        }
    };
    for (int kind = 0; kind < kVariableKinds; ++kind) markEntries(scope.list(kind));
    markEntries(scope.allArrays());
    for (ScriptFunction* f : scope.functions) pending_.push_back(Value::fromPointer(ValueType::Function, f));
    for (ScriptTask* t : scope.tasks) pending_.push_back(Value::fromPointer(ValueType::Task, t));
    for (ScriptSignal* s : scope.signals) pending_.push_back(Value::fromPointer(ValueType::Signal, s));
    for (ScriptClass* c : scope.classes) pending_.push_back(Value::fromPointer(ValueType::Class, c));
    markHost(scope.scene());
    drain();
}

void Collector::markSystem(ScriptSystem& system) {
    for (ScriptScene* scene : system.scenes) {
        Scope& scope = scene->scope;
        markScope(scope);
        for (DelayedCall* call : scope.delayedCalls) {
            pending_.push_back(call->target);
            for (const Value& v : call->arguments) pending_.push_back(v);
        }
        for (DelayedBlock* block : scope.delayedBlocks) {
            pending_.push_back(block->task);
            pending_.push_back(block->element);
            pending_.push_back(block->self);
            for (const Value& v : block->frame) pending_.push_back(v);
        }
        drain();
    }
    // Downloads in flight and queued alerts call back into the script later.
    system.downloads.forEachValue([this](const Value& v) { pending_.push_back(v); });
    for (const AlertRecord& alert : system.alerts.records())
        for (const AlertButton& button : alert.buttons) pending_.push_back(button.function);
    for (Value* cell : system.heap.pinned) markCell(cell);
    const ExecContext& ctx = system.ctx;
    for (const Value* v : {&ctx.scene, &ctx.task, &ctx.element, &ctx.item, &ctx.self}) pending_.push_back(*v);
    for (int i = 0; i < system.top; ++i) pending_.push_back(system.stack[i]);
    drain();
}

void Collector::drain() {
    while (!pending_.empty()) {
        Value value = pending_.back();
        pending_.pop_back();
        markContents(value);
    }
}

void Collector::markArray(ArrayObject* array) {
    for (Value* cell : array->items) {
        if (markFlag(cell)) pending_.push_back(*cell);
    }
    markProperties(array->members);
}

void Collector::markFunction(ScriptFunction* function) {
    pending_.push_back(function->owner);
    markProperties(function->members);
}

void Collector::markTask(ScriptTask* task) {
    if (task->handler) pending_.push_back(Value::fromPointer(ValueType::Function, task->handler));
    if (task->parent) pending_.push_back(Value::fromPointer(ValueType::Task, task->parent));
    if (task->blocker) pending_.push_back(Value::fromPointer(ValueType::Task, task->blocker));
    if (task->hintTarget) pending_.push_back(Value::fromPointer(ValueType::Task, task->hintTarget));
    if (task->instances) pending_.push_back(Value::fromPointer(ValueType::Array, task->instances));
    if (task->element) pending_.push_back(Value::fromPointer(ValueType::Element, task->element));
    if (task->description) pending_.push_back(task->description->usingObject);
    markProperties(task->members);
}

void Collector::markContents(const Value& value) {
    if (!value.pointer) return;
    switch (value.type()) {
    case ValueType::Array:
        if (heap_.arrays.mark(value.as<ArrayObject>())) markArray(value.as<ArrayObject>());
        break;
    case ValueType::Function:
        if (heap_.functions.mark(value.as<ScriptFunction>())) markFunction(value.as<ScriptFunction>());
        break;
    case ValueType::Task:
        if (heap_.tasks.mark(value.as<ScriptTask>())) markTask(value.as<ScriptTask>());
        break;
    case ValueType::Signal:
        if (heap_.signals.mark(value.as<ScriptSignal>())) markProperties(value.as<ScriptSignal>()->members);
        break;
    case ValueType::Class:
        if (heap_.classes.mark(value.as<ScriptClass>())) markProperties(value.as<ScriptClass>()->members);
        break;
    case ValueType::Instance: {
        auto* instance = value.as<ScriptInstance>();
        if (!heap_.instances.mark(instance)) break;
        if (instance->klass) pending_.push_back(Value::fromPointer(ValueType::Class, instance->klass));
        markProperties(instance->members);
        break;
    }
    case ValueType::Method: {
        auto* method = value.as<ScriptMethod>();
        if (!heap_.methods.mark(method)) break;
        if (method->instance) pending_.push_back(Value::fromPointer(ValueType::Instance, method->instance));
        if (method->function) pending_.push_back(Value::fromPointer(ValueType::Function, method->function));
        break;
    }
    case ValueType::Element:
    case ValueType::Group:
    case ValueType::Sound:
    case ValueType::Scene:
    case ValueType::Item: {
        auto* object = value.as<ScriptHostObject>();
        if (object->collectEpoch == epoch_) break;
        object->collectEpoch = epoch_;
        markProperties(object->members);
        break;
    }
    case ValueType::Reference: {
        Value* cell = value.as<Value>();
        if (markFlag(cell)) pending_.push_back(*cell);
        break;
    }
    case ValueType::VariableRef:
    case ValueType::VariableRefArray: {
        auto* entry = value.as<VariableEntry>();
        if (entry->array) pending_.push_back(Value::fromPointer(ValueType::Array, entry->array));
        if (markFlag(entry->cell)) pending_.push_back(*entry->cell);
        break;
    }
    default:
        break;
    }
}

size_t Collector::releaseUnmarked() {
    size_t released = heap_.values.releaseUnmarked() + heap_.nodes.releaseUnmarked() +
                      heap_.arrays.releaseUnmarked() + heap_.functions.releaseUnmarked() +
                      heap_.tasks.releaseUnmarked() + heap_.signals.releaseUnmarked() +
                      heap_.classes.releaseUnmarked() + heap_.instances.releaseUnmarked() +
                      heap_.methods.releaseUnmarked();
    // Cells outside the pools (engine fields bound to variables) keep no
    // mark into the next collection.
    for (Value* cell : touched_) cell->typeWord &= ~kValueMarked;
    touched_.clear();
    return released;
}

} // namespace glint

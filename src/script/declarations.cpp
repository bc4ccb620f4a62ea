// What fun, task, action, do, on, when, init, always and class declare.
#include "script/declarations.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "script/array_object.h"
#include "script/commands.h"
#include "script/interpreter.h"
#include "script/script_error.h"

namespace glint {

namespace {

ScriptSystem& sys() { return script(); }

std::string text(const Value& v) { return valueText(v); }

const char* sceneNameOf(const Scope* scope) { return scope ? scope->sceneName() : ""; }

// The value of an argument of a statement node as it reads now.
Value argumentValue(Statement statement, int i) {
    return i < statement.cells() ? readCell(*statement.arg(i)) : Value();
}

// A bare word argument compiles to a string constant.
Symbol* bareWord(Statement statement, int i) {
    if (i >= statement.cells()) return nullptr;
    const Value& cell = *statement.arg(i);
    return cell.isString() ? cell.symbol() : nullptr;
}

Value* functionVariable(Scope& scope, const std::string& name) {
    return findVariable(scope, KindFunction, intern(name), nullptr, true);
}

ScriptFunction* functionNamed(Scope& scope, const std::string& name) {
    Value* cell = functionVariable(scope, name);
    return cell && cell->is(ValueType::Function) ? cell->as<ScriptFunction>() : nullptr;
}

char prefixOfObject(const Value& owner) {
    switch (owner.type()) {
    case ValueType::Task: return '@';
    case ValueType::Element: return '$';
    case ValueType::Group: return '~';
    case ValueType::Item: return '^';
    default: return 0;
    }
}

Symbol* nameOfObject(const Value& owner) {
    switch (owner.type()) {
    case ValueType::Task: return owner.as<ScriptTask>()->name;
    case ValueType::Element:
    case ValueType::Group:
    case ValueType::Item: return owner.as<ScriptHostObject>()->name;
    default: return nullptr;
    }
}

PropertyList* membersOfObject(const Value& owner) {
    switch (owner.type()) {
    case ValueType::Task: return &owner.as<ScriptTask>()->members;
    case ValueType::Element:
    case ValueType::Group:
    case ValueType::Item: return &owner.as<ScriptHostObject>()->members;
    default: return nullptr;
    }
}

// The name of the variable that owns a cell (compiled references keep
// only the cell); searched in the scope being declared and the global one.
const char* variableName(const Value* cell) {
    for (Scope* scope : {sys().compile.scope, &sys().global()}) {
        if (!scope) continue;
        for (int kind = 0; kind < kVariableKinds; ++kind)
            for (VariableEntry* entry : scope->list(kind))
                if (entry->cell == cell) return entry->name->text;
    }
    return "";
}

// A declaration name that is no usable word: a variable holding another
// kind of value, an empty variable, or no name form at all.
void reportInvalid(const char* what, const Value& nameCell, const Value& name) {
    if (!nameCell.is(ValueType::Reference)) {
        scriptError("Invalid %s declaration", what);
        return;
    }
    const char* variable = variableName(nameCell.as<Value>());
    if (name.isNone())
        scriptError("Invalid %s %s", what, variable);
    else
        scriptError("Invalid %s %s, already defined as %s", what, variable, text(name).c_str());
}

// A bare declaration name whose variable holds no object of its kind.
void reportTaken(const char* what, const Symbol* word, const Value* cell) {
    if (cell && !cell->isNone())
        scriptError("Invalid %s %s, already defined as %s", what, word->text, text(*cell).c_str());
    else
        scriptError("Invalid %s %s", what, word->text);
}

// owner.name: one function per owner, named prefix + owner + "." + name.
bool defineSubFunction(Scope& scope, NodeRef node, const Value& owner, Symbol* shortName) {
    char prefix = prefixOfObject(owner);
    Symbol* ownerName = nameOfObject(owner);
    if (!prefix || !ownerName) {
        scriptError("Invalid owner of sub-function");
        return false;
    }
    std::string name = std::string(1, prefix) + ownerName->text + "." + shortName->text;
    ScriptFunction* f = functionNamed(scope, name);
    if (!f) return false;
    f->shortName = shortName;
    f->owner = owner;
    membersOfObject(owner)->set(shortName, Value::fromPointer(ValueType::Function, f));
    defineFunction(f, node);
    return true;
}

void declareFun(Statement statement, NodeRef node, Scope& scope) {
    CompileState& c = sys().compile;
    const Value& nameCell = *statement.arg(0);
    Value name = argumentValue(statement, 0);
    if (name.is(ValueType::Function)) {
        defineFunction(name.as<ScriptFunction>(), node);
        return;
    }
    if (nameCell.is(ValueType::Member)) {
        const Value* cells = nameCell.as<Value>();
        Value member = readCell(cells[2]);
        if (!member.isString() || member.symbol()->length == 0) {
            scriptError("Invalid sub-function name");
            return;
        }
        if (c.klass) {
            scriptError("Sub-functions inside classes are not supported!");
            return;
        }
        if (c.task) {
            if (!cells[1].isNone()) {
                scriptError("Sub-function inside task should be named .function-name");
                return;
            }
            defineSubFunction(scope, node, Value::fromPointer(ValueType::Task, c.task), member.symbol());
            return;
        }
        Value owner = readCell(cells[1]);
        if (owner.is(ValueType::Array)) {
            for (Value* item : owner.as<ArrayObject>()->items)
                if (item) defineSubFunction(scope, node, *item, member.symbol());
            return;
        }
        defineSubFunction(scope, node, owner, member.symbol());
        return;
    }
    Symbol* word = bareWord(statement, 0);
    if (!word) {
        reportInvalid("function", nameCell, name);
        return;
    }
    if (c.klass) {
        std::string methodName = std::string("-") + c.klass->name->text + "." + word->text;
        ScriptFunction* f = functionNamed(scope, methodName);
        if (!f) return;
        f->shortName = word;
        f->owner = Value::fromPointer(ValueType::Class, c.klass);
        c.klass->members.set(word, Value::fromPointer(ValueType::Function, f));
        defineFunction(f, node);
        return;
    }
    if (c.task) scriptError("Functions inside tasks are not supported");
    Value* cell = functionVariable(scope, word->text);
    if (cell && !cell->isNone() && !cell->is(ValueType::Function)) {
        scriptError("Invalid function %s, already defined as %s", word->text, text(*cell).c_str());
        return;
    }
    ScriptFunction* f = functionNamed(scope, word->text);
    if (!f) {
        scriptError("Invalid function %s", word->text);
        return;
    }
    defineFunction(f, node);
}

// The list a task binds to: a value, an array's items or a group's elements.
std::vector<Value> listOf(const Value& v) {
    std::vector<Value> out;
    if (v.is(ValueType::Array)) {
        for (Value* cell : v.as<ArrayObject>()->items)
            if (cell) out.push_back(*cell);
    } else if (v.is(ValueType::Group) && v.pointer) {
        for (ScriptElement* e : v.as<ScriptGroup>()->elements) out.push_back(Value::fromPointer(ValueType::Element, e));
    } else if (!v.isNone()) {
        out.push_back(v);
    }
    return out;
}

ScriptTask* taskOfDeclaration(Statement statement, Scope& scope) {
    Value name = argumentValue(statement, 0);
    if (name.is(ValueType::Task)) return name.as<ScriptTask>();
    Symbol* word = bareWord(statement, 0);
    if (!word) {
        reportInvalid("task", *statement.arg(0), name);
        return nullptr;
    }
    Value* cell = findVariable(scope, KindTask, word, nullptr, true);
    if (cell && cell->is(ValueType::Task)) return cell->as<ScriptTask>();
    reportTaken("task", word, cell);
    return nullptr;
}

void walkBody(Statement statement, Scope& scope) {
    if (Block* body = statement.block()) declare(body->first, scope);
}

// Hints point at what the player must do (tasks), and at actions that rate
// themselves with their own "on_hint".
void markHintable(ScriptTask* task) {
    const bool mandatory = task->description && task->description->mandatory;
    task->hintable = mandatory || task->members.get(sym::on_hint()) ? 1 : 0;
}

void declareTask(Statement statement, NodeRef node, Scope& scope, bool mandatory) {
    CompileState& c = sys().compile;
    if (c.task) {
        scriptError("%s", "");
        return;
    }
    if (c.klass) {
        scriptError("Tasks inside classes are not supported!");
        return;
    }
    ScriptTask* task = taskOfDeclaration(statement, scope);
    if (!task) return;
    if (task->description && !task->description->declaration.empty()) {
        scriptError("DUPLICATE TASK in script %s -> %s", scope.sceneName(), task->name->text);
        return;
    }
    if (!task->description) task->description = sys().newTaskDescription();
    TaskDescription* d = task->description;
    d->declaration = node;
    d->mandatory = mandatory ? 1 : 0;
    if (!d->clickType) d->clickType = sym::click();
    Value pointer = argumentValue(statement, 1);
    if (Symbol* word = bareWord(statement, 1)) {
        if (!task->pointerName) task->pointerName = word;
    } else if (!pointer.isNone()) {
        scriptError("Invalid task pointer in script %s, task %s", scope.sceneName(), task->name->text);
    }
    d->usingObject = argumentValue(statement, 3);
    std::vector<Value> elements = listOf(argumentValue(statement, 2));
    if (elements.size() == 1 && elements[0].is(ValueType::Element) && elements[0].pointer) {
        ScriptElement* element = elements[0].as<ScriptElement>();
        if (element->scene != scope.scene())
            scriptError("Invalid element in script %s, task %s - scene %s, element %s", scope.sceneName(),
                        task->name->text, element->scene && element->scene->name ? element->scene->name->text : "",
                        element->name ? element->name->text : "");
        else
            task->element = element;
    } else if (elements.size() > 1) {
        for (const Value& v : elements)
            if (v.is(ValueType::Element) && v.pointer) createTaskInstance(task, v.as<ScriptElement>(), false);
    }
    if (statement.block()) {
        c.task = task;
        walkBody(statement, scope);
        c.task = nullptr;
    }
    markHintable(task);
}

bool containsTakeOf(NodeRef list, ScriptElement* element) {
    ScriptSystem& s = sys();
    for (NodeRef ref = list; !ref.empty();) {
        Statement st = s.store.statement(ref);
        if (st.command() == KwTake && st.written() > 0) {
            const Value& first = *st.arg(0);
            Value v = readCell(first);
            bool currentElement = first.is(ValueType::Reference) && first.pointer == &s.ctx.element;
            if (currentElement || (v.is(ValueType::Element) && v.as<ScriptElement>() == element)) return true;
        }
        if (Block* b = st.block())
            if (containsTakeOf(b->first, element)) return true;
        ref = st.info().next;
    }
    return false;
}

void declareDo(Statement statement, NodeRef node, Scope& scope) {
    ScriptTask* task = sys().compile.task;
    if (!task) {
        scriptError("Command 'do' cannot be used outside task/action block!");
        return;
    }
    if (task->members.get(sym::do_())) {
        scriptError("Duplicate command 'do' inside task/action block!");
        return;
    }
    task->members.set(sym::do_(), Value::fromNumber(1));
    if (!task->description) task->description = sys().newTaskDescription();
    task->description->doNode = node;
    ScriptFunction* handler = functionNamed(scope, std::string("@") + task->name->text + ".handler");
    if (handler) {
        handler->owner = Value::fromPointer(ValueType::Task, task);
        handler->impl = FunctionImpl::Script;
        handler->body = node;
        task->handler = handler;
        task->baselineHandler = handler;
    }
    Block* body = statement.block();
    if (!body || body->first.empty()) task->members.set(sym::Is_empty_task(), Value::fromNumber(1));
    if (body && task->element && containsTakeOf(body->first, task->element)) {
        task->element->members.set(sym::Take_task(), Value::fromPointer(ValueType::Task, task));
        task->description->clickType = sym::press();
    }
    int written = statement.written();
    if (written == 0) return;
    Symbol* on = bareWord(statement, 0);
    if (on != sym::on()) {
        scriptError("Invalid parameter - expected 'on'");
        return;
    }
    if (written < 2) {
        scriptError("Expected click type after 'on' (click, press, release)");
        return;
    }
    Symbol* type = bareWord(statement, 1);
    if (type == sym::click() || type == sym::press() || type == sym::release() || type == sym::drag())
        task->description->clickType = type;
    else
        scriptError("Invalid click type (click, press, release, drag)");
}

void declareOn(Statement statement, NodeRef node) {
    Value signal = argumentValue(statement, 0);
    if (!signal.is(ValueType::Signal)) {
        scriptError("Invalid signal, already defined as %s", text(signal).c_str());
        return;
    }
    if (statement.written() > 1 && bareWord(statement, 1) != sym::if_()) {
        scriptError("Missing 'if' after signal name");
        return;
    }
    SignalHandler* handler = sys().newSignalHandler();
    handler->node = node;
    handler->task = sys().compile.task;
    SignalHandler** link = &signal.as<ScriptSignal>()->handlers;
    while (*link) link = &(*link)->next;
    *link = handler;
}

void declareWhen(Statement statement, Scope& scope) {
    Value element = argumentValue(statement, 0);
    if (!element.is(ValueType::Element) || !element.pointer) {
        scriptError("Invalid element!");
        return;
    }
    if (element.as<ScriptElement>()->scene != scope.scene()) {
        scriptError("Invalid element scene!");
        return;
    }
    AnimationCue* cue = sys().newCue();
    cue->element = element.as<ScriptElement>();
    cue->time = secondsToTicks(argumentValue(statement, 1));
    cue->block = statement.block();
    scope.cues.push_back(cue);
}

void declareClass(Statement statement, NodeRef node, Scope& scope) {
    CompileState& c = sys().compile;
    if (c.task) {
        scriptError("Classes inside tasks are not supported!");
        return;
    }
    Value name = argumentValue(statement, 0);
    ScriptClass* klass = nullptr;
    if (name.is(ValueType::Class)) {
        klass = name.as<ScriptClass>();
    } else if (Symbol* word = bareWord(statement, 0)) {
        Value* cell = findVariable(scope, KindClass, word, nullptr, true);
        if (cell && cell->is(ValueType::Class))
            klass = cell->as<ScriptClass>();
        else
            reportTaken("class", word, cell);
    } else if (statement.arg(0)->is(ValueType::Reference)) {
        reportInvalid("class", *statement.arg(0), name);
    } else {
        scriptError("Invalid Class declaration");
    }
    if (!klass) return;
    if (!klass->declaration.empty()) {
        scriptError("DUPLICATE CLASS in script %s -> %s)", scope.sceneName(), klass->name->text);
        return;
    }
    klass->declaration = node;
    ScriptClass* saved = c.klass;
    c.klass = klass;
    walkBody(statement, scope);
    c.klass = saved;
}

void declareStatement(Statement statement, NodeRef node, Scope& scope) {
    CompileState& c = sys().compile;
    switch (statement.command()) {
    case KwFun: declareFun(statement, node, scope); break;
    case KwTask: declareTask(statement, node, scope, true); break;
    case KwAction: declareTask(statement, node, scope, false); break;
    case KwDo: declareDo(statement, node, scope); break;
    case KwOn: declareOn(statement, node); break;
    case KwWhen: declareWhen(statement, scope); break;
    case KwInit:
        if (c.klass) {
            if (!c.klass->constructor.empty())
                scriptError("Duplicate command 'init' inside class block!");
            else
                c.klass->constructor = node;
        }
        break;
    case KwAlways:
        if (c.task) scriptError("Command 'always' cannot be used inside task/action block!");
        break;
    case KwClass: declareClass(statement, node, scope); break;
    default: break;
    }
}

} // namespace

ScriptTask* declaredTask(Statement statement, Scope& scope) {
    Value name = argumentValue(statement, 0);
    if (name.is(ValueType::Task)) return name.as<ScriptTask>();
    if (!name.isString()) return nullptr;
    Value* cell = findVariable(scope, KindTask, name.symbol(), nullptr, false);
    return cell && cell->is(ValueType::Task) ? cell->as<ScriptTask>() : nullptr;
}

void defineFunction(ScriptFunction* function, NodeRef node) {
    if (!function) return;
    if (function->impl == FunctionImpl::Script && !function->body.empty() && !(function->body == node)) {
        scriptError("DUPLICATE FUNCTION in script %s -> %s", sceneNameOf(function->scope), function->name->text);
        return;
    }
    if (function->impl == FunctionImpl::BuiltIn) return; // built-ins keep their callback
    function->impl = FunctionImpl::Script;
    function->body = node;
}

void declare(NodeRef list, Scope& scope) {
    ScriptSystem& s = sys();
    ExecContext saved = s.ctx;
    s.ctx.scope = &scope;
    s.ctx.scene = Value::fromPointer(ValueType::Scene, scope.scene());
    Scope* savedError = scriptErrorScope();
    setScriptErrorScope(&scope);
    for (NodeRef ref = list; !ref.empty();) {
        Statement statement = s.store.statement(ref);
        s.ctx.statement = statement;
        declareStatement(statement, ref, scope);
        ref = statement.info().next;
    }
    s.ctx = saved;
    setScriptErrorScope(savedError);
}

ScriptTask* createTaskInstance(ScriptTask* task, ScriptElement* element, bool runtime) {
    if (!task || !element) return nullptr;
    Scope* scope = task->scope;
    if (element->scene != scope->scene()) {
        scriptError("Invalid element in script %s, task %s - scene %s, element %s", scope->sceneName(),
                    task->name->text, element->scene && element->scene->name ? element->scene->name->text : "",
                    element->name ? element->name->text : "");
        return nullptr;
    }
    std::string name = std::string(task->name->text) + "$" + (element->name ? element->name->text : "");
    ScriptTask* instance = scriptHeap().tasks.create(intern(name), scope);
    instance->description = task->description;
    instance->element = element;
    instance->parent = task;
    instance->isInstance = 1;
    instance->runtimeInstance = runtime ? 1 : 0;
    instance->pointerName = task->pointerName;
    if (!task->instances) {
        std::string arrayName = std::string("@") + task->name->text + "[]";
        Value* cell = findVariable(*scope, KindPlain, intern(arrayName), nullptr, true);
        if (cell && cell->is(ValueType::Array)) {
            task->instances = cell->as<ArrayObject>();
            task->members.set(sym::sub_tasks(), *cell);
        }
    }
    if (task->instances)
        task->instances->append(scriptHeap().newCell(Value::fromPointer(ValueType::Task, instance)));
    if (task->description && !task->description->declaration.empty()) {
        Statement declaration = script().store.statement(task->description->declaration);
        if (declaration.block()) {
            CompileState& c = script().compile;
            ScriptTask* saved = c.task;
            bool savedRuntime = scriptHeap().compilingRuntimeInstance;
            c.task = instance;
            scriptHeap().compilingRuntimeInstance = runtime;
            declare(declaration.block()->first, *scope);
            scriptHeap().compilingRuntimeInstance = savedRuntime;
            c.task = saved;
        }
    }
    markHintable(instance);
    return instance;
}

// --- Linking ----------------------------------------------------------------

namespace {

bool startsSaved(const Symbol* name) {
    char c = name->text[0];
    return (c >= 'a' && c <= 'z') || c == '_';
}

void reportMixedVariables(Scope& scope) {
    for (int kind = 0; kind < kVariableKinds; ++kind) {
        for (VariableEntry* entry : scope.list(kind)) {
            if (!entry->array) continue;
            Symbol* plainName = findSymbol(entry->name->text, entry->name->length - 2);
            if (plainName && scope.findPlain(kind, plainName))
                scriptError("Variable %c%s used both as normal and array variable", prefixOfKind(kind),
                            plainName->text);
        }
    }
}

bool silentSignal(const Symbol* name) {
    static const char* const names[] = {"open", "opened", "close", "closed", "check_localization", "load"};
    for (const char* n : names)
        if (!std::strcmp(name->text, n)) return true;
    return false;
}

void removeUndefined(Scope& scope) {
    const char* sceneName = scope.sceneName();
    for (VariableEntry* entry : scope.list(KindFunction)) {
        Value* cell = entry->cell;
        if (!cell->is(ValueType::Function)) continue;
        ScriptFunction* f = cell->as<ScriptFunction>();
        if (f->impl != FunctionImpl::None || entry->name == sym::on_close()) continue;
        scriptError("Function not defined: %s:%s", sceneName, entry->name->text);
        *cell = Value();
    }
    for (VariableEntry* entry : scope.list(KindTask)) {
        Value* cell = entry->cell;
        if (!cell->is(ValueType::Task)) continue;
        ScriptTask* t = cell->as<ScriptTask>();
        if (t->description && !t->description->declaration.empty()) continue;
        scriptError("Task not defined: %s:%s", sceneName, entry->name->text);
        *cell = Value();
    }
    for (VariableEntry* entry : scope.list(KindSignal)) {
        Value* cell = entry->cell;
        if (!cell->is(ValueType::Signal) || cell->as<ScriptSignal>()->handlers) continue;
        if (!silentSignal(entry->name)) scriptError("Signal not defined: %s:%s", sceneName, entry->name->text);
        *cell = Value();
    }
    for (VariableEntry* entry : scope.list(KindClass)) {
        Value* cell = entry->cell;
        if (!cell->is(ValueType::Class) || !cell->as<ScriptClass>()->declaration.empty()) continue;
        scriptError("Class not defined: %s:%s", sceneName, entry->name->text);
        *cell = Value();
    }
}

void runInitBlocks(NodeRef list, Scope& scope);

void runTaskBody(Statement statement, ScriptTask* task, Scope& scope) {
    ScriptSystem& s = sys();
    Value savedTask = s.ctx.task, savedElement = s.ctx.element;
    s.ctx.task = Value::fromPointer(ValueType::Task, task);
    s.ctx.element = Value::fromPointer(ValueType::Element, task->element);
    runInitBlocks(statement.block()->first, scope);
    s.ctx.task = savedTask;
    s.ctx.element = savedElement;
}

void runInitBlocks(NodeRef list, Scope& scope) {
    ScriptSystem& s = sys();
    for (NodeRef ref = list; !ref.empty();) {
        Statement statement = s.store.statement(ref);
        int command = statement.command();
        if (command == KwInit) {
            runBlock(statement.block(), nullptr, 0, false);
        } else if ((command == KwTask || command == KwAction) && statement.block()) {
            if (ScriptTask* task = declaredTask(statement, scope)) {
                if (task->instances && !task->instances->items.empty()) {
                    for (Value* cell : task->instances->items)
                        if (cell && cell->is(ValueType::Task)) runTaskBody(statement, cell->as<ScriptTask>(), scope);
                } else {
                    runTaskBody(statement, task, scope);
                }
            }
        }
        ref = statement.info().next;
    }
}

} // namespace

void linkScene(Scope& scope) {
    ScriptSystem& s = sys();
    ExecContext saved = s.ctx;
    Scope* savedError = scriptErrorScope();
    s.ctx.scope = &scope;
    s.ctx.scene = Value::fromPointer(ValueType::Scene, scope.scene());
    setScriptErrorScope(&scope);
    if (s.reportNonSerializable) {
        Value* serializable = findVariable(scope, KindPlain, sym::Is_serializable(), nullptr, false);
        if (serializable && roundedInt(*serializable) == 0) {
            const VariableList& plain = scope.list(KindPlain);
            for (size_t i = scope.builtInVariables; i < plain.size(); ++i)
                if (!plain[i]->array && startsSaved(plain[i]->name))
                    scriptError("Global variable in non-serializable scene - #%s:%s", scope.sceneName(),
                                plain[i]->name->text);
        }
    }
    reportMixedVariables(scope);
    removeUndefined(scope);
    runInitBlocks(scope.topLevel, scope);
    s.ctx = saved;
    setScriptErrorScope(savedError);
}

} // namespace glint

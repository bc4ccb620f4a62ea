// One run of the script language: the heap, the global scene with the
// engine-wide variables, the statement store, the script sources, the
// command table, the value stack and the execution and compile contexts.
// The central engine object owns exactly one; script() reaches the running
// one.
//
// Start-up, as the engine drives it:
//   ScriptSystem system(&gameScene);     // binds #+, #@, #$, #^, Call_stack[]
//   registerBuiltinCommands();
//   system.addScene(scene) ...           // every ScriptScene, in registry order
//   setScriptFileHook / resource layer   // where .script files come from
//   compileScene(scope) for each scene, then linkScene(scope) for each
//   system.heap.engineStarted = true;
// Each update: fill system.pointer, then runScenePasses(scope) for the
// global scene and each active scene.
#pragma once

#include <deque>
#include <vector>

#include "script/alerts.h"
#include "script/commands.h"
#include "script/downloads.h"
#include "script/heap.h"
#include "script/host_objects.h"
#include "script/script_source.h"
#include "script/statement_store.h"

namespace glint {

constexpr int kValueStackCells = 16384;
constexpr int kMaxCallDepth = 65;
constexpr int kMaxArguments = 31;

// The fields NAME, BASE_NAME and GROUP_NAME of include_for_each.
struct IncludeContext {
    const char* name = nullptr;
    const char* baseName = nullptr;
    const char* groupName = nullptr;
};

// What runs: saved and restored around every call. The cells scene, task,
// element and item are the global variables "+", "@", "$" and "^".
struct ExecContext {
    Scope* scope = nullptr;
    Value scene;
    Value task;
    Value element;
    Value item;
    Value self; // the current instance (the word this)
    ScriptFunction* function = nullptr;
    Block* root = nullptr;
    Value* frame = nullptr;
    Statement statement;
    bool breakFlag = false;
    int loopDepth = 0;
};

// The compiler's state while statements are compiled.
struct CompileState {
    Scope* scope = nullptr;
    Block* root = nullptr;               // owner of the local numbering
    std::vector<LocalSlot> visible;      // locals visible now
    int loopDepth = 0;
    int includeDepth = 0;
    ScriptTask* task = nullptr;          // declaration pass: current task
    ScriptClass* klass = nullptr;        // declaration pass: current class
};

struct SignalHandler {
    NodeRef node;               // the on statement
    ScriptTask* task = nullptr; // current when it was declared
    SignalHandler* next = nullptr;
};

struct AnimationCue {
    ScriptElement* element = nullptr;
    int32_t time = 0; // hundredths of a second
    Block* block = nullptr;
};

struct DelayedCall {
    Scope* scope = nullptr;
    int32_t remaining = 0;
    Value target; // function or method
    std::vector<Value> arguments;
};

struct DelayedBlock {
    Scope* scope = nullptr;
    int32_t remaining = 0;
    Block* block = nullptr;
    Block* root = nullptr; // owns the numbering of the frame's locals
    Value task, element, self;
    std::vector<Value> frame;
};

// What the pointer did in this update, filled by the input code before the
// task pass.
struct PointerInput {
    ScriptElement* hovered = nullptr;    // under the pointer
    ScriptElement* clicked = nullptr;    // clicked this update
    ScriptElement* dropTarget = nullptr; // an object was dropped on it
    Value dropped;                       // the dropped object
    ScriptElement* lookedAt = nullptr;
    bool buttonHeld = false;
    // Set when a task reacted; later tasks of the same update (in any
    // scene) leave the pointer alone. The input code clears it per update.
    bool handled = false;
};

enum class TaskPass { Normal, CollectTargets, Hints };

// The hints pass hands every enabled task with an element to the game's
// hint engine, which weighs it instead of running it.
using HintVisitor = void (*)(ScriptTask* task);

// The game configuration as #!key sees it; set by the application. Keys the
// configuration does not hold read as none and ignore writes.
struct ConfigurationAccess {
    bool (*read)(Symbol* key, Value& out) = nullptr;
    bool (*write)(Symbol* key, const Value& value) = nullptr;
};

// Receives the text of each print statement (the authoring tool shows it);
// the game has no console, so by default print shows nothing.
using PrintOutput = void (*)(const char* text);

// quit and restart hand the end of the run to the engine; without one they
// do nothing. The names are empty for quit and for a restart without scene.
using EndRequest = void (*)(bool restart, const char* scene, const char* loadingScene);

class ScriptSystem {
public:
    // gameScene, when given, is the scene whose scope becomes the global scope
    // (the engine's game scene); it must outlive the system. Without one
    // the system owns a bare scene named "game".
    explicit ScriptSystem(ScriptScene* gameScene = nullptr);
    ~ScriptSystem();
    ScriptSystem(const ScriptSystem&) = delete;
    ScriptSystem& operator=(const ScriptSystem&) = delete;

    ScriptHeap heap;

private:
    ScriptScene ownGlobal_; // declared before globalScene, which may refer to it

public:
    ScriptScene& globalScene;
    StatementStore store;
    ScriptSourceList sources;
    std::vector<ScriptScene*> scenes; // registration order, global first

    KeywordTable keywords; // filled by registerBuiltinCommands
    ExecContext ctx;
    CompileState compile;
    PointerInput pointer;
    ConfigurationAccess configuration;
    ScriptDownloads downloads; // url_get and url_get_image
    AlertQueue alerts;         // show_alert
    PrintOutput printOutput = nullptr;
    EndRequest endRequest = nullptr;
    HintVisitor hintVisitor = nullptr;
    // The build option that reports saved variables of non-serializable
    // scenes at linking.
    bool reportNonSerializable = false;

    Value stack[kValueStackCells];
    int top = 0;
    // Scratch text for commands that build strings (no allocation per call).
    char text[65536];

    Scope& global() { return globalScene.scope; }
    void addScene(ScriptScene* scene) { scenes.push_back(scene); }
    ScriptScene* findScene(Symbol* name) const;

    // Records that live as long as the system.
    SignalHandler* newSignalHandler();
    AnimationCue* newCue();
    DelayedCall* newDelayedCall();
    DelayedBlock* newDelayedBlock();
    TaskDescription* newTaskDescription();
    void releaseDelayedCall(DelayedCall* call) { freeCalls_.push_back(call); }
    void releaseDelayedBlock(DelayedBlock* block) { freeBlocks_.push_back(block); }

    // Cells of "Call_stack[]" entries: one per call level, never allocated
    // per call.
    Value callStackCells[kMaxCallDepth + 1];
    ArrayObject* callStack = nullptr;

private:
    ScriptHeap* previousHeap_;
    ScriptScene* previousGlobal_;
    ScriptSystem* previousSystem_;
    std::deque<SignalHandler> handlers_;
    std::deque<TaskDescription> descriptions_;
    std::deque<AnimationCue> cues_;
    std::deque<DelayedCall> calls_;
    std::deque<DelayedBlock> blocks_;
    std::vector<DelayedCall*> freeCalls_;
    std::vector<DelayedBlock*> freeBlocks_;
};

// The source of a script name, loaded on first use (see ScriptSourceList).
ScriptSource* findScriptSource(Symbol* name, const char* folder);

namespace detail {
// Set while a system exists (the innermost one); script() reads it on every
// statement, so it is a plain variable behind an inline accessor.
extern ScriptSystem* runningSystem;
} // namespace detail

// The running system; only valid while one exists.
inline ScriptSystem& script() { return *detail::runningSystem; }
// The running system's global scene, or null.
ScriptScene* globalScene();

} // namespace glint

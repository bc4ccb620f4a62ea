// The tagged cell of every script datum, the variable kinds and the
// per-scene variable store.
//
// A Value is a 32-bit type word (type code in the low 12 bits, the flags
// Unchanged and Marked above it) and an 8-byte payload: a double for
// numbers, otherwise one pointer (on 64-bit systems the pointer fills the
// payload). Cells handed out by the heap never move.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <unordered_map>
#include <vector>

#include "script/symbol.h"

namespace glint {

enum class ValueType : uint32_t {
    None = 0,
    Number = 1,
    String = 17,
    Element = 66,
    Group = 67,
    Scene = 68,
    Item = 69,
    Sound = 70,
    Function = 71,
    Task = 72,
    Signal = 73,
    Array = 74,
    Class = 75,
    Instance = 76,
    Method = 77,
    // Compiled forms: only statement nodes hold them.
    Reference = 257,
    VariableRef = 258,
    VariableRefArray = 259,
    VariableList = 260,
    Local = 261,
    Block = 262,
    Index = 263,
    Index2 = 264,
    Member = 265,
    ScopedName = 266,
    ConfigKey = 267,
    BlockWithLocals = 268,
    LoopLocal = 269,
    ArrayLiteral = 270,
};

constexpr uint32_t kValueTypeMask = 0x0FFF;
constexpr uint32_t kValueUnchanged = 0x1000; // set at the savegame baseline
constexpr uint32_t kValueMarked = 0x2000;    // reachable, during collection

struct ArrayObject;
class Scope;
struct ScriptElement;
struct ScriptGroup;
struct ScriptScene;
struct ScriptItem;
struct ScriptSound;
struct ScriptFunction;
struct ScriptTask;
struct ScriptSignal;
struct ScriptClass;
struct ScriptInstance;
struct ScriptMethod;
struct VariableEntry;
struct DelayedCall;
struct DelayedBlock;
struct AnimationCue;
struct PointerTarget;

struct Value {
    uint32_t typeWord = 0;
    union {
        double number;
        void* pointer;
        uint64_t bits = 0;
    };

    Value() = default;
    // Copies carry the type and the payload, never the flags: the flags
    // belong to the cell, not to the datum.
    Value(const Value& other) : typeWord(other.typeWord & kValueTypeMask), bits(other.bits) {}
    Value& operator=(const Value& other) {
        typeWord = other.typeWord & kValueTypeMask;
        bits = other.bits;
        return *this;
    }

    static Value none() { return Value(); }
    static Value fromNumber(double x) {
        Value v;
        v.typeWord = static_cast<uint32_t>(ValueType::Number);
        v.number = x;
        return v;
    }
    static Value fromPointer(ValueType type, const void* p) {
        Value v;
        v.typeWord = static_cast<uint32_t>(type);
        v.pointer = const_cast<void*>(p);
        return v;
    }
    static Value fromSymbol(Symbol* s) { return fromPointer(ValueType::String, s); }

    ValueType type() const { return static_cast<ValueType>(typeWord & kValueTypeMask); }
    bool is(ValueType t) const { return type() == t; }
    bool isNone() const { return type() == ValueType::None; }
    bool isNumber() const { return type() == ValueType::Number; }
    bool isString() const { return type() == ValueType::String; }
    bool unchanged() const { return (typeWord & kValueUnchanged) != 0; }
    bool marked() const { return (typeWord & kValueMarked) != 0; }

    template <typename T> T* as() const { return static_cast<T*>(pointer); }
    Symbol* symbol() const { return as<Symbol>(); }
};

// Kinds of variables, chosen by the name prefix.
enum VariableKind : uint8_t {
    KindPlain = 0,    // "#"
    KindElement = 1,  // "$"
    KindGroup = 2,    // "~"
    KindScene = 3,    // "+"
    KindItem = 4,     // "^"
    KindFunction = 5, // "&"
    KindTask = 6,     // "@"
    KindSignal = 7,   // "!"
    KindSound = 8,    // "*"
    KindClass = 9,    // "-"
    KindNone = 10,    // no prefix
};
constexpr int kVariableKinds = 10;

// "?#$~+^&@!*-": position 0 stands for "no kind", position k + 1 for kind k.
extern const char kPrefixTable[12];
// The kind of a prefix character; KindNone for any other character.
VariableKind kindOfPrefix(char c);
// The prefix character of a kind; '?' for KindNone.
char prefixOfKind(int kind);
// The kind a value of this type is stored under; KindNone for the rest.
VariableKind kindOfType(ValueType type);

// One entry of a kind list. Plain entries have a null array; array entries
// are named "x[]" and their cell holds the array (or whatever was stored
// into the variable since).
struct VariableEntry {
    Symbol* name = nullptr;
    Value* cell = nullptr;
    ArrayObject* array = nullptr;
    Scope* scope = nullptr; // the owner (the scene of a variable_ref)
};

using VariableList = std::vector<VariableEntry*>;

// The address of a statement node in the statement store; (0, 0) is none.
struct NodeRef {
    uint16_t chunk = 0;
    uint16_t offset = 0;
    bool empty() const { return chunk == 0 && offset == 0; }
    bool operator==(const NodeRef&) const = default;
};

// A task offered to the pointer by the target pass.
struct PointerTarget {
    ScriptTask* task = nullptr;
    uint8_t interaction = 1; // 1 click, 2 look, 3 use
};

// The variables of one scene (or of the global scene).
class Scope {
public:
    explicit Scope(ScriptScene* owner = nullptr);
    Scope(const Scope&) = delete;
    Scope& operator=(const Scope&) = delete;

    ScriptScene* scene() const { return scene_; }
    // The scene's name, "" for a scope without scene.
    const char* sceneName() const;

    VariableList& list(int kind) { return lists_[kind]; }
    const VariableList& list(int kind) const { return lists_[kind]; }
    // The cell of type VariableList behind #ALL$, #ALL@ ...
    Value* allView(int kind) { return &allViews_[kind]; }
    VariableList& allArrays() { return allArrays_; }

    std::vector<ScriptFunction*> functions;
    std::vector<ScriptTask*> tasks;
    std::vector<ScriptSignal*> signals;
    std::vector<ScriptClass*> classes;
    int32_t anonymousArrayCounter = 1;
    bool compiled = false;

    // Filled by the compiler and the interpreter (owned by the script system).
    NodeRef topLevel;                       // the compiled statement list
    std::vector<DelayedCall*> delayedCalls;  // call_fx
    std::vector<DelayedBlock*> delayedBlocks; // after
    std::vector<AnimationCue*> cues;         // when
    std::vector<PointerTarget> targets;      // collected by the target pass
    size_t builtInVariables = 0;             // kind-0 entries made before compiling

    // Appends an entry whose storage stays put for the scope's life.
    VariableEntry* addEntry(int kind, Symbol* name, Value* cell, ArrayObject* array);
    VariableEntry* addAllArray(Symbol* name, Value* cell, ArrayObject* array);
    // The first entry of that name in list order; plain entries only, or
    // array entries only. Scenes declare thousands of elements, so the
    // lookups go through an index by name identity.
    VariableEntry* findPlain(int kind, Symbol* name) const;
    VariableEntry* findArray(int kind, Symbol* name) const;
    // Renames an entry of the kind's list, keeping the index right.
    void renameEntry(int kind, VariableEntry* entry, Symbol* name);

private:
    using EntryIndex = std::unordered_map<const Symbol*, VariableEntry*>;
    EntryIndex& indexFor(int kind, bool array) { return array ? arrayIndex_[kind] : plainIndex_[kind]; }
    // The first entry of the list with that name and array-ness, or null.
    VariableEntry* scan(int kind, const Symbol* name, bool array) const;

    ScriptScene* scene_;
    VariableList lists_[kVariableKinds];
    EntryIndex plainIndex_[kVariableKinds];
    EntryIndex arrayIndex_[kVariableKinds];
    Value allViews_[kVariableKinds];
    VariableList allArrays_;
    std::deque<VariableEntry> entries_;
};

// Returns the variable's cell, or null when absent and create is false
// (see scope.cpp for the name forms). initial, when given, becomes the
// variable's cell if it is created.
Value* findVariable(Scope& scope, int kind, Symbol* name, Value* initial, bool create);

// Declares a variable bound to a cell the caller owns (engine fields that
// scripts read and write), or returns the existing cell.
Value* declareVariable(Scope& scope, int kind, Symbol* name, Value* cell);
Value* declareVariable(Scope& scope, int kind, const char* name, Value* cell);

// What the scene loader calls for every element: declares the element
// variable and, for a name with an underscore (after its first "$"), also
// appends the cell to the element array named by the text before that
// underscore plus "_ALL[]" (lamp_2 joins $lamp_ALL[]).
Value* declareElementVariable(Scope& scope, Symbol* name, Value* cell);

// The scope of the global scene; null until a script system exists.
Scope* globalScope();

// Appends the text form of a value to the zero-terminated text in buffer
// (capacity bytes in all); the text is cut to fit.
void formatValue(const Value& value, char* buffer, size_t capacity);
// The text form alone.
std::string valueText(const Value& value);

// Optional "-", digits, optional "." and digits; empty text gives 0.
double textToNumber(const char* text);

// Half away from zero, the rounding every script conversion uses.
int64_t roundToInteger(double x);

} // namespace glint

// The statement loop, statement compilation and the compile-time
// directives.
#include "script/compiler.h"

#include <cctype>
#include <cstring>
#include <string>

#include "script/array_object.h"
#include "script/commands.h"
#include "script/declarations.h"
#include "script/interpreter.h"
#include "script/script_error.h"
#include "script/word_cursor.h"

namespace glint {

void ListTail::append(NodeRef ref, Value* header) {
    if (last) {
        StatementHeader h = headerOf(last);
        h.next = ref;
        setHeader(last, h);
    } else {
        *head = ref;
    }
    last = header;
}

namespace {

constexpr int kArgumentBufferSize = 2048;
constexpr int kMaxIncludeDepth = 32;
const char kEndOfLine[] = "";

// One compilation of one source: cursors over the source text (cut and
// restored in place) and the argument buffers of the statement at hand.
class ScriptReader {
public:
    ScriptReader(Scope& s, char* text, const IncludeContext& context)
        : scope(s), include(context), lines_(text) {}

    // The next word of the current line, kEndOfLine when the line is done
    // (the call after that reads the next line), null at the end of the text.
    const char* nextWord() {
        if (exhausted_) {
            char* line = lines_.nextLine();
            if (!line) return nullptr;
            words_.reset(line);
            exhausted_ = false;
        }
        const char* word = words_.next();
        if (!word) {
            exhausted_ = true;
            return kEndOfLine;
        }
        return word;
    }
    // The next word at statement position, reading further lines.
    const char* nextStatementWord() {
        for (;;) {
            const char* word = nextWord();
            if (word != kEndOfLine) return word;
        }
    }
    void skipLine() {
        words_.restore();
        exhausted_ = true;
    }

    Scope& scope;
    IncludeContext include;
    char args[kMaxArguments][kArgumentBufferSize];

private:
    LineCursor lines_;
    WordCursor words_;
    bool exhausted_ = true;
};

enum class ListEnd { Text, Brace };

ListEnd compileList(ScriptReader& reader, ListTail& tail, int level, bool nested);
ListEnd skipList(ScriptReader& reader, bool nested);

// --- Angle-bracket substitution -------------------------------------------

class Output {
public:
    Output(char* buffer, size_t size) : buffer_(buffer), size_(size) { buffer_[0] = 0; }
    void put(char c) {
        if (length_ + 1 < size_) {
            buffer_[length_++] = c;
            buffer_[length_] = 0;
        }
    }
    void put(const char* s) {
        while (*s) put(*s++);
    }
    char* text() { return buffer_; }
    size_t length() const { return length_; }

private:
    char* buffer_;
    size_t size_;
    size_t length_ = 0;
};

void substituteInto(ScriptReader& reader, Output& out, const char* word);

const char* includeField(ScriptReader& reader, const char* inner) {
    if (!std::strcmp(inner, "NAME")) return reader.include.name;
    if (!std::strcmp(inner, "BASE_NAME")) return reader.include.baseName;
    if (!std::strcmp(inner, "GROUP_NAME")) return reader.include.groupName;
    return nullptr;
}

void substituteExpression(ScriptReader& reader, Output& out, const char* inner) {
    if (const char* field = includeField(reader, inner)) {
        out.put(field);
        return;
    }
    if (!std::strcmp(inner, "SCENE_NAME")) {
        out.put(reader.scope.sceneName());
        return;
    }
    char expanded[kArgumentBufferSize];
    Output inside(expanded, sizeof expanded);
    substituteInto(reader, inside, inner);
    Value value = evaluateWord(expanded);
    if (value.isNone()) return;
    char text[kArgumentBufferSize] = "";
    formatValue(value, text, sizeof text);
    out.put(text);
}

void substituteInto(ScriptReader& reader, Output& out, const char* word) {
    for (const char* p = word; *p; ++p) {
        if (*p != '<' || !p[1] || p[1] == ' ' || p[1] == '=' || p[1] == '>') {
            out.put(*p);
            continue;
        }
        int depth = 1;
        const char* q = p + 1;
        for (; *q; ++q) {
            if (*q == '<') ++depth;
            if (*q == '>' && --depth == 0) break;
        }
        size_t innerLength = static_cast<size_t>(q - p - 1);
        if (!*q || innerLength > 255) { // no match (or too long): keep the "<"
            out.put(*p);
            continue;
        }
        char inner[256];
        std::memcpy(inner, p + 1, innerLength);
        inner[innerLength] = 0;
        substituteExpression(reader, out, inner);
        p = q;
    }
}

// --- Statement compilation ------------------------------------------------

struct CollectedStatement {
    Symbol* command = nullptr;
    int written = 0;
    bool opensBlock = false;
};

// Reads the argument words of a statement into the reader's buffers.
void collectArguments(ScriptReader& reader, CollectedStatement& statement) {
    for (;;) {
        const char* word = reader.nextWord();
        if (!word || word == kEndOfLine) return;
        if (word[0] == ';') {
            reader.skipLine();
            return;
        }
        if (word[0] == '{') {
            statement.opensBlock = true;
            return;
        }
        if (word[0] == '}') return; // a closing brace never trails a statement
        if (statement.written == kMaxArguments) {
            scriptError("%s", "");
            continue;
        }
        Output out(reader.args[statement.written], kArgumentBufferSize);
        substituteInto(reader, out, word);
        ++statement.written;
    }
}

// A declaration with a block starts a new local numbering: the visible
// names and the root are put aside while it compiles.
struct NewLocalRoot {
    explicit NewLocalRoot(bool active) : active_(active) {
        if (!active_) return;
        CompileState& c = script().compile;
        savedRoot_ = c.root;
        savedNames_.swap(c.visible);
        c.root = nullptr;
    }
    ~NewLocalRoot() {
        if (!active_) return;
        CompileState& c = script().compile;
        c.visible.swap(savedNames_);
        c.root = savedRoot_;
    }
    NewLocalRoot(const NewLocalRoot&) = delete;
    NewLocalRoot& operator=(const NewLocalRoot&) = delete;

private:
    bool active_;
    Block* savedRoot_ = nullptr;
    std::vector<LocalSlot> savedNames_;
};

// Compiles the statements of a block (the reader is just after its "{");
// the locals declared inside are forgotten when it ends.
void compileBlockInto(ScriptReader& reader, Block* block, int level, bool loop) {
    ListTail tail{&block->first};
    CompileState& c = script().compile;
    size_t visible = c.visible.size();
    if (loop) ++c.loopDepth;
    compileList(reader, tail, level, true);
    if (loop) --c.loopDepth;
    c.visible.resize(visible);
}

void runDefinitionBlock(Block* block) {
    ExecContext saved = script().ctx;
    runBlock(block, nullptr, 0, false);
    script().ctx = saved;
}

void includeScript(ScriptReader& reader, ListTail& tail, int level, const char* name, const IncludeContext& include) {
    compileScript(reader.scope, tail, intern(name), include, level, true);
}

// include_for_each: the script once per element item of a list.
void includeForEach(ScriptReader& reader, ListTail& tail, int level, int written) {
    if (written < 2) return;
    std::string scriptName = reader.args[1];
    Value list = evaluateWord(reader.args[0]);
    std::vector<ScriptElement*> elements;
    auto addValue = [&elements](const Value& v) {
        if (v.is(ValueType::Element) && v.pointer) elements.push_back(v.as<ScriptElement>());
    };
    if (list.is(ValueType::Array)) {
        for (Value* cell : list.as<ArrayObject>()->items)
            if (cell) addValue(*cell);
    } else if (list.is(ValueType::Group) && list.pointer) {
        for (ScriptElement* e : list.as<ScriptGroup>()->elements) elements.push_back(e);
    } else {
        addValue(list);
    }
    for (ScriptElement* element : elements) {
        std::string name = element->name ? element->name->text : "";
        if (name.size() >= 2 && name.compare(name.size() - 2, 2, "_h") == 0) continue;
        if (element->templateName && !element->templateInstance) continue;
        std::string full, base, group;
        bool hasBase = false;
        size_t underscore = name.find('_');
        if (!element->templateName) {
            full = name;
            if (underscore != std::string::npos) {
                base = name.substr(underscore + 1);
                hasBase = true;
            }
            group = name;
        } else {
            size_t last = name.rfind('_');
            full = last == std::string::npos ? name : name.substr(0, last);
            if (underscore != std::string::npos) {
                base = name.substr(underscore + 1);
                size_t baseLast = base.rfind('_');
                if (baseLast != std::string::npos) base.resize(baseLast);
                hasBase = true;
            }
            group = element->templateName->text;
        }
        IncludeContext include{full.c_str(), hasBase ? base.c_str() : nullptr, group.c_str()};
        includeScript(reader, tail, level, scriptName.c_str(), include);
    }
}

// def #array[] [a, b, c]: the array is cleared and filled from the list.
bool defineConstantArray(const char* target, const char* valueText) {
    size_t targetLength = std::strlen(target);
    if (target[0] != '#' || targetLength <= 3 || std::strcmp(target + targetLength - 2, "[]") != 0 ||
        valueText[0] != '[')
        return false;
    Value cell;
    compileWord(target, cell);
    Value arrayValue;
    access(cell, AccessCreate, arrayValue);
    size_t length = std::strlen(valueText);
    if (!arrayValue.is(ValueType::Array) || length < 2 || valueText[length - 1] != ']') {
        scriptError("Invalid syntax for const array - 'def #array[] [...]'");
        return true;
    }
    ArrayObject* array = arrayValue.as<ArrayObject>();
    array->clear();
    std::string body(valueText + 1, length - 2);
    size_t start = 0;
    while (start <= body.size()) {
        size_t comma = body.find(',', start);
        std::string piece = body.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        if (!(piece.empty() && comma == std::string::npos && start == body.size() && start == 0)) {
            Value v = evaluateWord(piece.c_str());
            array->append(scriptHeap().newCell(v));
        }
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    return true;
}

void define(ScriptReader& reader, int written) {
    const char* target = reader.args[0];
    const char* valueText = written > 1 ? reader.args[1] : "";
    if (defineConstantArray(target, valueText)) return;
    Value value = evaluateWord(valueText);
    Value cell;
    compileWord(target, cell);
    access(cell, AccessWrite, value);
}

bool isConditionOperator(const char* word) {
    static const char* const operators[] = {"=", "<", ">", "<=", ">=", "<>", "and", "or"};
    for (const char* op : operators)
        if (!std::strcmp(word, op)) return true;
    return false;
}

bool compileTimeCondition(ScriptReader& reader, int written) {
    if (written > 1 && reader.args[1][0] && !isConditionOperator(reader.args[1])) scriptError("Invalid condition");
    Value values[3];
    int count = written < 3 ? written : 3;
    for (int i = 0; i < count; ++i) values[i] = evaluateWord(reader.args[i]);
    return evalCondition(values, count);
}

// Handles include, include_for_each, def, ifdef and ifndef; they leave no
// statement behind.
void compileDirective(ScriptReader& reader, ListTail& tail, int level, int keyword, const CollectedStatement& s) {
    switch (keyword) {
    case KwInclude:
        if (s.written > 0) includeScript(reader, tail, level, reader.args[0], reader.include);
        if (s.opensBlock) skipList(reader, true);
        break;
    case KwIncludeForEach:
        includeForEach(reader, tail, level, s.written);
        if (s.opensBlock) skipList(reader, true);
        break;
    case KwDef: {
        define(reader, s.written);
        if (s.opensBlock) {
            NewLocalRoot locals(true);
            Block* block = script().store.newBlock();
            block->hasLocals = true;
            script().compile.root = block;
            compileBlockInto(reader, block, kLevelCommands, false);
            runDefinitionBlock(block);
        }
        break;
    }
    case KwIfdef:
    case KwIfndef: {
        bool holds = compileTimeCondition(reader, s.written);
        if (keyword == KwIfndef) holds = !holds;
        if (!s.opensBlock) break;
        if (holds)
            compileList(reader, tail, level, true);
        else
            skipList(reader, true);
        break;
    }
    default:
        break;
    }
}

// The hint each argument of a statement is compiled with.
// A bare command word always names a global function.
void compileArguments(ScriptReader& reader, Statement statement, int keyword, int written, bool bareCall) {
    for (int i = 0; i < written; ++i) {
        Value& cell = *statement.arg(i);
        if (keyword == KwCall && i == 0)
            compileWord(reader.args[i], cell, bareCall ? &script().global() : nullptr, KindFunction);
        else if (keyword == KwCallFx && i == 1)
            compileWord(reader.args[i], cell, nullptr, KindFunction);
        else
            compileWord(reader.args[i], cell);
    }
}

void compileStatement(ScriptReader& reader, const char* word, ListTail& tail, int level) {
    CollectedStatement s;
    bool validWord = std::isalpha(static_cast<unsigned char>(word[0])) != 0;
    s.command = intern(word); // before the cursor moves on and restores the cut
    ScriptFunction* function = nullptr;
    if (validWord) {
        Value* cell = findVariable(script().global(), KindFunction, s.command, nullptr, true);
        if (cell && cell->is(ValueType::Function)) function = cell->as<ScriptFunction>();
    }
    // A bare call's name becomes its first argument and must fit the
    // argument buffer; a name that long cannot be a function anyone wrote.
    if (function && s.command->length >= kArgumentBufferSize) function = nullptr;
    int keyword = function ? keywordIndex(s.command) : 0;
    bool bareCall = function && keyword == 0;
    if (bareCall) {
        keyword = KwCall;
        std::strcpy(reader.args[0], s.command->text);
        s.written = 1;
    }
    collectArguments(reader, s);
    if (!function) {
        scriptError("Invalid command - %s", s.command->text);
        if (s.opensBlock) skipList(reader, true);
        return;
    }
    if (keyword >= KwInclude && keyword <= KwIfndef) {
        compileDirective(reader, tail, level, keyword, s);
        return;
    }
    ScriptFunction* record = keywords().function[keyword];
    if (!record) record = function;
    int declarationLevel = record->declarationLevel ? kLevelDeclarations : kLevelCommands;
    if (declarationLevel != level) {
        scriptError("This command cannot be used here!");
        if (s.opensBlock) skipList(reader, true);
        return;
    }
    if (keyword == KwBreak && script().compile.loopDepth == 0) {
        scriptError("Command break is not allowed here!");
        if (s.opensBlock) skipList(reader, true);
        return;
    }
    int minimum = keywords().minimum[keyword];
    int cellCount = s.written > minimum ? s.written : minimum;
    bool hasBlock = record->hasBlock != 0;
    NodeRef ref = script().store.allocate(cellCount + 1 + (hasBlock ? 1 : 0));
    if (ref.empty()) {
        if (s.opensBlock) skipList(reader, true);
        return;
    }
    if (hasBlock) ref.offset += 1;
    Statement statement = script().store.statement(ref);
    StatementHeader header;
    header.command = static_cast<uint8_t>(keyword);
    header.written = static_cast<uint8_t>(s.written);
    header.cells = static_cast<uint8_t>(cellCount);
    header.hasBlock = hasBlock ? 1 : 0;
    setHeader(statement.header, header);
    tail.append(ref, statement.header);

    bool declaration = declarationLevel == kLevelDeclarations;
    bool newRoot = declaration && s.opensBlock;
    NewLocalRoot locals(newRoot);
    Block* block = s.opensBlock ? script().store.newBlock() : nullptr;
    if (newRoot) {
        block->hasLocals = true;
        script().compile.root = block;
    }
    compileArguments(reader, statement, keyword, s.written, bareCall);

    if ((keyword == KwFor || keyword == KwForEach)) {
        Value* index = statement.arg(0);
        if (index->is(ValueType::Local))
            index->typeWord = static_cast<uint32_t>(ValueType::LoopLocal);
        else
            scriptError("Loop index must be local variable");
    }
    if (keyword == KwFun) {
        for (int i = 1; i < s.written; ++i)
            if (!statement.arg(i)->is(ValueType::Local)) {
                scriptError("Formal function parameters must be local variables");
                break;
            }
    }
    if (!s.opensBlock) return;
    int blockLevel = (keyword == KwTask || keyword == KwAction || keyword == KwClass) ? kLevelDeclarations
                                                                                       : kLevelCommands;
    compileBlockInto(reader, block, blockLevel, keyword == KwFor || keyword == KwForEach);
    if (hasBlock)
        *statement.blockCell() =
            Value::fromPointer(block->hasLocals ? ValueType::BlockWithLocals : ValueType::Block, block);
}

ListEnd compileList(ScriptReader& reader, ListTail& tail, int level, bool nested) {
    for (;;) {
        const char* word = reader.nextStatementWord();
        if (!word) {
            if (nested) scriptError("%s", "");
            return ListEnd::Text;
        }
        if (word[0] == ';') {
            reader.skipLine();
            continue;
        }
        if (word[0] == '}') return ListEnd::Brace;
        compileStatement(reader, word, tail, level);
    }
}

// Parses a block without compiling it (the false branch of ifdef, the
// block of a rejected statement).
ListEnd skipList(ScriptReader& reader, bool nested) {
    for (;;) {
        const char* word = reader.nextStatementWord();
        if (!word) {
            if (nested) scriptError("%s", "");
            return ListEnd::Text;
        }
        if (word[0] == ';') {
            reader.skipLine();
            continue;
        }
        if (word[0] == '}') return ListEnd::Brace;
        for (;;) {
            const char* arg = reader.nextWord();
            if (!arg || arg == kEndOfLine || arg[0] == '}') break;
            if (arg[0] == ';') {
                reader.skipLine();
                break;
            }
            if (arg[0] == '{') {
                if (skipList(reader, true) == ListEnd::Text) return ListEnd::Text;
                break;
            }
        }
    }
}

void compileSource(Scope& scope, ListTail& list, ScriptSource& source, const IncludeContext& include, int level) {
    ++source.useCount;
    // Each reader owns 62 KiB of argument buffers: keep them off the stack.
    auto reader = std::make_unique<ScriptReader>(scope, source.text.get(), include);
    if (compileList(*reader, list, level, false) == ListEnd::Brace && reader->nextStatementWord())
        scriptError("Unexpected end of script");
}

} // namespace

bool compileScript(Scope& scope, ListTail& list, Symbol* name, const IncludeContext& include, int level,
                   bool mustExist) {
    ScriptScene* scene = scope.scene();
    const char* folder = scene && scene->folder ? scene->folder->text : "";
    ScriptSource* source = findScriptSource(name, folder);
    if (!source) {
        if (mustExist) scriptError("ERROR: Script '%s' does not exist!", name->text);
        return false;
    }
    CompileState& c = script().compile;
    if (c.includeDepth >= kMaxIncludeDepth) {
        scriptError("ERROR: Script '%s' includes itself too deeply", name->text);
        return true;
    }
    ++c.includeDepth;
    compileSource(scope, list, *source, include, level);
    --c.includeDepth;
    return true;
}

namespace {

struct CompileScopeGuard {
    explicit CompileScopeGuard(Scope& scope)
        : savedCompile_(script().compile.scope), savedExec_(script().ctx.scope), savedError_(scriptErrorScope()),
          savedScene_(script().ctx.scene) {
        script().compile.scope = &scope;
        script().ctx.scope = &scope;
        script().ctx.scene = Value::fromPointer(ValueType::Scene, scope.scene());
        setScriptErrorScope(&scope);
    }
    ~CompileScopeGuard() {
        script().compile.scope = savedCompile_;
        script().ctx.scope = savedExec_;
        script().ctx.scene = savedScene_;
        setScriptErrorScope(savedError_);
    }

private:
    Scope* savedCompile_;
    Scope* savedExec_;
    Scope* savedError_;
    Value savedScene_;
};

ListTail topLevelTail(Scope& scope) {
    ListTail tail{&scope.topLevel};
    for (NodeRef ref = scope.topLevel; !ref.empty();) {
        Statement s = script().store.statement(ref);
        tail.last = s.header;
        ref = s.info().next;
    }
    return tail;
}

} // namespace

void compileScene(Scope& scope) {
    if (scope.compiled) return;
    CompileScopeGuard guard(scope);
    if (!scope.builtInVariables) scope.builtInVariables = scope.list(KindPlain).size();
    ListTail tail = topLevelTail(scope);
    IncludeContext none;
    compileScript(scope, tail, sym::common_all(), none, kLevelDeclarations, true);
    const char* name = scope.sceneName();
    const char* dot = std::strrchr(name, '.');
    compileScript(scope, tail, intern(dot ? dot + 1 : name), none, kLevelDeclarations, false);
    compileScript(scope, tail, sym::common_all_post(), none, kLevelDeclarations, true);
    declare(scope.topLevel, scope);
    scope.compiled = true;
}

} // namespace glint

// Compiling one value word into a constant or a compiled form.
#include <cctype>
#include <cstring>
#include <string>

#include "script/compiler.h"
#include "script/interpreter.h"
#include "script/script_error.h"

namespace glint {

namespace {

constexpr int kMaxLocalSlots = 256;

Value* newCells(int count) {
    StatementStore& store = script().store;
    return store.cell(store.allocate(count));
}

Value compiledNode(ValueType type, Value* cells) { return Value::fromPointer(type, cells); }

// Rule: digits, "x" to base 16, "." fraction, "-" negates, "f" tenths,
// "t" hundredths; other characters are ignored. 0x1F -> 31, 15t -> 0.15,
// 3f -> 0.3, 1-2 -> -12.
double parseNumberWord(const char* text) {
    int base = 10;
    double value = 0, scale = 1, divisor = 0;
    bool fraction = false;
    for (const char* p = text; *p; ++p) {
        char c = *p;
        int digit = -1;
        if (c >= '0' && c <= '9') digit = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F') digit = c - 'A' + 10;
        if (digit >= 0) {
            if (fraction) {
                value += digit / divisor;
                divisor *= base;
            } else {
                value = value * base + digit;
            }
            continue;
        }
        switch (c) {
        case 'x': base = 16; break;
        case '.':
            fraction = true;
            divisor = base;
            break;
        case '-': scale = -scale; break;
        case 'f': scale *= 0.1; break;
        case 't': scale *= 0.01; break;
        default: break;
        }
    }
    return value * scale;
}

void compileLocal(const char* text, Value& out) {
    CompileState& c = script().compile;
    out = Value();
    if (!c.root) {
        scriptError("Using local variable outside root block!");
        return;
    }
    Symbol* name = intern(text);
    int slot = -1;
    for (auto it = c.visible.rbegin(); it != c.visible.rend(); ++it)
        if (it->name == name) {
            slot = it->slot;
            break;
        }
    if (slot < 0) {
        if (c.root->localCount >= kMaxLocalSlots) {
            scriptError("Too much local variables!");
            return;
        }
        slot = c.root->localCount++;
        c.root->locals.push_back({name, slot});
        c.visible.push_back({name, slot});
    }
    out.typeWord = static_cast<uint32_t>(ValueType::Local);
    out.bits = static_cast<uint64_t>(slot);
}

bool isNameCharacter(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '/' || c == '?';
}

void compileIndex(const char* text, size_t close, Value& out) {
    int depth = 0;
    size_t comma = std::string::npos;
    size_t open = std::string::npos;
    for (size_t i = close + 1; i-- > 0;) {
        char c = text[i];
        if (c == ']') ++depth;
        else if (c == '[' && --depth == 0) {
            open = i;
            break;
        } else if (c == ',' && depth == 1 && comma == std::string::npos)
            comma = i;
    }
    out = Value();
    if (open == std::string::npos) {
        scriptError("Invalid indexing - missing [");
        return;
    }
    std::string base(text, open);
    size_t scan = base.size();
    while (scan > 0 && isNameCharacter(base[scan - 1])) --scan;
    if (scan == 0) {
        scriptError("Invalid indexing - unknown array type");
        return;
    }
    char stop = base[scan - 1];
    bool prefix = kindOfPrefix(stop) != KindNone;
    bool afterDot = scan >= 2 && base[scan - 2] == '.';
    if ((prefix && !afterDot) || stop == ':')
        base += "[]";
    else if (prefix && afterDot)
        scriptError("Expressions of the form object.object[index] might have undesirable effect");
    bool two = comma != std::string::npos;
    Value* cells = newCells(two ? 3 : 2);
    if (!cells) return;
    compileWord(base.c_str(), cells[0]);
    if (two) {
        compileWord(std::string(text + open + 1, comma - open - 1).c_str(), cells[1]);
        compileWord(std::string(text + comma + 1, close - comma - 1).c_str(), cells[2]);
        out = compiledNode(ValueType::Index2, cells);
    } else {
        compileWord(std::string(text + open + 1, close - open - 1).c_str(), cells[1]);
        out = compiledNode(ValueType::Index, cells);
    }
}

void compileMember(const char* text, size_t dot, Value& out) {
    Value* cells = newCells(3);
    out = Value();
    if (!cells) return;
    const char* member = text + dot + 1;
    VariableKind kind = KindNone;
    if (member[0] != '#' && kindOfPrefix(member[0]) != KindNone) {
        kind = kindOfPrefix(member[0]);
        ++member;
    }
    cells[0] = Value::fromNumber(kind);
    compileWord(std::string(text, dot).c_str(), cells[1]);
    compileWord(member, cells[2]);
    out = compiledNode(ValueType::Member, cells);
}

void compileScoped(const char* text, size_t sceneEnd, size_t nameStart, bool create, Value& out) {
    out = Value();
    VariableKind kind = kindOfPrefix(text[nameStart]);
    if (kind == KindNone) {
        scriptError("Invalid variable prefix");
        return;
    }
    Value* cells = newCells(3);
    if (!cells) return;
    compileWord(std::string(text, sceneEnd).c_str(), cells[0]);
    if (cells[0].isString()) { // a scene named by a constant is found now
        ScriptScene* scene = script().findScene(cells[0].symbol());
        cells[0] = scene ? Value::fromPointer(ValueType::Scene, scene) : Value();
    }
    cells[1] = Value::fromSymbol(intern(text + nameStart + 1));
    cells[2] = Value();
    cells[2].bits = static_cast<uint64_t>(kind) | (create ? 0x100u : 0u);
    out = compiledNode(ValueType::ScopedName, cells);
}

// Rule 4: member access, indexing or scoped access, found by scanning from
// the end up to the first quote. False when none applies.
bool compileAccessForm(const char* text, Value& out) {
    size_t length = std::strlen(text);
    for (size_t i = length; i-- > 0;) {
        char c = text[i];
        if (c == '"' || c == '\'') return false;
        if (c == '.') {
            compileMember(text, i, out);
            return true;
        }
        if (c == ']') {
            if (i == length - 1 && i > 0 && text[i - 1] == '[') {
                --i; // the "[]" of an array name
                continue;
            }
            compileIndex(text, i, out);
            return true;
        }
        if (c == ':' && i > 0 && text[i - 1] == ':') {
            bool create = i > 1 && text[i - 2] == ':';
            compileScoped(text, create ? i - 2 : i - 1, i + 1, create, out);
            return true;
        }
    }
    return false;
}

Value reference(Value* cell) { return cell ? Value::fromPointer(ValueType::Reference, cell) : Value(); }

Value variable(Scope* scope, int kind, const char* name) {
    if (!scope) return Value();
    Symbol* symbol = intern(name);
    Value* cell = findVariable(*scope, kind, symbol, nullptr, true);
    // The array may clear or shrink; the compiled word keeps its cell.
    if (symbol && symbol->arrayBase) scriptHeap().pin(cell);
    return reference(cell);
}

// "scene:name": the scope of that scene (null when none matches) and the
// name; without a colon the given scope and the whole text.
Scope* splitScene(const char* text, Scope* scope, std::string& name, bool& hasScene) {
    const char* colon = std::strchr(text, ':');
    hasScene = colon != nullptr;
    if (!colon) {
        name = text;
        return scope;
    }
    name = colon + 1;
    ScriptScene* scene = script().findScene(intern(text, static_cast<int>(colon - text)));
    return scene ? &scene->scope : nullptr;
}

std::string withoutVersion(const char* name) {
    std::string s = name;
    size_t underscore = s.rfind('_');
    if (underscore != std::string::npos && underscore + 1 < s.size()) {
        bool digits = true;
        for (size_t i = underscore + 1; i < s.size(); ++i) digits = digits && std::isdigit(static_cast<unsigned char>(s[i]));
        if (digits) s.resize(underscore);
    }
    return s;
}

void compileVariable(const char* text, Value& out, Scope* scope) {
    Scope* global = &script().global();
    char prefix = text[0];
    const char* rest = text + 1;
    VariableKind kind = kindOfPrefix(prefix);
    out = Value();
    if (prefix == '#') {
        if (rest[0] == '#') {
            if (std::strchr(rest + 1, ':')) {
                scriptError("##variable should not name a script - %s", text);
                return;
            }
            out = variable(global, KindPlain, rest + 1);
            return;
        }
        if (rest[0] && (std::strchr("$@^&+", rest[0]) || (rest[0] == '?' && rest[1]))) {
            out = variable(global, KindPlain, rest);
            return;
        }
        if (rest[0] == '!') {
            Value* cells = newCells(1);
            if (!cells) return;
            compileWord(rest + 1, cells[0]);
            out = compiledNode(ValueType::ConfigKey, cells);
            return;
        }
    }
    if (prefix == '^' && rest[0] != '^') {
        out = variable(global, KindItem, withoutVersion(rest).c_str());
        return;
    }
    if (prefix == '+' && rest[0] != '+') {
        out = variable(global, KindScene, rest);
        return;
    }
    if (prefix == '$' && rest[0] == '?' && !rest[1]) {
        out = Value::fromPointer(ValueType::Element, nullptr);
        return;
    }
    if (rest[0] == prefix) {
        if (prefix == '$') {
            scriptError("$$variables are not supported - %s", text);
            return;
        }
        if (std::strchr(rest + 1, ':')) {
            scriptError("##variable should not name a script - %s", text);
            return;
        }
        out = variable(global, kind, rest + 1);
        return;
    }
    if (rest[0] == '?' && !rest[1]) {
        scriptError("Invalid variable name - %s", text);
        return;
    }
    std::string name;
    bool hasScene = false;
    Scope* target = splitScene(rest, scope, name, hasScene);
    out = variable(target, kind, name.c_str());
}

} // namespace

void compileWord(const char* text, Value& out, Scope* scope, int kindHint) {
    Scope* current = scope ? scope : script().compile.scope ? script().compile.scope : &script().global();
    out = Value();
    if (!text[0] || text[0] == '?') return;
    if (text[0] == '[') {
        if (!std::strcmp(text, "[]"))
            out.typeWord = static_cast<uint32_t>(ValueType::ArrayLiteral);
        else
            scriptError("Array constants are supported only inside 'def #array[] [...]'");
        return;
    }
    if (std::isdigit(static_cast<unsigned char>(text[0])) ||
        (text[0] == '-' && std::isdigit(static_cast<unsigned char>(text[1])))) {
        out = Value::fromNumber(parseNumberWord(text));
        return;
    }
    if (compileAccessForm(text, out)) return;
    if (text[0] == '\'') {
        out = Value::fromNumber(static_cast<signed char>(text[1]));
        return;
    }
    if (text[0] == '"') {
        size_t length = std::strlen(text);
        if (length < 2 || text[length - 1] != '"') {
            scriptError("Invalid text constant");
            out = Value::fromSymbol(intern(text));
            return;
        }
        out = Value::fromSymbol(intern(text + 1, static_cast<int>(length - 2)));
        return;
    }
    if (text[0] == '%') {
        compileLocal(text, out);
        return;
    }
    if (kindOfPrefix(text[0]) == KindNone) {
        if (kindHint == KindNone) {
            if (!std::strcmp(text, "this"))
                out = Value::fromPointer(ValueType::Reference, &script().ctx.self);
            else
                out = Value::fromSymbol(intern(text));
            return;
        }
        out = variable(current, kindHint, text);
        return;
    }
    compileVariable(text, out, current);
}

Value evaluateWord(const char* text) {
    Value cell;
    compileWord(text, cell);
    return readCell(cell);
}

} // namespace glint

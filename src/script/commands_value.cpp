// Value, arithmetic, string, type and object commands. Results go to the
// first argument, which the interpreter writes back (mask 1).
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>

#include "engine/system/numbers.h"
#include "script/array_object.h"
#include "script/commands.h"
#include "script/declarations.h"
#include "script/interpreter.h"
#include "script/script_error.h"

namespace glint {

namespace {

double number(const Value& v) { return v.isNumber() ? v.number : 0; }

uint32_t result(Value* args, double x) {
    args[0] = Value::fromNumber(x);
    return 1;
}

bool tooSmall(double x) { return std::fabs(x) < 0.0001; }

// The sine table index of an angle in degrees (65536 steps per turn).
double tableAngle(double degrees) {
    int32_t index = static_cast<int32_t>(static_cast<int64_t>(degrees * 182.04445) & 65535);
    return index * (2 * M_PI / 65536);
}

// Up to four coordinates: an element gives its x and y while at most two
// values were collected, a number one while fewer than four were.
int collectPoints(Value* args, int count, double out[4]) {
    int n = 0;
    for (int i = 1; i < count; ++i) {
        const Value& v = args[i];
        if (v.is(ValueType::Element) && v.pointer) {
            if (n > 2) continue;
            ScriptElement* e = v.as<ScriptElement>();
            Value x, y;
            e->getProperty(sym::x(), x);
            e->getProperty(sym::y(), y);
            out[n++] = number(x);
            out[n++] = number(y);
        } else if (n < 4) {
            out[n++] = number(v);
        }
    }
    return n;
}

Symbol* typeName(ValueType type) {
    switch (type) {
    case ValueType::Number: return sym::number();
    case ValueType::String: return sym::string();
    case ValueType::Element: return sym::element();
    case ValueType::Group: return sym::group();
    case ValueType::Scene: return sym::scene();
    case ValueType::Item: return sym::item();
    case ValueType::Sound: return sym::sound();
    case ValueType::Function: return sym::function();
    case ValueType::Task: return sym::task();
    case ValueType::Signal: return sym::signal();
    case ValueType::Array:
    case ValueType::VariableList: return sym::array();
    case ValueType::Class: return sym::class_();
    case ValueType::Instance: return sym::instance();
    case ValueType::VariableRef:
    case ValueType::VariableRefArray: return sym::variable_ref();
    default: return nullptr;
    }
}

const char* textOf(const Value& v) { return v.isString() ? v.symbol()->text : ""; }

} // namespace

uint32_t commandSet(Value* args, int) {
    args[0] = args[1];
    return 1;
}

uint32_t commandAbs(Value* args, int) { return result(args, std::fabs(number(args[1]))); }
uint32_t commandAdd(Value* args, int) { return result(args, number(args[0]) + number(args[1])); }
uint32_t commandSub(Value* args, int) { return result(args, number(args[0]) - number(args[1])); }
uint32_t commandMul(Value* args, int) { return result(args, number(args[0]) * number(args[1])); }

uint32_t commandDiv(Value* args, int) {
    double x = number(args[1]);
    return result(args, tooSmall(x) ? 0 : number(args[0]) / x);
}

uint32_t commandIdiv(Value* args, int) {
    double x = number(args[1]);
    return result(args, tooSmall(x) ? 0 : std::trunc(number(args[0]) / x));
}

uint32_t commandImod(Value* args, int) {
    double x = number(args[1]);
    double out = number(args[0]);
    return result(args, tooSmall(x) ? 0 : out - x * std::trunc(out / x));
}

uint32_t commandSqrt(Value* args, int) {
    double x = number(args[1]);
    return result(args, x >= 0 ? std::sqrt(x) : 0);
}

uint32_t commandPow(Value* args, int) { return result(args, std::pow(number(args[1]), number(args[2]))); }

uint32_t commandSin(Value* args, int) {
    double angle = args[1].isNumber() ? args[1].number : 0;
    return result(args, static_cast<float>(std::sin(tableAngle(angle))));
}

uint32_t commandCos(Value* args, int) {
    if (!args[1].isNumber()) return result(args, 1);
    return result(args, static_cast<float>(std::cos(tableAngle(args[1].number))));
}

uint32_t commandGetAngle(Value* args, int count) {
    double p[4];
    int n = count < 2 ? 0 : collectPoints(args, count, p);
    double angle = 0;
    if (n == 4) angle = -std::atan2(p[3] - p[1], p[2] - p[0]) * 180 / M_PI;
    else if (n == 2) angle = -std::atan2(p[1], p[0]) * 180 / M_PI;
    return result(args, angle);
}

uint32_t commandGetDistance(Value* args, int count) {
    double p[4];
    int n = count < 2 ? 0 : collectPoints(args, count, p);
    double distance = 0;
    if (n == 4) distance = std::sqrt((p[0] - p[2]) * (p[0] - p[2]) + (p[1] - p[3]) * (p[1] - p[3]));
    else if (n == 2) distance = std::sqrt(p[0] * p[0] + p[1] * p[1]);
    return result(args, distance);
}

uint32_t commandSetNumber(Value* args, int) {
    const Value& v = args[1];
    return result(args, v.isNumber() ? v.number : v.isString() ? textToNumber(v.symbol()->text) : 0);
}

uint32_t commandRound(Value* args, int) { return result(args, static_cast<int32_t>(roundToInteger(number(args[1])))); }

uint32_t commandGetType(Value* args, int) {
    Symbol* name = typeName(args[1].type());
    args[0] = name ? Value::fromSymbol(name) : Value();
    return 1;
}

uint32_t commandSetStr(Value* args, int count) {
    char* text = script().text;
    text[0] = 0;
    for (int i = 1; i < count; ++i)
        if (!args[i].isNone()) formatValue(args[i], text, sizeof script().text);
    args[0] = Value::fromSymbol(intern(text));
    return 1;
}

uint32_t commandStrCmp(Value* args, int) {
    int order = std::strcmp(textOf(args[1]), textOf(args[2]));
    return result(args, order < 0 ? -1 : order > 0 ? 1 : 0);
}

uint32_t commandSetChar(Value* args, int) {
    if (!args[0].isString()) return 0;
    Symbol* text = args[0].symbol();
    int32_t position = roundedInt(args[1]);
    int32_t code = roundedInt(args[2]);
    if (position < 1 || position > text->length + 1 || code < 0 || code > 255) return 0;
    std::string changed(text->text, text->length);
    if (code == 0)
        changed.resize(position - 1);
    else if (position == text->length + 1)
        changed.push_back(static_cast<char>(code));
    else
        changed[position - 1] = static_cast<char>(code);
    args[0] = Value::fromSymbol(intern(changed));
    return 1;
}

uint32_t commandClear(Value* args, int) {
    if (args[0].is(ValueType::Array)) args[0].as<ArrayObject>()->clear();
    return 0;
}

uint32_t commandInArray(Value* args, int) {
    double position = 0;
    if (!args[1].isNone() && args[2].is(ValueType::Array)) {
        ArrayObject* array = args[2].as<ArrayObject>();
        for (size_t i = 0; i < array->items.size(); ++i)
            if (array->items[i] && valuesEqual(*array->items[i], args[1])) {
                position = static_cast<double>(i + 1);
                break;
            }
    }
    return result(args, position);
}

uint32_t commandResetObject(Value* args, int) {
    PropertyList* members = nullptr;
    if (args[0].is(ValueType::Array)) members = &args[0].as<ArrayObject>()->members;
    else if (args[0].is(ValueType::Element) && args[0].pointer) members = &args[0].as<ScriptElement>()->members;
    if (members)
        for (PropertyNode* node = members->first(); node; node = node->next) node->value = Value();
    return 0;
}

uint32_t commandError(Value* args, int count) {
    char* text = script().text;
    text[0] = 0;
    for (int i = 0; i < count; ++i) {
        if (i) std::strncat(text, " ", sizeof script().text - std::strlen(text) - 1);
        formatValue(args[i], text, sizeof script().text);
    }
    scriptError("%s", text);
    return 0;
}

namespace {

ArrayObject* newAnonymousArray() {
    Scope& global = script().global();
    char name[32];
    std::snprintf(name, sizeof name, "ARRAY%.9d[]", global.anonymousArrayCounter++);
    return scriptHeap().arrays.create(intern(name), &global, ArrayObject::kAnonymous);
}

Value newInstance(ScriptClass* klass, Value* args, int count) {
    ScriptSystem& s = script();
    ScriptInstance* instance = scriptHeap().instances.create(klass);
    Value value = Value::fromPointer(ValueType::Instance, instance);
    Block* constructor = klass->constructor.empty() ? nullptr : s.store.statement(klass->constructor).block();
    if (constructor) {
        ExecContext saved = s.ctx;
        s.ctx.scope = klass->scope;
        s.ctx.scene = Value::fromPointer(ValueType::Scene, klass->scope->scene());
        s.ctx.self = value;
        runBlock(constructor, args, count, false);
        s.ctx = saved;
    }
    return value;
}

} // namespace

// new out kind...: an anonymous array, a class instance, or a run-time
// instance of a task for an element. (Copies of dynamic elements come with
// the scene code.)
uint32_t commandNew(Value* args, int count) {
    const Value& kind = args[1];
    Value made;
    if (kind.is(ValueType::ArrayLiteral)) {
        made = Value::fromPointer(ValueType::Array, newAnonymousArray());
    } else if (kind.is(ValueType::Class) && kind.pointer) {
        made = newInstance(kind.as<ScriptClass>(), args + 2, count > 2 ? count - 2 : 0);
    } else if (kind.is(ValueType::Task) && kind.pointer && count > 2 && args[2].is(ValueType::Element) &&
               args[2].pointer) {
        if (ScriptTask* instance = createTaskInstance(kind.as<ScriptTask>(), args[2].as<ScriptElement>(), true))
            made = Value::fromPointer(ValueType::Task, instance);
    }
    args[0] = made;
    return 1;
}

} // namespace glint

namespace glint {

namespace {

int clampField(int value, int low, int high) { return value < low ? low : value > high ? high : value; }

// Fields of "year:month:day:hour:minute:second" read from the right; a
// leading "-" makes a field negative, any other character ends it, and
// missing leading fields are 0.
void parseTimeFields(const char* text, int fields[6]) {
    for (int i = 0; i < 6; ++i) fields[i] = 0;
    size_t length = std::strlen(text);
    int index = 5;
    size_t end = length;
    while (index >= 0) {
        size_t start = end;
        while (start > 0 && text[start - 1] != ':') --start;
        const char* p = text + start;
        bool negative = *p == '-';
        if (negative) ++p;
        int value = 0;
        for (; p < text + end && *p >= '0' && *p <= '9'; ++p) value = value * 10 + (*p - '0');
        fields[index--] = negative ? -value : value;
        if (start == 0) break;
        end = start - 1;
    }
}

void formatTime(char* out, size_t size, const std::tm& t, bool daylight) {
    std::snprintf(out, size, "%.4d:%.2d:%.2d:%.2d:%.2d:%.2d+%.1d", clampField(t.tm_year + 1900, 1900, 2999),
                  clampField(t.tm_mon + 1, 1, 12), clampField(t.tm_mday, 1, 31), clampField(t.tm_hour, 0, 23),
                  clampField(t.tm_min, 0, 59), clampField(t.tm_sec, 0, 59), daylight ? 1 : 0);
}

} // namespace

// get_local_time out [time]: a time text normalised by the local-time
// conversion, with its daylight-saving flag; without a text, now.
uint32_t commandGetLocalTime(Value* args, int count) {
    char now[64];
    const char* text = count > 1 && args[1].isString() ? args[1].symbol()->text : nullptr;
    if (!text) {
        std::time_t clock = std::time(nullptr);
        std::tm local{};
        localtime_r(&clock, &local);
        // Written with the hour one lower under daylight saving, so that the
        // conversion below (told there is none) gives the hour back.
        std::snprintf(now, sizeof now, "%.4d:%.2d:%.2d:%.2d:%.2d:%.2d", local.tm_year + 1900, local.tm_mon + 1,
                      local.tm_mday, local.tm_hour - (local.tm_isdst > 0 ? 1 : 0), local.tm_min, local.tm_sec);
        text = now;
    }
    int f[6];
    parseTimeFields(text, f);
    std::tm t{};
    t.tm_year = clampField(f[0], 1900, 2999) - 1900;
    t.tm_mon = clampField(f[1], 1, 12) - 1;
    t.tm_mday = clampField(f[2], 1, 31);
    t.tm_hour = clampField(f[3], 0, 23);
    t.tm_min = clampField(f[4], 0, 59);
    t.tm_sec = clampField(f[5], 0, 59);
    t.tm_isdst = 0;
    std::mktime(&t);
    char out[64];
    formatTime(out, sizeof out, t, t.tm_isdst > 0);
    args[0] = Value::fromSymbol(intern(out));
    return 1;
}

} // namespace glint

namespace glint {

namespace {

// One xorshift64* step over the state kept in items 1 to 4 of an array
// (16 bits each, item 1 lowest); a zero state is seeded first.
double randomFromState(ArrayObject* array) {
    uint64_t x = 0;
    for (int i = 0; i < 4; ++i) {
        Value* cell = array->at(i + 1);
        uint64_t part = cell && cell->isNumber() ? static_cast<uint64_t>(roundToInteger(cell->number)) & 0xFFFF : 0;
        x |= part << (16 * i);
    }
    if (x == 0)
        for (int i = 0; i < 4; ++i) x |= static_cast<uint64_t>(random() * 65535 + 1) << (16 * i);
    x ^= x >> 12;
    x ^= x << 25;
    x ^= x >> 27;
    x *= 0x2545F4914F6CDD1DULL;
    for (int i = 0; i < 4; ++i) *array->slot(i + 1) = Value::fromNumber(static_cast<double>((x >> (16 * i)) & 0xFFFF));
    return static_cast<double>(x >> 32) / 4294967296.0;
}

} // namespace

// get_random / set_random out min max [state]: an integer from min to max,
// from the global generator or from a state array that reproduces its
// sequence.
uint32_t commandGetRandom(Value* args, int count) {
    double r = count > 3 && args[3].is(ValueType::Array) ? randomFromState(args[3].as<ArrayObject>()) : random();
    float lo = static_cast<float>(roundedInt(args[1]));
    float hi = static_cast<float>(roundedInt(args[2]));
    float value = (hi - lo + 0.999f) * static_cast<float>(r) + lo;
    args[0] = Value::fromNumber(std::trunc(value));
    return 1;
}

} // namespace glint

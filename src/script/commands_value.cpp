// Assignment, arithmetic, trigonometry, geometry and type commands. Results
// go to the first argument, which the interpreter writes back (mask 1);
// arguments that are not numbers count as 0.
#include <cmath>

#include "engine/system/numbers.h"
#include "script/commands_value.h"
#include "script/interpreter.h"

namespace glint {

namespace {

uint32_t result(Value* args, double x) {
    args[0] = Value::fromNumber(x);
    return 1;
}

// A result that is no real number (the root of a negative number, say)
// would poison every later comparison and text form: it becomes 0.
double real(double x) { return std::isnan(x) ? 0 : x; }

// The table index of an angle in degrees: 65536 steps per turn, truncated
// toward zero, wrapped so that negative angles count back from the end.
int tableIndex(double degrees) {
    double steps = std::trunc(degrees * 182.04445);
    if (!std::isfinite(steps)) return 0;
    return static_cast<int>(static_cast<int64_t>(std::fmod(steps, 65536.0)) & (kTrigTableSize - 1));
}

// Up to four coordinates: an element gives its x and y while at most two
// values were collected, anything else one value (a number, or 0) while
// fewer than four were.
int collectPoints(Value* args, int count, double out[4]) {
    int n = 0;
    for (int i = 1; i < count; ++i) {
        const Value& v = args[i];
        if (v.is(ValueType::Element) && v.pointer) {
            if (n > 2) continue;
            ScriptElement* element = v.as<ScriptElement>();
            Value x, y;
            element->getProperty(sym::x(), x);
            element->getProperty(sym::y(), y);
            out[n++] = numberOf(x);
            out[n++] = numberOf(y);
        } else if (n < 4) {
            out[n++] = numberOf(v);
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

} // namespace

uint32_t commandSet(Value* args, int) {
    args[0] = args[1];
    return 1;
}

uint32_t commandAbs(Value* args, int) { return result(args, std::fabs(numberOf(args[1]))); }
uint32_t commandAdd(Value* args, int) { return result(args, numberOf(args[0]) + numberOf(args[1])); }
uint32_t commandSub(Value* args, int) { return result(args, numberOf(args[0]) - numberOf(args[1])); }
uint32_t commandMul(Value* args, int) { return result(args, numberOf(args[0]) * numberOf(args[1])); }

uint32_t commandDiv(Value* args, int) { return result(args, quotient(numberOf(args[0]), numberOf(args[1]))); }
uint32_t commandIdiv(Value* args, int) { return result(args, wholeQuotient(numberOf(args[0]), numberOf(args[1]))); }
uint32_t commandImod(Value* args, int) { return result(args, wholeRemainder(numberOf(args[0]), numberOf(args[1]))); }

uint32_t commandSqrt(Value* args, int) { return result(args, real(std::sqrt(numberOf(args[1])))); }

uint32_t commandPow(Value* args, int) { return result(args, real(std::pow(numberOf(args[1]), numberOf(args[2])))); }

uint32_t commandSin(Value* args, int) {
    double degrees = args[1].isNumber() ? args[1].number : 0;
    return result(args, sinTable[tableIndex(degrees)]);
}

uint32_t commandCos(Value* args, int) {
    if (!args[1].isNumber()) return result(args, 1);
    return result(args, cosTable[tableIndex(args[1].number)]);
}

uint32_t commandGetAngle(Value* args, int count) {
    double p[4];
    int n = collectPoints(args, count, p);
    double angle = 0;
    if (n == 4) angle = -std::atan2(p[3] - p[1], p[2] - p[0]) * 180 / M_PI;
    else if (n == 2) angle = -std::atan2(p[1], p[0]) * 180 / M_PI;
    return result(args, angle);
}

uint32_t commandGetDistance(Value* args, int count) {
    double p[4];
    int n = collectPoints(args, count, p);
    double distance = 0;
    if (n == 4) distance = std::sqrt((p[0] - p[2]) * (p[0] - p[2]) + (p[1] - p[3]) * (p[1] - p[3]));
    else if (n == 2) distance = std::sqrt(p[0] * p[0] + p[1] * p[1]);
    return result(args, distance);
}

uint32_t commandSetNumber(Value* args, int) {
    const Value& v = args[1];
    return result(args, v.isNumber() ? v.number : v.isString() ? textToNumber(v.symbol()->text) : 0);
}

uint32_t commandRound(Value* args, int) {
    return result(args, static_cast<int32_t>(roundToInteger(numberOf(args[1]))));
}

uint32_t commandGetType(Value* args, int) {
    Symbol* name = typeName(args[1].type());
    args[0] = name ? Value::fromSymbol(name) : Value();
    return 1;
}

} // namespace glint

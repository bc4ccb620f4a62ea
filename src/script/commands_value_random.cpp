// get_random and set_random (one command): an integer from min to max, from
// the global generator or from a state array that reproduces its sequence.
#include <cmath>

#include "engine/system/numbers.h"
#include "script/array_object.h"
#include "script/commands_value.h"
#include "script/interpreter.h"

namespace glint {

namespace {

// One xorshift64* step over the state kept in items 1 to 4 of an array
// (16 bits each, item 1 lowest); a zero state is seeded first from the
// global generator. The product is the new state.
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
    for (int i = 0; i < 4; ++i)
        *array->slot(i + 1) = Value::fromNumber(static_cast<double>((x >> (16 * i)) & 0xFFFF));
    return static_cast<double>(x >> 32) / 4294967296.0;
}

} // namespace

// get_random out min max [state], computed in single precision.
uint32_t commandGetRandom(Value* args, int count) {
    double r = count > 3 && args[3].is(ValueType::Array) ? randomFromState(args[3].as<ArrayObject>()) : random();
    float lo = static_cast<float>(roundedInt(args[1]));
    float hi = static_cast<float>(roundedInt(args[2]));
    float value = (hi - lo + 0.999f) * static_cast<float>(r) + lo;
    args[0] = Value::fromNumber(std::trunc(value));
    return 1;
}

} // namespace glint

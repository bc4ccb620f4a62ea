// Element animation commands: animate, fadein, fadeout, blendin, blendout
// and their _fx forms, whose effects nobody waits for.
#include "script/commands.h"
#include "script/element_targets.h"
#include "script/interpreter.h"

#include <cmath>

namespace glint {

namespace {

// Seconds as the negative hundredths that mark a scripted segment.
int32_t segmentTime(const Value& seconds) {
    double x = seconds.isNumber() ? std::fabs(seconds.number) : 0;
    return -static_cast<int32_t>(std::round(x * 100));
}

// A duration argument: 0.2 s unless a number is given.
int32_t durationTicks(Value* args, int count) {
    return count > 1 && args[1].isNumber() ? secondsToTicks(args[1]) : 20;
}

uint32_t animate(Value* args, int count, bool effect) {
    int32_t from = segmentTime(args[1]), to = segmentTime(args[2]);
    float speed = count > 3 && args[3].isNumber() ? static_cast<float>(args[3].number) : 1.0f;
    forEachElement(args[0], [&](ScriptElement& element) {
        element.scriptAnimate(from, to, speed, effect);
        element.markChangedByScript();
    });
    return 0;
}

// A fade or blend of every target over the duration argument.
using OverTime = void (ScriptElement::*)(bool in, int32_t ticks, bool effect);
uint32_t overTime(Value* args, int count, OverTime start, bool in, bool effect) {
    int32_t ticks = durationTicks(args, count);
    forEachElement(args[0], [&](ScriptElement& element) {
        (element.*start)(in, ticks, effect);
        element.markChangedByScript();
    });
    return 0;
}

uint32_t fade(Value* args, int count, bool in, bool effect) {
    return overTime(args, count, &ScriptElement::scriptFade, in, effect);
}

uint32_t blend(Value* args, int count, bool in, bool effect) {
    return overTime(args, count, &ScriptElement::scriptBlend, in, effect);
}

} // namespace

uint32_t commandAnimate(Value* args, int count) { return animate(args, count, false); }
uint32_t commandAnimateFx(Value* args, int count) { return animate(args, count, true); }
uint32_t commandFadein(Value* args, int count) { return fade(args, count, true, false); }
uint32_t commandFadeinFx(Value* args, int count) { return fade(args, count, true, true); }
uint32_t commandFadeout(Value* args, int count) { return fade(args, count, false, false); }
uint32_t commandFadeoutFx(Value* args, int count) { return fade(args, count, false, true); }
uint32_t commandBlendin(Value* args, int count) { return blend(args, count, true, false); }
uint32_t commandBlendinFx(Value* args, int count) { return blend(args, count, true, true); }
uint32_t commandBlendout(Value* args, int count) { return blend(args, count, false, false); }
uint32_t commandBlendoutFx(Value* args, int count) { return blend(args, count, false, true); }

} // namespace glint

// The built-in command table: which words are keywords, how many argument
// cells each command gets, whether it is a declaration, whether it owns a
// block, and the callback that runs it.
#pragma once

#include "script/objects.h"

namespace glint {

// Keyword indices are stored in statement nodes: never renumber.
enum Keyword : uint8_t {
    KwNone = 0,
    KwInclude = 1, KwIncludeForEach, KwDef, KwIfdef, KwIfndef, KwFun, KwTask, KwAction, KwDo, KwOn,
    KwWhen, KwInit, KwAlways, KwClass, KwIf, KwElse, KwFor, KwForEach, KwBreak,
    KwNew = 22, KwDelete, KwCall, KwAfter, KwCallFx, KwSet, KwAbs, KwAdd, KwSub, KwMul, KwDiv, KwIdiv,
    KwImod, KwSqrt, KwPow, KwSin, KwCos, KwGetAngle, KwGetDistance, KwSetRandom, KwGetRandom,
    KwSetNumber, KwRound, KwGetType, KwSetStr, KwStrCmp, KwSetChar, KwClear, KwInArray, KwResetObject,
    KwPrint, KwError, KwClearConsole, KwShow, KwHide, KwMove, KwSetZ, KwRotate, KwBlend, KwEmit,
    KwSetImage, KwSetSize, KwCheckHit, KwGetImageW, KwGetImageH, KwGetTextW, KwGetTextH,
    KwSetTextAlign, KwSetTextProps, KwSetHover, KwHasLocalText, KwGetLocalText, KwSetLocalText,
    KwStart, KwStop, KwReset, KwSetPsOption, KwGetPsOption, KwSavePs, KwAnimate, KwAnimateFx,
    KwFadein, KwFadeinFx, KwFadeout, KwFadeoutFx, KwBlendin, KwBlendinFx, KwBlendout, KwBlendoutFx,
    KwSignal, KwAbort, KwMusic, KwAmbient, KwSound, KwVoice, KwTake, KwUntake, KwUse, KwReplace,
    KwResetInventory, KwPickItem, KwStartPickingAnim, KwRenderPickingAnimations, KwGetScaleFactor,
    KwRenderInventory, KwGoto, KwOpen, KwClose, KwDisable, KwEnable, KwComplete, KwIgnore, KwQuit,
    KwRestart, KwRenderText, KwRenderImage, KwGetLocalTime,
};
static_assert(KwGetLocalTime == 118);

constexpr int kKeywordSlots = 256;

struct KeywordTable {
    Symbol* symbol[kKeywordSlots] = {};
    CommandCallback callback[kKeywordSlots] = {};
    uint8_t minimum[kKeywordSlots] = {};
    ScriptFunction* function[kKeywordSlots] = {};
};

// Flags are two decimal digits: tens = declaration level, units = owns a
// block. Returns the global function, or null when the name holds another
// kind of value.
ScriptFunction* registerCommand(const char* name, CommandCallback callback, int minimumArguments, int flags);
ScriptFunction* registerKeyword(int index, const char* name, CommandCallback callback, int minimumArguments,
                                int flags);
// 0 when the symbol is no keyword.
int keywordIndex(Symbol* symbol);
// The table of the running script system.
const KeywordTable& keywords();

// Registers every global built-in, keywords first.
void registerBuiltinCommands();

// The callbacks every family shares.
uint32_t commandNothing(Value* args, int count);   // does nothing, returns 0
uint32_t commandReturnOne(Value* args, int count); // writes its first argument back unchanged
uint32_t commandPending(Value* args, int count);   // family not built yet

} // namespace glint

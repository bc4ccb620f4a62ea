// Number parsing, colour packing, the sine and cosine tables and the
// process-wide random generator.
#pragma once

#include <cstdint>

namespace glint {

// Optional "-" then decimal digits up to the first other character; no
// exponent, no leading blanks, no text gives 0.
int parseInt(const char* text);
float parseFloat(const char* text);
long double parseDouble(const char* text);

// r in the lowest byte, then g, b and a in the highest; each channel
// clamped to 0-1 and scaled by 255 with truncation.
uint32_t packColor(float r, float g, float b, float a);

constexpr int kTrigTableSize = 65536;
// sinTable[i] = sin(i * 2pi / 65536); filled by initMathTables.
extern float sinTable[kTrigTableSize];
extern float cosTable[kTrigTableSize];
void initMathTables();

// The published MT19937 generator. Before seedRandom it runs from the
// legacy seed 4357; seedRandom reads /dev/urandom (or the time).
void seedRandom();
void seedRandomWith(uint32_t seed);
uint32_t randomWord();
// randomWord() * 2^-32, in [0, 1).
double random();

} // namespace glint

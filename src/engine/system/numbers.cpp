#include "engine/system/numbers.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <numbers>

namespace glint {

namespace {

// Reads the optional "-" and the integer digits; at is left on the first other character.
template <typename Real>
Real parseDecimal(const char* text) {
    const char* at = text;
    bool negative = *at == '-';
    if (negative)
        ++at;
    Real value = 0;
    while (*at >= '0' && *at <= '9')
        value = value * 10 + static_cast<Real>(*at++ - '0');
    if (*at == '.') {
        ++at;
        Real scale = 1;
        while (*at >= '0' && *at <= '9') {
            scale *= 10;
            value += static_cast<Real>(*at++ - '0') / scale;
        }
    }
    return negative ? -value : value;
}

uint8_t channel(float value) {
    if (!(value > 0))
        return 0;
    if (value > 1)
        value = 1;
    return static_cast<uint8_t>(value * 255);
}

} // namespace

int parseInt(const char* text) {
    const char* at = text;
    bool negative = *at == '-';
    if (negative)
        ++at;
    // Unsigned arithmetic wraps where an overlong number would overflow.
    unsigned value = 0;
    while (*at >= '0' && *at <= '9')
        value = value * 10 + static_cast<unsigned>(*at++ - '0');
    return static_cast<int>(negative ? 0u - value : value);
}

float parseFloat(const char* text) { return parseDecimal<float>(text); }
long double parseDouble(const char* text) { return parseDecimal<long double>(text); }

uint32_t packColor(float r, float g, float b, float a) {
    return static_cast<uint32_t>(channel(r)) | static_cast<uint32_t>(channel(g)) << 8 |
           static_cast<uint32_t>(channel(b)) << 16 | static_cast<uint32_t>(channel(a)) << 24;
}

float sinTable[kTrigTableSize];
float cosTable[kTrigTableSize];

void initMathTables() {
    // The tables never change: every script system registers its commands
    // (and so calls this), but only the first call computes them.
    static bool filled = false;
    if (filled)
        return;
    filled = true;
    for (int i = 0; i < kTrigTableSize; ++i) {
        double angle = i * 2 * std::numbers::pi / kTrigTableSize;
        sinTable[i] = static_cast<float>(std::sin(angle));
        cosTable[i] = static_cast<float>(std::cos(angle));
    }
}

// The MT19937 generator of the published reference code.
namespace {

constexpr int N = 624;
constexpr int M = 397;
constexpr uint32_t kMatrixA = 0x9908B0DF;
constexpr uint32_t kUpperMask = 0x80000000;
constexpr uint32_t kLowerMask = 0x7FFFFFFF;

uint32_t state[N];
int index = N + 1; // N + 1: never seeded

// The generator's first initialisation, kept for a generator used before seeding.
void legacySeed(uint32_t seed) {
    state[0] = seed;
    for (int i = 1; i < N; ++i)
        state[i] = 69069 * state[i - 1];
    index = N;
}

void refill() {
    if (index == N + 1)
        legacySeed(4357);
    auto twist = [](uint32_t upper, uint32_t lower, uint32_t shifted) {
        uint32_t y = (upper & kUpperMask) | (lower & kLowerMask);
        return shifted ^ (y >> 1) ^ ((y & 1) ? kMatrixA : 0);
    };
    int k = 0;
    for (; k < N - M; ++k)
        state[k] = twist(state[k], state[k + 1], state[k + M]);
    for (; k < N - 1; ++k)
        state[k] = twist(state[k], state[k + 1], state[k + M - N]);
    state[N - 1] = twist(state[N - 1], state[0], state[M - 1]);
    index = 0;
}

} // namespace

void seedRandomWith(uint32_t seed) {
    state[0] = seed;
    for (int i = 1; i < N; ++i)
        state[i] = 1812433253u * (state[i - 1] ^ (state[i - 1] >> 30)) + static_cast<uint32_t>(i);
    index = N;
}

void seedRandom() {
    uint32_t seed = 0;
    for (const char* device : {"/dev/urandom", "/dev/random"}) {
        if (FILE* file = std::fopen(device, "rb")) {
            bool read = std::fread(&seed, sizeof seed, 1, file) == 1;
            std::fclose(file);
            if (read) {
                seedRandomWith(seed);
                return;
            }
        }
    }
    using namespace std::chrono;
    auto now = duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
    seedRandomWith(static_cast<uint32_t>((now / 1000) * 1000 + now % 1000));
}

uint32_t randomWord() {
    if (index >= N)
        refill();
    uint32_t y = state[index++];
    y ^= y >> 11;
    y ^= (y << 7) & 0x9D2C5680;
    y ^= (y << 15) & 0xEFC60000;
    y ^= y >> 18;
    return y;
}

double random() { return randomWord() * (1.0 / 4294967296.0); }

} // namespace glint

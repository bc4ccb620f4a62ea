// The parameters of an emitter as a ".particles" file gives them, in the
// units the engine works in (ticks of 1/100 s, pixels per tick, colours
// 0 to 1), with their reader and writer. Plain data, so that the text
// format can be read and written without the rest of the resource.
#pragma once

#include <cstdint>
#include <string>

namespace glint {

constexpr int kParticleOptions = 26; // the letters A to Z

// Four values of a range: start min, start max, end min, end max. A value
// is picked between min and max by the particle's own random number, then
// between start and end by the emission phase or the particle's age.
using ParticleRange = float[4];

struct ParticleDescription {
    int32_t startMin = 0, startMax = 0; // delay before the first emission
    int32_t emitTime = 100;             // length of the emission phase
    int32_t cycleTime = 0;              // a looping emitter starts again after it
    float rateMin = 10, rateMax = 10;   // bursts per second
    float countMin = 1, countMax = 1;   // particles per burst (per 1000 px^2 for shape 2)
    int32_t total = 0;                  // per start, 0 for no limit
    int32_t shape = 0;                  // 0 rectangle, 1 ellipse ring, 2 owner's hotspot area
    float sizeXFirst = 0, sizeXSecond = 0, sizeYFirst = 0, sizeYSecond = 0;
    ParticleRange direction = {0, 0, 0, 0}; // degrees
    ParticleRange velocity = {0, 0, 0, 0};  // pixels per tick
    float windX = 0, windY = 0;             // pixels per tick^2
    int32_t lifeMin = 100, lifeMax = 100;
    float red[2] = {1, 1}, green[2] = {1, 1}, blue[2] = {1, 1}, alpha[2] = {1, 1};
    float fadeIn = 0.25f, fadeOut = 0.25f; // fractions of the particle life
    ParticleRange sizeX = {0, 0, 0, 0}, sizeY = {0, 0, 0, 0};
    ParticleRange angle = {0, 0, 0, 0};
    uint8_t options[kParticleOptions] = {};
    uint8_t blend = 0;

    bool option(char letter) const { return options[letter - 'A'] != 0; }
};

// Limits that keep hostile files harmless: every number is held within
// them as it is read or set by a script.
constexpr float kParticleValueLimit = 1.0e6f;   // pixels, degrees, counts, rates
constexpr int32_t kParticleTickLimit = 10000000; // about 28 hours

float boundedParticleValue(double value);
int32_t boundedParticleTicks(double ticks);

// Applies the records of text (changed in place while it is read, and put
// back) to description: the option flags are cleared first, every other
// field keeps its value unless a record sets it. The image record hands
// the rest of its line to image, when given.
using ParticleImageReader = void (*)(void* user, const char* spec);
void readParticleDescription(ParticleDescription& description, char* text, ParticleImageReader image = nullptr,
                             void* user = nullptr);

// The image line of the written form: path (relative to the particle
// folder), blend, fps, first frame, delay in seconds, 1 / columns,
// 1 / rows; an empty path writes no image record.
struct ParticleImageText {
    std::string path;
    int blend = 0;
    float fps = 0;
    int firstFrame = 0;
    float delaySeconds = 0;
    float frameWidth = 1, frameHeight = 1;
};

// The file form of description, each record after its comment line and
// before an empty line, lines ending in CR LF.
std::string writeParticleDescription(const ParticleDescription& description, const ParticleImageText& image);

} // namespace glint

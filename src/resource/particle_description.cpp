#include "resource/particle_description.h"

#include "resource/line_reader.h"
#include "resource/number.h"

#include <cmath>

namespace glint {

namespace {

// Whole ticks, half away from zero, of a time in seconds.
int32_t ticksOf(float seconds) { return boundedParticleTicks(std::round(static_cast<double>(seconds) * 100.0)); }

bool isColon(const char* token) { return token[0] == ':' && !token[1]; }

class RecordReader {
public:
    explicit RecordReader(char* line) : tokens_(line) {}

    // The next number, or fallback when the line has no more tokens.
    float number(float fallback) {
        if (!tokens_.next())
            return fallback;
        return boundedParticleValue(parseNumber(tokens_.token));
    }
    bool hasNext() { return tokens_.next(); }
    const char* token() const { return tokens_.token; }

    // a [b] [: c [d]]: a missing b repeats a, a missing second pair repeats
    // the first, a missing d repeats c; the token after b is taken even when
    // it is not the colon.
    void range(float factor, ParticleRange& out) {
        float a = number(0), b = a, c = a, d = a;
        bool more = tokens_.next();
        if (more && !isColon(tokens_.token)) {
            b = boundedParticleValue(parseNumber(tokens_.token));
            more = tokens_.next();
        }
        if (more && isColon(tokens_.token)) {
            c = number(a);
            d = number(c);
        } else {
            c = a;
            d = b;
        }
        const float values[4] = {a, b, c, d};
        for (int i = 0; i < 4; ++i)
            out[i] = boundedParticleValue(values[i] * factor);
    }

    // from [to] divided by 255: a missing to repeats from.
    void colour(float (&out)[2]) {
        float from = number(0);
        out[0] = from / 255;
        out[1] = number(from) / 255;
    }

    void pair(float& first, float& second, float firstFallback) {
        first = number(firstFallback);
        second = number(first);
    }

private:
    MTokenReader tokens_;
};

// Where the image spec of an "I" line starts: after the record's token.
const char* afterFirstToken(const char* line) {
    while (*line && static_cast<unsigned char>(*line) <= 32)
        ++line;
    while (static_cast<unsigned char>(*line) > 32)
        ++line;
    return line;
}

void applyTimes(ParticleDescription& d, RecordReader& r) {
    float first = r.number(0);
    float second = r.number(first);
    d.startMin = first > 0 ? ticksOf(first) : 0;
    d.startMax = second > 0 ? ticksOf(second) : 0;
    d.emitTime = ticksOf(r.number(1));
    d.cycleTime = ticksOf(r.number(0));
}

void applyRecord(ParticleDescription& d, char letter, RecordReader& r) {
    switch (letter) {
    case 'Q': applyTimes(d, r); break;
    case 'E': r.pair(d.rateMin, d.rateMax, 10); break;
    case 'C': r.pair(d.countMin, d.countMax, 0); break;
    case 'Z': d.total = boundedParticleTicks(r.number(0)); break;
    case 'H': d.shape = boundedParticleTicks(r.number(0)); break;
    case 'S':
        d.sizeXFirst = r.number(0);
        d.sizeXSecond = r.number(0);
        break;
    case 'T':
        d.sizeYFirst = r.number(0);
        d.sizeYSecond = r.number(0);
        break;
    case 'D': r.range(1, d.direction); break;
    case 'V': r.range(0.01f, d.velocity); break;
    case 'W': {
        float x = r.number(0);
        d.windX = x * 0.0001f;
        d.windY = r.number(x) * 0.0001f;
        break;
    }
    case 'L': {
        float low = r.number(0);
        d.lifeMin = ticksOf(low);
        d.lifeMax = ticksOf(r.number(low));
        break;
    }
    case 'R': r.colour(d.red); break;
    case 'G': r.colour(d.green); break;
    case 'B': r.colour(d.blue); break;
    case 'A': r.colour(d.alpha); break;
    case 'F':
        d.fadeIn = r.number(0.2f);
        d.fadeOut = r.number(0.2f);
        break;
    case 'X': r.range(1, d.sizeX); break;
    case 'Y': r.range(1, d.sizeY); break;
    case 'N': r.range(1, d.angle); break;
    case 'O':
        if (r.hasNext() && r.token()[0] >= 'A' && r.token()[0] <= 'Z')
            d.options[r.token()[0] - 'A'] = 1;
        break;
    default: break; // other letters are ignored
    }
}

} // namespace

float boundedParticleValue(double value) {
    if (std::isnan(value))
        return 0;
    return static_cast<float>(std::fmax(-kParticleValueLimit, std::fmin(value, kParticleValueLimit)));
}

int32_t boundedParticleTicks(double ticks) {
    if (std::isnan(ticks))
        return 0;
    double limited = std::fmax(-kParticleTickLimit, std::fmin(std::round(ticks), kParticleTickLimit));
    return static_cast<int32_t>(limited);
}

void readParticleDescription(ParticleDescription& description, char* text, ParticleImageReader image, void* user) {
    for (uint8_t& option : description.options)
        option = 0;
    MLineReader lines(text);
    while (lines.next()) {
        const char* line = lines.line;
        while (*line && static_cast<unsigned char>(*line) <= 32)
            ++line;
        const char letter = *line;
        if (!letter || letter == ';')
            continue;
        if (letter == 'I') {
            if (image)
                image(user, afterFirstToken(line));
            continue;
        }
        RecordReader record(lines.line);
        record.hasNext(); // the record's own token
        applyRecord(description, letter, record);
        while (record.hasNext()) {} // puts back the last cut byte
    }
}

} // namespace glint

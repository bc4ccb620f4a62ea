// What a listener hears in captured output (44,100 Hz, 16-bit stereo,
// interleaved): the strength of one frequency and the level of a channel,
// and fixture sounds made by sox.
#pragma once

#include "support/test_support.h"

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace glint::test {

constexpr double kCaptureRate = 44100;

inline std::vector<int16_t> pcmOf(const std::string& bytes) {
    std::vector<int16_t> samples(bytes.size() / 2);
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<int16_t>(static_cast<uint8_t>(bytes[2 * i]) | static_cast<uint8_t>(bytes[2 * i + 1]) << 8);
    return samples;
}

// One channel (0 left, 1 right) of frames [from, to) of stereo samples.
inline std::vector<double> channelOf(const std::vector<int16_t>& stereo, int channel, size_t from = 0,
                                     size_t to = SIZE_MAX) {
    std::vector<double> out;
    for (size_t frame = from; frame < stereo.size() / 2 && frame < to; ++frame)
        out.push_back(stereo[2 * frame + channel]);
    return out;
}

inline double rms(const std::vector<double>& signal) {
    double sum = 0;
    for (double s : signal)
        sum += s * s;
    return signal.empty() ? 0 : std::sqrt(sum / signal.size());
}

// The amplitude of the sine of frequency hz in the signal (Goertzel).
inline double toneAmplitude(const std::vector<double>& signal, double hz) {
    double w = 2 * M_PI * hz / kCaptureRate, coefficient = 2 * std::cos(w), s1 = 0, s2 = 0;
    for (double x : signal) {
        double s0 = x + coefficient * s1 - s2;
        s2 = s1;
        s1 = s0;
    }
    double power = s1 * s1 + s2 * s2 - coefficient * s1 * s2;
    return signal.empty() ? 0 : 2 * std::sqrt(std::max(power, 0.0)) / signal.size();
}

// A sine made by sox: "sox -n -r RATE -c CHANNELS -b BITS PATH synth SECONDS sine HZ vol VOLUME".
inline bool makeTone(const std::string& path, int rate, int channels, int bits, double seconds, double hz,
                     double volume = 0.5) {
    std::string bitsOption = path.ends_with(".ogg") ? "" : " -b " + std::to_string(bits);
    std::string command = "sox -n -r " + std::to_string(rate) + " -c " + std::to_string(channels) + bitsOption + " " +
                          shellQuote(path) + " synth " + std::to_string(seconds) + " sine " + std::to_string(hz) +
                          " vol " + std::to_string(volume);
    return runCommand(command).status == 0;
}

} // namespace glint::test

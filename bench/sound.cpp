// The sound output's two costs.
//
// Mixing: one second of output (44,100 frames in the device's 1024-frame
// periods) with 32 looping voices of mixed layouts and rates, as the audio
// callback does it; reported as the fraction of real time it takes.
//
// Stream decoding: a 60-second stereo Ogg Vorbis file decoded through the
// memory callbacks in 32 KiB halves, as the streaming thread does it,
// against ffmpeg decoding the same file on one thread ("ffmpeg -threads 1
// -i FILE -f null -"). Both use libvorbis. The file is made by sox when
// the benchmark starts; at the end the ratios of the wall and processor
// times are printed (the goal is at most 1.2).
//
//   bench_sound [--benchmark_...]
#include "engine/sound/sound_decode.h"
#include "engine/sound/sound_mixer.h"

#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

using namespace glint;

namespace {

constexpr int kVoices = 32;
constexpr int kPeriod = 1024;
constexpr int kStreamSeconds = 60;

// A second of a sine in the layout given.
std::unique_ptr<KSoundBuffer> toneBuffer(int channels, int rate, int bits, double hz) {
    auto buffer = std::make_unique<KSoundBuffer>();
    buffer->format = pcmFormat(static_cast<uint16_t>(channels), static_cast<uint32_t>(rate), static_cast<uint16_t>(bits));
    buffer->bytes.resize(static_cast<size_t>(rate) * buffer->format.blockAlign);
    for (int i = 0; i < rate; ++i) {
        double v = 0.2 * std::sin(2 * M_PI * hz * i / rate);
        for (int c = 0; c < channels; ++c) {
            uint8_t* p = buffer->bytes.data() + static_cast<size_t>(i) * buffer->format.blockAlign + c * bits / 8;
            if (bits == 8) {
                p[0] = static_cast<uint8_t>(128 + v * 127);
            } else {
                auto s = static_cast<int16_t>(v * 32767);
                p[0] = static_cast<uint8_t>(s);
                p[1] = static_cast<uint8_t>(s >> 8);
            }
        }
    }
    buffer->playing = buffer->looping = true;
    buffer->volumeMb = -300;
    return buffer;
}

void BM_Mix32Voices(benchmark::State& state) {
    const int layouts[][3] = {{2, 44100, 16}, {1, 22050, 16}, {1, 22050, 8}, {2, 48000, 16}};
    KSoundMixer mixer;
    std::vector<std::unique_ptr<KSoundBuffer>> voices;
    for (int i = 0; i < kVoices; ++i) {
        const int* l = layouts[i % 4];
        voices.push_back(toneBuffer(l[0], l[1], l[2], 220 + 20 * i));
        voices.back()->panMb = (i % 5 - 2) * 500;
        mixer.add(voices.back().get());
    }
    std::vector<int16_t> out(kPeriod * kOutputChannels);
    for (auto _ : state) {
        for (int done = 0; done < kOutputRate; done += kPeriod)
            mixer.mix(out.data(), std::min(kPeriod, kOutputRate - done));
        benchmark::DoNotOptimize(out.data());
    }
    state.counters["fraction_of_real_time"] = benchmark::Counter(
        static_cast<double>(state.iterations()), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

struct StreamFile {
    std::string path, bytes;
};

const StreamFile& streamFile() {
    static const StreamFile made = [] {
        StreamFile f;
        char folder[] = "/tmp/bench_sound_XXXXXX";
        if (!mkdtemp(folder))
            return f;
        f.path = std::string(folder) + "/music.ogg";
        std::string command = "sox -n -r 44100 -c 2 " + f.path + " synth " + std::to_string(kStreamSeconds) +
                              " pluck 220 pluck 330 vol 0.5";
        if (std::system(command.c_str()) != 0) {
            f.path.clear();
            return f;
        }
        std::ifstream in(f.path, std::ios::binary);
        std::ostringstream bytes;
        bytes << in.rdbuf();
        f.bytes = bytes.str();
        return f;
    }();
    return made;
}

double childProcessorSeconds() {
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
}

void BM_GlintStreamDecode(benchmark::State& state) {
    const StreamFile& f = streamFile();
    if (f.bytes.empty()) {
        state.SkipWithError("sox could not make the file");
        return;
    }
    static char half[32768];
    for (auto _ : state) {
        KMemoryFile file{reinterpret_cast<const uint8_t*>(f.bytes.data()), f.bytes.size(), 0};
        OggVorbis_File decoder;
        if (!openVorbis(file, decoder)) {
            state.SkipWithError("the file was refused");
            return;
        }
        for (;;) {
            int link = 0, got = 0;
            long read = 0;
            while (got < static_cast<int>(sizeof half) &&
                   (read = ov_read(&decoder, half + got, static_cast<int>(sizeof half) - got, 0, 2, 1, &link)) > 0)
                got += static_cast<int>(read);
            benchmark::DoNotOptimize(half);
            if (got == 0)
                break;
        }
        ov_clear(&decoder);
    }
}

void BM_FfmpegDecode(benchmark::State& state) {
    const StreamFile& f = streamFile();
    if (f.path.empty()) {
        state.SkipWithError("sox could not make the file");
        return;
    }
    std::string command = "ffmpeg -v error -threads 1 -i " + f.path + " -f null -";
    double before = childProcessorSeconds();
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError("ffmpeg failed");
            return;
        }
    }
    state.counters["child_cpu_ms"] = (childProcessorSeconds() - before) * 1000 / static_cast<double>(state.iterations());
}

BENCHMARK(BM_Mix32Voices)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_GlintStreamDecode)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(BM_FfmpegDecode)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

class RatioReporter : public benchmark::ConsoleReporter {
public:
    struct Times {
        double wall = 0, processor = 0; // milliseconds per iteration
    };
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.error_occurred || run.iterations == 0)
                continue;
            auto child = run.counters.find("child_cpu_ms");
            double processor = child != run.counters.end() ? child->second.value : run.GetAdjustedCPUTime();
            times[run.run_name.function_name] = {run.GetAdjustedRealTime(), processor};
        }
    }
    std::map<std::string, Times> times;
};

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    RatioReporter::Times mix = reporter.times["BM_Mix32Voices"];
    if (mix.processor > 0)
        std::printf("mixing 1 s of 32 voices: %.2f ms of processor time = %.4f of real time\n", mix.processor,
                    mix.processor / 1000);
    RatioReporter::Times glint = reporter.times["BM_GlintStreamDecode"];
    RatioReporter::Times ffmpeg = reporter.times["BM_FfmpegDecode"];
    if (glint.wall > 0 && ffmpeg.wall > 0 && ffmpeg.processor > 0)
        std::printf("stream decode / ffmpeg decode (goal: at most 1.2): wall %.0f / %.0f ms = %.2f, "
                    "processor %.0f / %.0f ms = %.2f\n",
                    glint.wall, ffmpeg.wall, glint.wall / ffmpeg.wall, glint.processor, ffmpeg.processor,
                    glint.processor / ffmpeg.processor);
    if (!streamFile().path.empty()) {
        unlink(streamFile().path.c_str());
        rmdir(streamFile().path.substr(0, streamFile().path.rfind('/')).c_str());
    }
    benchmark::Shutdown();
    return 0;
}

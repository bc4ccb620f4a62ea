// Decoding and converting a 1280 x 720 Theora clip on one thread, as the
// video player's decoding thread does it (open, length scan, every frame
// decoded and converted to 32-bit pixels), against ffmpeg decoding the same
// file on one thread ("ffmpeg -threads 1 -i FILE -f null -"). Both use
// libtheora. The clip is made by ffmpeg when the benchmark starts. At the
// end the ratios of the wall times and of the processor times (ours on the
// benchmark's thread, ffmpeg's as a child process) are printed: on a busy
// machine the processor times say more.
//
//   bench_video [--benchmark_...]
#include "engine/video/theora_stream.h"
#include "engine/video/video_frame.h"
#include "engine/video/video_source.h"

#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

using namespace glint;

namespace {

constexpr int kFrames = 100; // four seconds at 25 frames per second

struct Clip {
    std::string path;
    std::string bytes;
};

const Clip& clip() {
    static const Clip made = [] {
        Clip c;
        char folder[] = "/tmp/bench_video_XXXXXX";
        if (!mkdtemp(folder))
            return c;
        c.path = std::string(folder) + "/720p.ogv";
        std::string command = "ffmpeg -v error -y -f lavfi -i testsrc2=s=1280x720:r=25:d=" +
                              std::to_string(kFrames / 25) + " -c:v libtheora -q:v 7 " + c.path;
        if (std::system(command.c_str()) != 0) {
            c.path.clear();
            return c;
        }
        std::ifstream in(c.path, std::ios::binary);
        std::ostringstream bytes;
        bytes << in.rdbuf();
        c.bytes = bytes.str();
        return c;
    }();
    return made;
}

// User and system time of the finished child processes.
double childProcessorSeconds() {
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
}

void BM_GlintDecodeAndConvert(benchmark::State& state) {
    const Clip& c = clip();
    if (c.bytes.empty()) {
        state.SkipWithError("ffmpeg could not make the clip");
        return;
    }
    std::vector<uint32_t> pixels;
    int frames = 0;
    for (auto _ : state) {
        KVideoSource source;
        source.openMemory(c.bytes.data(), c.bytes.size());
        KTheoraStream stream(source);
        if (stream.readHeaders() != KTheoraHeaders::Ok) {
            state.SkipWithError("the clip's headers were refused");
            return;
        }
        benchmark::DoNotOptimize(stream.scanDuration());
        KVideoFrameLayout layout = videoFrameLayout(stream.info(), false, false);
        pixels.assign(static_cast<size_t>(layout.width) * layout.height, 0);
        KTheoraPicture picture;
        for (frames = 0; stream.decodeFrame(picture); ++frames)
            convertVideoPicture(stream.info(), picture.planes, layout, pixels.data());
        benchmark::DoNotOptimize(pixels.data());
    }
    state.counters["frames"] = frames;
    state.counters["fps"] = benchmark::Counter(static_cast<double>(frames) * state.iterations(),
                                               benchmark::Counter::kIsRate);
}

void BM_FfmpegDecode(benchmark::State& state) {
    const Clip& c = clip();
    if (c.path.empty()) {
        state.SkipWithError("ffmpeg could not make the clip");
        return;
    }
    std::string command = "ffmpeg -v error -threads 1 -i " + c.path + " -f null -";
    double before = childProcessorSeconds();
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError("ffmpeg failed");
            return;
        }
    }
    state.counters["fps"] = benchmark::Counter(static_cast<double>(kFrames) * state.iterations(),
                                               benchmark::Counter::kIsRate);
    state.counters["child_cpu_ms"] = (childProcessorSeconds() - before) * 1000 / static_cast<double>(state.iterations());
}

BENCHMARK(BM_GlintDecodeAndConvert)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(BM_FfmpegDecode)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

// The console output, and the times of each benchmark for the ratios.
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
    RatioReporter::Times glint = reporter.times["BM_GlintDecodeAndConvert"];
    RatioReporter::Times ffmpeg = reporter.times["BM_FfmpegDecode"];
    if (glint.wall > 0 && ffmpeg.wall > 0 && ffmpeg.processor > 0)
        std::printf("decode and convert / ffmpeg decode (goal: at most 1.3): wall %.0f / %.0f ms = %.2f, "
                    "processor %.0f / %.0f ms = %.2f\n",
                    glint.wall, ffmpeg.wall, glint.wall / ffmpeg.wall, glint.processor, ffmpeg.processor,
                    glint.processor / ffmpeg.processor);
    if (!clip().path.empty()) {
        unlink(clip().path.c_str());
        rmdir(clip().path.substr(0, clip().path.rfind('/')).c_str());
    }
    benchmark::Shutdown();
    return 0;
}

// Decoding a 1024 x 1024 texture in each format. The files are made by the
// handlers' own encoders from a smooth pattern with some noise, so the
// benchmark needs no fixture tools.
#include "engine/images/image_apart.h"
#include "engine/images/image_buffer.h"
#include "engine/images/image_handler.h"

#include <benchmark/benchmark.h>

#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

using namespace glint;

constexpr uint32_t kSize = 1024;

void paintPattern() {
    std::mt19937 random(1);
    for (uint32_t y = 0; y < kSize; ++y) {
        for (uint32_t x = 0; x < kSize; ++x) {
            uint32_t noise = random() & 15;
            imagePixelBuffer[y * kSize + x] =
                (x ^ y) << 24 | ((x + noise) & 0xFF) << 16 | ((y + noise) & 0xFF) << 8 | ((x + y) / 8 & 0xFF);
        }
    }
}

const std::string& encoded(int format, bool alpha) {
    static std::map<std::pair<int, bool>, std::string> files;
    auto key = std::make_pair(format, alpha);
    auto found = files.find(key);
    if (found != files.end())
        return found->second;
    paintPattern();
    KImageInfo info{kSize, kSize, static_cast<uint8_t>(alpha), 1};
    uint8_t* output = nullptr;
    size_t size = 0;
    imageHandlerForFormat(format)->encode(&output, &size, &info, 90);
    std::unique_ptr<uint8_t[]> owned(output);
    return files[key] = std::string(reinterpret_cast<char*>(output), size);
}

void decodeFormat(benchmark::State& state, int format, bool alpha) {
    const std::string& file = encoded(format, alpha);
    KImageHandler* handler = imageHandlerForFormat(format);
    KImageInfo info;
    for (auto _ : state) {
        bool ok = handler->decode(file.data(), file.size(), &info, true);
        benchmark::DoNotOptimize(ok);
        benchmark::DoNotOptimize(imagePixelBuffer[0]);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kSize * kSize * 4);
}

// What a downloaded picture costs besides the decode: a handler and a
// buffer of its own, and the copy out of it. Its anchor is BM_DecodePngRgba.
void BM_DecodePngRgbaApart(benchmark::State& state) {
    const std::string& file = encoded(K_IMAGE_PNG, true);
    KImageInfo info;
    std::vector<uint32_t> pixels;
    for (auto _ : state) {
        bool ok = decodeImageApart(K_IMAGE_PNG, file.data(), file.size(), info, pixels);
        benchmark::DoNotOptimize(ok);
        benchmark::DoNotOptimize(pixels.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kSize * kSize * 4);
}

void BM_DecodeBmp24(benchmark::State& state) { decodeFormat(state, K_IMAGE_BMP, false); }
void BM_DecodeBmp32(benchmark::State& state) { decodeFormat(state, K_IMAGE_BMP, true); }
void BM_DecodeTga32(benchmark::State& state) { decodeFormat(state, K_IMAGE_TGA, true); }
void BM_DecodePngRgb(benchmark::State& state) { decodeFormat(state, K_IMAGE_PNG, false); }
void BM_DecodePngRgba(benchmark::State& state) { decodeFormat(state, K_IMAGE_PNG, true); }
void BM_DecodeJpg(benchmark::State& state) { decodeFormat(state, K_IMAGE_JPG, false); }

BENCHMARK(BM_DecodeBmp24)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeBmp32)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeTga32)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodePngRgb)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodePngRgba)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodePngRgbaApart)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeJpg)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();

// opScaleImage of a 12-megapixel picture into a PAL-sized box, beside one plain read of the source
// (the floor: a scaler reads every source byte at least once).
#include "bench_files.h"
#include "bench_pictures.h"

#include "hxhost/setup.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <fstream>

namespace {

constexpr int kSourceWidth = 4000, kSourceHeight = 3000;

void BM_PlainReadOfSource(benchmark::State& state)
{
    OpImage* source = makeDetailedPicture(kSourceWidth, kSourceHeight);
    // The same bytes for FFmpeg's scaler in bench/compare.sh.
    std::ofstream(benchFile("picture-4000x3000.yuva"), std::ios::binary)
        .write(reinterpret_cast<const char*>(source->planes[0]), static_cast<std::streamsize>(kSourceWidth) * kSourceHeight * 4);
    const size_t words = static_cast<size_t>(kSourceWidth) * kSourceHeight / 2;
    for (auto _ : state) {
        uint64_t sum = 0;
        const uint8_t* p = source->planes[0];
        for (size_t i = 0; i < words; ++i) {
            uint64_t word;
            std::memcpy(&word, p + 8 * i, 8);
            sum += word;
        }
        benchmark::DoNotOptimize(sum);
    }
    opFreeImage(source);
}
BENCHMARK(BM_PlainReadOfSource)->Unit(benchmark::kMillisecond);

void BM_OpScaleImage(benchmark::State& state)
{
    OpImage* source = makeDetailedPicture(kSourceWidth, kSourceHeight);
    OpImage* target = opAllocImage(static_cast<int32_t>(state.range(0)), static_cast<int32_t>(state.range(1)), OP_FORMAT_YUVA, 0);
    for (auto _ : state)
        benchmark::DoNotOptimize(opScaleImage(source, target, 0));
    opFreeImage(target);
    opFreeImage(source);
}
BENCHMARK(BM_OpScaleImage)->Args({720, 540})->Args({1440, 1080})->Unit(benchmark::kMillisecond);

// One frame of a pan: a window of 94 % of the still shrunk to 106 % of a PAL frame's height, a
// little larger than the frame, scaled into it at each vector width the processor has.
void BM_PanWindowFrame(benchmark::State& state)
{
    const auto width = static_cast<hxhost::VectorWidth>(state.range(0));
    OpImage* still = makeDetailedPicture(813, 610);
    OpImage* frame = opAllocImage(720, 576, OP_FORMAT_YUVA, 4);
    hxhost::limitVectorWidth(width);
    for (auto _ : state)
        benchmark::DoNotOptimize(opScaleImageSP(still, frame, 12.25, 7.5, 764.2, 573.4, 0x60700));
    hxhost::limitVectorWidth(hxhost::VectorWidth::Avx512);
    opFreeImage(frame);
    opFreeImage(still);
}
BENCHMARK(BM_PanWindowFrame)
    ->ArgName("vector_width")
    ->Arg(static_cast<int>(hxhost::VectorWidth::Basic))
    ->Arg(static_cast<int>(hxhost::VectorWidth::Avx2))
    ->Arg(static_cast<int>(hxhost::VectorWidth::Avx512))
    ->Unit(benchmark::kMicrosecond);

} // namespace

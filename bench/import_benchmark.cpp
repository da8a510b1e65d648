// Importing a 12-megapixel JPEG: the decode and the conversion to the video's YUV that a cold
// nslGetStillset does. bench/compare.sh times djpeg decoding the same file.
#include "bench_files.h"
#include "bench_pictures.h"

#include "host/hxscenes.h"
#include "hxhost/scene_bin.h"
#include "hxhost/setup.h"

#include <benchmark/benchmark.h>


namespace {

void BM_ImportJpeg12Megapixels(benchmark::State& state)
{
    hxhost::reset();
    const BenchPhotoHome home;
    for (auto _ : state) {
        if (!home.record()) {
            state.SkipWithError(home.error().c_str());
            break;
        }
        hxhost::forgetDecodedStills();
        OpImage* still = nslGetStillset(home.record());
        benchmark::DoNotOptimize(still);
        opFreeImage(still);
    }
}
BENCHMARK(BM_ImportJpeg12Megapixels)->Unit(benchmark::kMillisecond);

} // namespace

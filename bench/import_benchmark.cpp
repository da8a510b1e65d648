// Importing a 12-megapixel JPEG: the decode and the conversion to the video's YUV that a cold
// nslGetStillset does. bench/compare.sh times djpeg decoding the same file.
#include "bench_files.h"
#include "bench_pictures.h"

#include "host/hxscenes.h"
#include "hxhost/hxhost.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>

namespace {

void BM_ImportJpeg12Megapixels(benchmark::State& state)
{
    const std::string photo = benchFile("photo-4000x3000.jpg");
    if (!std::filesystem::exists(photo))
        writeDetailedJpeg(photo, 4000, 3000);
    char pattern[] = "/tmp/stillset-bench-home-XXXXXX";
    if (!mkdtemp(pattern)) {
        state.SkipWithError("no temporary installation");
        return;
    }
    hxhost::reset();
    std::string error;
    const uint32_t record = hxhost::installHome(pattern, &error) ? hxhost::importStill(photo, &error) : 0;
    for (auto _ : state) {
        if (!record) {
            state.SkipWithError(error.c_str());
            break;
        }
        hxhost::forgetDecodedStills();
        OpImage* still = nslGetStillset(record);
        benchmark::DoNotOptimize(still);
        opFreeImage(still);
    }
    std::filesystem::remove_all(pattern);
    hxhost::reset();
}
BENCHMARK(BM_ImportJpeg12Megapixels)->Unit(benchmark::kMillisecond);

} // namespace

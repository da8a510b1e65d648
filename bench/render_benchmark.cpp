// The slideshow tool's hot path when the host renders a photo clip: one finished field from a
// 12-megapixel photo whose picture is already in the tool's cache, as for every field after the first.
#include "bench_files.h"
#include "bench_pictures.h"

#include "stillset/exports.h"
#include "stillset/photo_fetch.h"

#include "host/hxscenes.h"
#include "host/hxtools.h"
#include "hxhost/hxhost.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>

namespace {

void BM_FinalFieldFromCachedPhoto(benchmark::State& state)
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
    hxhost::setStandard(state.range(0) ? hxhost::Standard::Hd1080 : hxhost::Standard::Pal);
    std::string error;
    const uint32_t record = hxhost::installHome(pattern, &error) ? hxhost::importStill(photo, &error) : 0;
    PhotoEntry entry{};
    entry.id = vxtlGetUniqueID();
    entry.source = nslCopyAVRecord(record, 0);
    entry.cropWidth = 4000;
    entry.cropHeight = 3000;
    entry.brightness = entry.contrast = entry.saturation = 100;
    entry.included = 1;
    opFreeImage(stillsetGetFinalField(&entry, 1)); // the first field fills the cache
    for (auto _ : state) {
        if (!record) {
            state.SkipWithError(error.c_str());
            break;
        }
        OpImage* field = stillsetGetFinalField(&entry, 1);
        benchmark::DoNotOptimize(field);
        opFreeImage(field);
    }
    clearPhotoCache();
    nslDeleteAVRecord(entry.source);
    std::filesystem::remove_all(pattern);
    hxhost::reset();
}
BENCHMARK(BM_FinalFieldFromCachedPhoto)->Arg(0)->Arg(1)->ArgName("hd")->Unit(benchmark::kMillisecond);

} // namespace

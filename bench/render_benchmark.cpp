// The slideshow tool's hot path when the host renders a photo clip: one finished field from a
// 12-megapixel photo whose picture is already in the tool's cache, as for every field after the first.
#include "bench_files.h"
#include "bench_pictures.h"

#include "stillset/exports.h"
#include "stillset/photo_fetch.h"

#include "host/hxscenes.h"
#include "host/hxtools.h"
#include "hxhost/setup.h"
#include "hxhost/video_format.h"

#include <benchmark/benchmark.h>


namespace {

void BM_FinalFieldFromCachedPhoto(benchmark::State& state)
{
    hxhost::reset();
    hxhost::setVideoFormat(state.range(0) ? "1080i" : "pal");
    const BenchPhotoHome home;
    PhotoEntry entry{};
    entry.id = vxtlGetUniqueID();
    entry.source = nslCopyAVRecord(home.record(), 0);
    entry.cropWidth = 4000;
    entry.cropHeight = 3000;
    entry.brightness = entry.contrast = entry.saturation = 100;
    entry.included = 1;
    opFreeImage(stillsetGetFinalField(&entry, 1)); // the first field fills the cache
    for (auto _ : state) {
        if (!home.record()) {
            state.SkipWithError(home.error().c_str());
            break;
        }
        OpImage* field = stillsetGetFinalField(&entry, 1);
        benchmark::DoNotOptimize(field);
        opFreeImage(field);
    }
    clearPhotoCache();
    nslDeleteAVRecord(entry.source);
}
BENCHMARK(BM_FinalFieldFromCachedPhoto)->Arg(0)->Arg(1)->ArgName("hd")->Unit(benchmark::kMillisecond);

} // namespace

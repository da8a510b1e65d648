// The pan operator's cost per field, through the real plug-in as the host runs it: a zoom (mode 0)
// over the whole 12-megapixel still, and a pan (mode 1) over the still shrunk once to about 106 %
// of the frame, on one thread and on two. The time shown is a steady field; the first field, which also fetches the picture
// and shrinks it, is the counter first_field_ms.
#include "bench_pictures.h"

#include "host/hxmain.h"
#include "host/hxop.h"
#include "hxhost/effect_runner.h"
#include "hxhost/setup.h"
#include "hxhost/video_format.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace {

constexpr int kPhotoWidth = 4000, kPhotoHeight = 3000;
constexpr uint32_t kLength = 40; // fields an effect, so that each iteration sees many steady fields

using Clock = std::chrono::steady_clock;

void BM_PanField(benchmark::State& state)
{
    const auto mode = static_cast<uint32_t>(state.range(0));
    const bool hd = state.range(1) != 0;
    const bool copies = state.range(2) != 0;
    const auto threads = static_cast<int32_t>(state.range(3));
    char pattern[] = "/tmp/stillset-bench-home-XXXXXX";
    hxhost::reset();
    hxhost::setVideoFormat(hd ? "1080i" : "pal");
    hxhost::setReducedCopies(copies);
    hxhost::setPixelThreads(threads);
    std::string error;
    if (!mkdtemp(pattern) || !hxhost::installHome(pattern, &error)) {
        state.SkipWithError("no temporary installation");
        return;
    }
    HxOperator* pan = mainLoadOperator("longterm/stillsetpan.opw", 1);
    OpImage* photo = makeDetailedPicture(kPhotoWidth, kPhotoHeight);
    const size_t photoBytes = static_cast<size_t>(kPhotoWidth) * kPhotoHeight * 4;
    if (!pan || opSetPrefs(pan, &mode, sizeof mode) != 0) {
        state.SkipWithError("the host cannot load the pan operator");
        opFreeImage(photo);
        return;
    }
    double firstSeconds = 0;
    int64_t effects = 0;
    for (auto _ : state) {
        // The operator owns what it fetches: hand it a copy of the photo, outside the timed fields.
        OpImage* copy = opAllocImage(kPhotoWidth, kPhotoHeight, OP_FORMAT_YUVA, 0);
        std::memcpy(copy->planes[0], photo->planes[0], photoBytes);
        Clock::time_point start = Clock::now(), firstDone{}, lastDone{};
        const bool ok = hxhost::runEffect(
            pan, kLength, 0, [&](uint32_t, uint32_t) { return std::exchange(copy, nullptr); },
            [&](OpImage* field, uint32_t position) {
                opFreeImage(field);
                (position == 0 ? firstDone : lastDone) = Clock::now();
                return true;
            },
            &error);
        opFreeImage(copy);
        if (!ok) {
            state.SkipWithError(error.c_str());
            break;
        }
        firstSeconds += std::chrono::duration<double>(firstDone - start).count();
        ++effects;
        state.SetIterationTime(std::chrono::duration<double>(lastDone - firstDone).count() / kLength);
    }
    state.counters["first_field_ms"] = effects ? 1000 * firstSeconds / effects : 0;
    opFreeImage(photo);
    mainUnloadOperator(pan);
    std::filesystem::remove_all(pattern);
    hxhost::reset();
}
// Mode, then 0 for PAL or 1 for 1080-line HD, whether the scaler may read halved copies, and the
// threads that share each picture's rows.
BENCHMARK(BM_PanField)
    ->ArgNames({"mode", "hd", "copies", "threads"})
    ->Args({0, 0, 1, 1})
    ->Args({1, 0, 1, 1})
    ->Args({0, 1, 1, 1})
    ->Args({1, 1, 1, 1})
    ->Args({0, 0, 0, 1})
    ->Args({0, 1, 0, 1})
    ->Args({0, 0, 1, 2})
    ->Args({1, 0, 1, 2})
    ->Args({0, 1, 1, 2})
    ->Args({1, 1, 1, 2})
    // An iteration's time is a field's but the iteration renders forty of them and copies the photo:
    // a short least time still takes many fields.
    ->MinTime(0.02)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

} // namespace

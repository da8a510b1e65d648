// Importing a folder: 20 copies of the benchmarks' 12-megapixel photo through the host's folder
// import on one and on two threads, as JPEG, and as HEIC and WebP once bench/import_compare.sh has
// made those from the JPEG. The script times the peer decoders on the very same files.
#include "bench_files.h"
#include "bench_pictures.h"

#include "hxhost/setup.h"
#include "hxhost/still_import.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>

namespace {

constexpr int kCopies = 20;
const char* const kFormats[] = {"jpg", "heic", "webp"};

void BM_ImportFolder(benchmark::State& state)
{
    const std::string photo = benchFile(std::string("photo-4000x3000.") + kFormats[state.range(0)]);
    if (state.range(0) == 0 && !std::filesystem::exists(photo))
        writeDetailedJpeg(photo, 4000, 3000);
    if (!std::filesystem::exists(photo)) {
        state.SkipWithError(("no " + photo + " (bench/import_compare.sh makes it)").c_str());
        return;
    }
    const std::vector<std::string> files(kCopies, photo);
    double seconds = 0;
    for (auto _ : state) {
        state.PauseTiming();
        hxhost::reset();
        char pattern[] = "/tmp/stillset-bench-home-XXXXXX";
        std::string error;
        if (!mkdtemp(pattern) || !hxhost::installHome(pattern, &error)) {
            state.SkipWithError("no temporary installation");
            break;
        }
        state.ResumeTiming();
        const auto start = std::chrono::steady_clock::now();
        const std::vector<hxhost::ImportedStill> imported = hxhost::importStills(files, static_cast<unsigned>(state.range(1)));
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        state.PauseTiming();
        if (imported.empty() || !imported.back().record)
            state.SkipWithError(imported.empty() ? "nothing imported" : imported.back().error.c_str());
        std::filesystem::remove_all(pattern);
        state.ResumeTiming();
    }
    hxhost::reset();
    if (state.iterations() > 0)
        state.counters["photo_ms"] = 1000 * seconds / (static_cast<double>(kCopies) * static_cast<double>(state.iterations()));
}
BENCHMARK(BM_ImportFolder)
    ->ArgNames({"format", "threads"})
    ->ArgsProduct({{0, 1, 2}, {1, 2}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace

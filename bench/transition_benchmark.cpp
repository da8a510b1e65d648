// The cost of one field of each of the host's transitions, as export renders them: a PAL field
// (720x288) and an HD field (1920x540) of format 1 at a sub-pixel position, beside the floor of
// copying the field.
#include "bench_pictures.h"

#include "host/hxopcommon.h"
#include "hxhost/transitions.h"

#include <benchmark/benchmark.h>

#include <cstring>

namespace {

struct Fields {
    OpImage* from;
    OpImage* to;
    OpImage* out;
    explicit Fields(bool hd)
    {
        const int w = hd ? 1920 : 720, h = hd ? 540 : 288;
        from = makeDetailedPicture(w, h);
        to = makeDetailedPicture(w, h);
        out = makeDetailedPicture(w, h);
    }
    ~Fields()
    {
        opFreeImage(from);
        opFreeImage(to);
        opFreeImage(out);
    }
    size_t bytes() const { return static_cast<size_t>(from->width) * from->height * 4; }
};

void BM_TransitionField(benchmark::State& state)
{
    const hxhost::TransitionType& type = hxhost::transitionCatalogue()[static_cast<size_t>(state.range(0))];
    const Fields fields(state.range(1) != 0);
    std::vector<uint8_t> prefs = type.defaultPrefs();
    std::string error;
    int parity = 0;
    for (auto _ : state) {
        if (!hxhost::renderTransition(type, prefs.data(), prefs.size(), fields.from, fields.to, fields.out, 0.3737,
                                      parity, &error)) {
            state.SkipWithError(error.c_str());
            return;
        }
        parity ^= 1;
        benchmark::ClobberMemory();
    }
    state.SetLabel(type.file + (state.range(1) ? " HD" : " PAL"));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * fields.bytes()));
}

// The floor: writing the field without blending anything.
void BM_CopyField(benchmark::State& state)
{
    const Fields fields(state.range(0) != 0);
    for (auto _ : state) {
        std::memcpy(fields.out->planes[0], fields.from->planes[0], fields.bytes());
        benchmark::ClobberMemory();
    }
    state.SetLabel(state.range(0) ? "HD" : "PAL");
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * fields.bytes()));
}

void transitions(benchmark::internal::Benchmark* b)
{
    for (int hd = 0; hd < 2; ++hd)
        for (size_t i = 0; i < hxhost::transitionCatalogue().size(); ++i)
            b->Args({static_cast<int64_t>(i), hd});
}

BENCHMARK(BM_TransitionField)->Apply(transitions)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CopyField)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

} // namespace

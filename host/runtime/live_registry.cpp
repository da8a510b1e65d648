#include "runtime/live_registry.h"
#include "hxhost/testing.h"

#include <algorithm>

namespace hx {

namespace {

// Registries construct on first use, after this list, so it outlives every one of them.
std::vector<LiveKind*>& kinds()
{
    static std::vector<LiveKind*> all;
    return all;
}

} // namespace

LiveKind::LiveKind(LiveCountField field) : field_(field)
{
    kinds().push_back(this);
}

LiveKind::~LiveKind()
{
    auto& all = kinds();
    all.erase(std::remove(all.begin(), all.end(), this), all.end());
}

hxhost::LiveCounts LiveKind::counts()
{
    hxhost::LiveCounts live;
    for (const LiveKind* kind : kinds())
        live.*(kind->field_) += static_cast<int64_t>(kind->size());
    return live;
}

void LiveKind::resetAll()
{
    for (LiveKind* kind : kinds())
        kind->reset();
}

} // namespace hx

#include "image/image_blocks.h"

#include "hxhost/memory.h"

#include "runtime/pixel_threads.h"

#include <sys/mman.h>

#include <algorithm>
#include <cstdlib>
#include <mutex>
#include <vector>

namespace {

constexpr size_t kGranule = 64 * 1024;
constexpr size_t kSmallestKept = 256 * 1024;   // smaller blocks are cheap to get afresh
// The memory the host keeps in reserve: a few fields and small copies. Whole photos come and go
// once a scene, and keeping them made a session's peak twice its working memory.
constexpr size_t kMostKept = 32u * 1024 * 1024;
// Blocks of a picture's size are asked for in huge pages where the system offers them: a fresh
// 48-MB picture then costs two dozen page faults rather than twelve thousand.
constexpr size_t kHugePage = 2 * 1024 * 1024;

struct KeptBlock {
    void* block;
    size_t capacity;
};

// Stills decode on worker threads, so blocks are taken and given from several threads.
struct Reserve {
    std::mutex mutex;
    std::vector<KeptBlock> blocks; // oldest first
    size_t bytes = 0;
    size_t most = kMostKept;
};

// Never destroyed: stills and pictures held by other statics give their blocks back as the process
// exits, in whatever order those statics end, and the system takes back what is kept.
Reserve& reserve()
{
    static Reserve& kept = *new Reserve;
    return kept;
}

// A fresh block's pages are faulted in by the pixel threads together, a huge page at a time,
// rather than one by one by whoever writes to them first: most of what a new picture costs is
// the system clearing its pages. Where the system cannot do it ahead, the writes fault as before.
void faultIn(void* block, size_t capacity)
{
    auto* bytes = static_cast<char*>(block);
    hx::forRowRanges(static_cast<int32_t>(capacity / kHugePage), 1, [&](int32_t begin, int32_t end) {
        // A huge page a call: the process's other threads wait for the memory map while a call lasts.
        for (int32_t page = begin; page < end; ++page)
            madvise(bytes + static_cast<size_t>(page) * kHugePage, kHugePage, MADV_POPULATE_WRITE);
    });
}

size_t granules(size_t bytes)
{
    return (bytes + kGranule - 1) / kGranule * kGranule;
}

// The kept block takeBlock would hand out for `wanted` bytes: the closest fit that wastes no more
// than the block itself holds; blocks.size() when none fits. Called with the reserve locked.
size_t bestFit(const Reserve& r, size_t wanted)
{
    size_t best = r.blocks.size();
    for (size_t i = 0; i < r.blocks.size(); ++i) {
        const size_t c = r.blocks[i].capacity;
        if (c >= wanted && c <= 2 * wanted && (best == r.blocks.size() || c < r.blocks[best].capacity))
            best = i;
    }
    return best;
}

// Frees the oldest kept blocks until at most `bytes` are kept. Called with the reserve locked.
void keepAtMost(Reserve& r, size_t bytes)
{
    size_t gone = 0;
    while (gone < r.blocks.size() && r.bytes > bytes) {
        std::free(r.blocks[gone].block);
        r.bytes -= r.blocks[gone].capacity;
        ++gone;
    }
    r.blocks.erase(r.blocks.begin(), r.blocks.begin() + static_cast<std::ptrdiff_t>(gone));
}

} // namespace

namespace hx {

void* takeBlock(size_t bytes, size_t* capacity)
{
    const size_t wanted = granules(bytes);
    Reserve& r = reserve();
    std::unique_lock<std::mutex> lock(r.mutex);
    const size_t best = bestFit(r, wanted);
    if (best != r.blocks.size()) {
        const KeptBlock kept = r.blocks[best];
        r.blocks.erase(r.blocks.begin() + static_cast<std::ptrdiff_t>(best));
        r.bytes -= kept.capacity;
        *capacity = kept.capacity;
        return kept.block;
    }
    // Under a raised bound, kept blocks of other sizes make room for the new one: the reserve and
    // what it could not serve together stay within the bound.
    keepAtMost(r, std::max(kMostKept, r.most > wanted ? r.most - wanted : 0));
    lock.unlock();
    if (wanted < 2 * kHugePage) {
        *capacity = wanted;
        return std::aligned_alloc(64, wanted);
    }
    *capacity = (wanted + kHugePage - 1) / kHugePage * kHugePage;
    void* block = std::aligned_alloc(kHugePage, *capacity);
    if (block) {
        madvise(block, *capacity, MADV_HUGEPAGE); // advice only: without huge pages it stays as it was
        faultIn(block, *capacity);
    }
    return block;
}

void giveBlock(void* block, size_t capacity)
{
    if (!block)
        return;
    Reserve& r = reserve();
    const std::lock_guard<std::mutex> lock(r.mutex);
    if (capacity < kSmallestKept || capacity > r.most) {
        std::free(block);
        return;
    }
    keepAtMost(r, r.most - capacity);
    r.blocks.push_back({block, capacity});
    r.bytes += capacity;
}

PooledBytes takeBytes(size_t bytes)
{
    size_t capacity = 0;
    auto* block = static_cast<uint8_t*>(takeBlock(kBytesHeadroom + bytes, &capacity));
    return block ? PooledBytes(block + kBytesHeadroom, BlockRelease{capacity}) : PooledBytes();
}

bool haveKeptBlock(size_t bytes)
{
    Reserve& r = reserve();
    const std::lock_guard<std::mutex> lock(r.mutex);
    return bestFit(r, granules(kBytesHeadroom + bytes)) != r.blocks.size();
}

void releaseKeptBlocks()
{
    Reserve& r = reserve();
    const std::lock_guard<std::mutex> lock(r.mutex);
    keepAtMost(r, 0);
}

KeptBlocksBound::KeptBlocksBound(size_t bytes)
{
    Reserve& r = reserve();
    const std::lock_guard<std::mutex> lock(r.mutex);
    was_ = r.most;
    r.most = std::max(bytes, kMostKept);
    keepAtMost(r, r.most);
}

KeptBlocksBound::~KeptBlocksBound()
{
    Reserve& r = reserve();
    const std::lock_guard<std::mutex> lock(r.mutex);
    r.most = was_;
    keepAtMost(r, r.most);
}

} // namespace hx

namespace hxhost {

size_t keptPictureBlockBytes()
{
    Reserve& r = reserve();
    const std::lock_guard<std::mutex> lock(r.mutex);
    return r.bytes;
}

} // namespace hxhost

// Memory blocks of image buffers. Large blocks are kept for reuse when freed, so that a render
// that allocates and frees frame-sized pictures for every field does not pay for fresh pages each time.
#ifndef HX_IMAGE_BLOCKS_H
#define HX_IMAGE_BLOCKS_H

#include <cstddef>
#include <cstdint>
#include <memory>

namespace hx {

// A 64-byte aligned block of at least `bytes`, or null; its capacity is written to *capacity.
void* takeBlock(size_t bytes, size_t* capacity);
void giveBlock(void* block, size_t capacity);
// Returns every kept block to the system.
void releaseKeptBlocks();

// While it lives, freed blocks are kept up to `bytes` in all (never fewer than the usual reserve):
// a render whose working pictures outgrow the usual reserve reuses its own blocks rather than
// paying for fresh pages every frame. Ended, the reserve shrinks back to its usual bound.
class KeptBlocksBound {
public:
    explicit KeptBlocksBound(size_t bytes);
    ~KeptBlocksBound();
    KeptBlocksBound(const KeptBlocksBound&) = delete;
    KeptBlocksBound& operator=(const KeptBlocksBound&) = delete;

private:
    size_t was_;
};

// Pooled bytes start this far into their block: the room before them takes an image's header, so
// that decoded pixels become an image without a copy.
constexpr size_t kBytesHeadroom = 64;

// Bytes in a kept block, handed back for reuse when released.
struct BlockRelease {
    size_t capacity = 0; // of the whole block
    void operator()(uint8_t* bytes) const { giveBlock(bytes - kBytesHeadroom, capacity); }
};
using PooledBytes = std::unique_ptr<uint8_t[], BlockRelease>;
// Null when there is no memory; the bytes are not cleared.
PooledBytes takeBytes(size_t bytes);
// Whether a kept block would serve takeBytes(bytes) now, without fresh memory.
bool haveKeptBlock(size_t bytes);

} // namespace hx

#endif

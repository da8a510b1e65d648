// How the heap serves the host. Pictures and their pieces (fields, planes, decoded stills) come
// and go by the megabyte from several threads. By default the C library serves a block from the
// heap once a block of its size has been freed, and a freed picture's pages then stay with the
// process as long as anything small allocated after it lives above it: a long show's peak grew
// with its length. Blocks of a megabyte or more are mapped on their own instead, so that each goes
// back to the system when it is freed; the picture blocks' own reserve keeps the few worth reusing.
#include "hxhost/heap_memory.h"

#include <malloc.h>

namespace {

constexpr int kOwnMappingBytes = 1 << 20;

// Set as the library loads, before the program allocates a picture.
const struct HeapPolicy {
    HeapPolicy() { mallopt(M_MMAP_THRESHOLD, kOwnMappingBytes); }
} heapPolicy;

} // namespace

namespace hxhost {

size_t heapBytesHeldFree()
{
    return mallinfo2().fordblks;
}

size_t heapBytesInUse()
{
    const struct mallinfo2 heap = mallinfo2();
    return heap.uordblks + heap.hblkhd;
}

} // namespace hxhost

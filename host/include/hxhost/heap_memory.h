// The C library heap's part of the host's memory, so that a test can hold it to its bounds.
#ifndef HXHOST_HEAP_MEMORY_H
#define HXHOST_HEAP_MEMORY_H

#include "hxhost/api.h"

#include <cstddef>

namespace hxhost {

// Bytes the heap has from the system and holds unused, in every thread's arena.
HXHOST_API size_t heapBytesHeldFree();
// Bytes of the heap's blocks in use, those mapped on their own included.
HXHOST_API size_t heapBytesInUse();

} // namespace hxhost

#endif

// The memory the host keeps for pictures beyond those in use, so that a test can hold it to its bounds.
#ifndef HXHOST_MEMORY_H
#define HXHOST_MEMORY_H

#include "hxhost/api.h"

#include <cstddef>

namespace hxhost {

// Bytes of freed picture blocks the host keeps in reserve for the next pictures.
HXHOST_API size_t keptPictureBlockBytes();

} // namespace hxhost

#endif

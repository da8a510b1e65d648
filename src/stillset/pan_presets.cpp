#include "pan_presets.h"

#include "log.h"

#include "platform/crt.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr uint32_t kHeaderBytes = 4; // the host's, never interpreted here
constexpr uint32_t kMaxBlockBytes = 1u << 20;

} // namespace

int32_t readPanPreset(void* block, uint32_t size, int32_t variant)
{
    const char* home = crt::getenv("HXHOME");
    if (!home || !block || size > kMaxBlockBytes) {
        STILLSET_LOG(HXLOG_FAILURE);
        return -1;
    }
    char path[1100];
    const int n = std::snprintf(path, sizeof path, "%s/programs/stillset/prefs/sl%ld.prf", home, static_cast<long>(variant));
    // The presets belong to the installation, which may well be read-only.
    const int fd = n > 0 && static_cast<size_t>(n) < sizeof path ? crt::_open(path, crt::O_RDONLY_ | crt::O_BINARY_) : -1;
    if (fd < 0) {
        STILLSET_LOG(HXLOG_FAILURE);
        return -1;
    }
    auto* buffer = static_cast<unsigned char*>(std::malloc(size + kHeaderBytes));
    if (!buffer) {
        STILLSET_LOG(HXLOG_FAILURE);
        crt::_close(fd);
        return -1;
    }
    if (crt::_read(fd, buffer, size + kHeaderBytes) != static_cast<int>(size + kHeaderBytes)) {
        STILLSET_LOG(HXLOG_FAILURE);
        std::free(buffer);
        crt::_close(fd);
        return -1;
    }
    std::memcpy(block, buffer + kHeaderBytes, size);
    std::free(buffer);
    crt::_close(fd);
    return 0;
}

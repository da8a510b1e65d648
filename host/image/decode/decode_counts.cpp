#include "image/decode/decode_counts.h"

#include "hxhost/decode_counts.h"
#include "runtime/reset_hook.h"

#include <sys/mman.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <new>

namespace {

constexpr uint32_t kMaxDecodes = 4096;
constexpr size_t kMaxFileBytes = 1024;

struct Decode {
    char file[kMaxFileBytes];
    int32_t width;
    int32_t height;
    uint8_t reduced;
    std::atomic<uint8_t> written; // the slot is whole: a reader never sees half a record
};

struct DecodeLog {
    std::atomic<uint32_t> taken;
    Decode decodes[kMaxDecodes];
};

// Shared with the export's worker processes, so it is mapped when the library loads, before any fork.
// Pages are only touched as records arrive.
DecodeLog* const decodeLog = [] {
    void* shared = mmap(nullptr, sizeof(DecodeLog), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    return shared == MAP_FAILED ? nullptr : new (shared) DecodeLog();
}();

void forgetDecodes()
{
    if (!decodeLog)
        return;
    const uint32_t used = std::min(decodeLog->taken.load(), kMaxDecodes);
    for (uint32_t i = 0; i < used; ++i)
        decodeLog->decodes[i].written.store(0);
    decodeLog->taken.store(0);
}

const hx::ResetHook decodesReset(&forgetDecodes);

} // namespace

namespace hx {

void countStillDecode(const std::string& file, int32_t width, int32_t height, bool reduced)
{
    if (!decodeLog)
        return;
    const uint32_t slot = decodeLog->taken.fetch_add(1);
    if (slot >= kMaxDecodes)
        return;
    Decode& decode = decodeLog->decodes[slot];
    const size_t length = std::min(file.size(), kMaxFileBytes - 1);
    std::memcpy(decode.file, file.data(), length);
    decode.file[length] = '\0';
    decode.width = width;
    decode.height = height;
    decode.reduced = reduced;
    decode.written.store(1, std::memory_order_release);
}

} // namespace hx

namespace hxhost {

std::map<std::string, std::vector<StillDecode>> stillDecodes()
{
    std::map<std::string, std::vector<StillDecode>> byFile;
    if (!decodeLog)
        return byFile;
    const uint32_t used = std::min(decodeLog->taken.load(), kMaxDecodes);
    for (uint32_t i = 0; i < used; ++i) {
        const Decode& decode = decodeLog->decodes[i];
        if (decode.written.load(std::memory_order_acquire))
            byFile[decode.file].push_back({decode.width, decode.height, decode.reduced != 0});
    }
    return byFile;
}

} // namespace hxhost

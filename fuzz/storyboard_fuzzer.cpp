// The stored storyboard "storyboard.sbd": whatever the bytes, the decoder gives a storyboard or a
// reason, and a storyboard it gives is stored again as the same storyboard. The input is taken as it
// is and, so that changed bytes reach the fields behind the checksum, with its checksum made right.
#include "runtime/byte_io.h"
#include "scenes/storyboard.h"

#include <cstdlib>

namespace {

void decodeAndStoreAgain(const std::string& bytes)
{
    hx::StoryboardData board;
    std::string error;
    if (!hx::decodeStoryboard(bytes, board, &error)) {
        if (error.empty())
            std::abort();
        return;
    }
    const std::string stored = hx::encodeStoryboard(board);
    hx::StoryboardData again;
    if (!hx::decodeStoryboard(stored, again, &error) || hx::encodeStoryboard(again) != stored)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string bytes(reinterpret_cast<const char*>(data), size);
    decodeAndStoreAgain(bytes);
    if (bytes.size() >= 4) {
        bytes.resize(bytes.size() - 4);
        hx::putU32(bytes, hx::storyboardChecksum(bytes, bytes.size()));
        decodeAndStoreAgain(bytes);
    }
    return 0;
}

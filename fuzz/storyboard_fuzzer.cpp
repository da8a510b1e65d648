// The stored storyboard "storyboard.sbd": whatever the bytes, the decoder gives a storyboard or a
// reason, and a storyboard it gives is stored again as the same storyboard.
#include "scenes/storyboard.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    hx::StoryboardData board;
    std::string error;
    if (!hx::decodeStoryboard(bytes, board, &error)) {
        if (error.empty())
            std::abort();
        return 0;
    }
    const std::string stored = hx::encodeStoryboard(board);
    hx::StoryboardData again;
    if (!hx::decodeStoryboard(stored, again, &error) || hx::encodeStoryboard(again) != stored)
        std::abort();
    return 0;
}

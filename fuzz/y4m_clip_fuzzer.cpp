// YUV4MPEG2 clips as the host opens them for the scene bin: any file is opened with its frames
// checked or refused with a reason, and every frame it lists can then be read.
#include "scratch_file.h"

#include "video/y4m_clip.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string path = writeScratchFile("clip.y4m", data, size);
    hx::Y4mClip clip;
    std::string error;
    if (!hx::openY4m(path, clip, error)) {
        if (error.empty())
            std::abort();
        return 0;
    }
    std::vector<uint8_t> yuva;
    const int32_t last = static_cast<int32_t>(clip.frames.size()) - 1;
    for (int32_t frame : {0, last, last + 1}) {
        const bool read = hx::readY4mFrame(clip, frame, yuva, error);
        if (read != (frame <= last) || (read && yuva.size() != static_cast<size_t>(clip.width) * clip.height * 4))
            std::abort();
    }
    return 0;
}

// Video clips in YUV4MPEG2 files: 8-bit 4:2:0, 4:2:2 or 4:4:4, progressive or interlaced. The header
// and every frame's size are checked when the clip is opened.
#ifndef HX_Y4M_CLIP_H
#define HX_Y4M_CLIP_H

#include <cstdint>
#include <string>
#include <vector>

namespace hx {

struct Y4mClip {
    std::string path;
    int32_t width = 0;
    int32_t height = 0;
    int chromaShiftX = 1, chromaShiftY = 1; // 4:2:0
    char interlace = 'p';                   // p, t (top field first), b or ? (unknown)
    size_t frameBytes = 0;
    std::vector<uint64_t> frames;           // offset of each frame's pixels in the file
};

bool openY4m(const std::string& path, Y4mClip& clip, std::string& error);
// One frame as format-1 pixels (width x height x 4 bytes); subsampled chroma is replicated.
bool readY4mFrame(const Y4mClip& clip, int32_t frame, std::vector<uint8_t>& yuva, std::string& error);

} // namespace hx

#endif

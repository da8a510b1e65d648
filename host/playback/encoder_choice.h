// Which encoder writes a file and with what settings: the container's own codec unless one is
// chosen, each codec's default preset and quality, and the checks that a choice can be written.
#ifndef HX_ENCODER_CHOICE_H
#define HX_ENCODER_CHOICE_H

#include "hxhost/video_file.h"

#include <string>

namespace hx {

enum class Container { Mp4, Mkv, WebM };

struct ChosenEncoder {
    std::string codec;   // h264, hevc, av1, vp9 or ffv1
    std::string library; // the FFmpeg encoder: libx264, libx265, libsvtav1, libvpx-vp9, ffv1
    std::string preset;  // empty for FFV1
    int32_t quality = -1; // -1 for FFV1, which is lossless
    int32_t threads = 0;   // the encoder's threads; 0: as many as it likes
    int32_t lookahead = 0; // frames the encoder looks ahead at most; 0: as its preset says
    bool slicedThreads = false; // threads share each picture, rather than each taking a picture of its own
};

// The encoder a file of `format` in `container` is written with; false with a message when the
// container cannot hold the codec, the codec cannot carry interlaced video, or a setting is out of range.
// A lossless file ignores the preset and quality.
bool chooseEncoder(const hxhost::VideoFileFormat& format, Container container, ChosenEncoder& out, std::string* error);

} // namespace hx

#endif

// The host's own video file writers, behind hxhost::VideoFile (MP4 and MKV come from the media
// module: playback/encoder_module.h).
#ifndef HX_WRITERS_H
#define HX_WRITERS_H

#include "hxhost/video_file.h"

namespace hx {

// Takes every frame and sample and keeps nothing: a render measured without a file.
std::unique_ptr<hxhost::VideoFile> openNullFile(const hxhost::VideoFileFormat& format);
// YUV4MPEG2 with a 16-bit WAV of the same name beside it.
std::unique_ptr<hxhost::VideoFile> openY4mWavFile(const std::string& path, const hxhost::VideoFileFormat& format,
                                                  std::string* error);

} // namespace hx

#endif

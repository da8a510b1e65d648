// The host's video file writers, behind hxhost::VideoFile.
#ifndef HX_WRITERS_H
#define HX_WRITERS_H

#include "hxhost/video_file.h"

namespace hx {

enum class Container { Mp4, Mkv };

// Takes every frame and sample and keeps nothing: a render measured without a file.
std::unique_ptr<hxhost::VideoFile> openNullFile(const hxhost::VideoFileFormat& format);
// YUV4MPEG2 with a 16-bit WAV of the same name beside it.
std::unique_ptr<hxhost::VideoFile> openY4mWavFile(const std::string& path, const hxhost::VideoFileFormat& format,
                                                  std::string* error);
// Encoded through the FFmpeg libraries: MP4 (H.264 coded interlaced + AAC) or MKV (FFV1 + FLAC).
std::unique_ptr<hxhost::VideoFile> openEncodedFile(const std::string& path, const hxhost::VideoFileFormat& format,
                                                   Container container, std::string* error);

} // namespace hx

#endif

// MP4, MKV and WebM files are encoded by the media module (libhx_media.so, with FFmpeg), loaded when the
// first such file is made. This is what libhx asks of it.
#ifndef HX_ENCODER_MODULE_H
#define HX_ENCODER_MODULE_H

#include "hxhost/video_file.h"
#include "playback/encoder_choice.h"
#include "runtime/module_loader.h"

#include <memory>
#include <string>

namespace hx {

struct EncoderModule {
    static constexpr const char* kLibrary = "libhx_media.so";
    static constexpr const char* kSymbol = "hxEncoderModule";
    static constexpr const char* kPurpose = "the video encoder";

    // A file of `container` written with `encoder` (as chooseEncoder chose it); null with the reason in *error.
    std::unique_ptr<hxhost::VideoFile> (*open)(const std::string& path, const hxhost::VideoFileFormat& format,
                                               Container container, const ChosenEncoder& encoder, std::string* error);
    // Opens the encoders with these settings and no file; false with the reason they are refused.
    bool (*check)(const hxhost::VideoFileFormat& format, Container container, const ChosenEncoder& encoder,
                  std::string* error);
};

} // namespace hx

HX_MODULE_TABLE const hx::EncoderModule hxEncoderModule;

#endif

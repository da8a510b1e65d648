// Sound files are decoded by the media module (libhx_media.so, with FFmpeg), loaded when the first
// sound file is probed or read. This is what libhx asks of it.
#ifndef HX_SOUND_MODULE_H
#define HX_SOUND_MODULE_H

#include "hxhost/audio.h"
#include "runtime/module_loader.h"

#include <cstdint>
#include <memory>
#include <string>

namespace hx {

// A sound file's sound as 48 kHz stereo, read block by block.
class SoundStream {
public:
    virtual ~SoundStream() = default;
    // Up to `frames` stereo frames, interleaved left, right, into `out`: the number read, 0 at the
    // end, -1 on failure (error()).
    virtual int64_t read(float* out, int64_t frames) = 0;
    virtual const std::string& error() const = 0;
};

struct SoundModule {
    static constexpr const char* kLibrary = "libhx_media.so";
    static constexpr const char* kSymbol = "hxSoundModule";
    static constexpr const char* kPurpose = "the sound decoder";

    // Decodes the whole file: what hxhost::probeAudio reports, with the title tag as the file's
    // UTF-8 (`info->title` is left alone). False with the reason in *error.
    bool (*probe)(const std::string& path, hxhost::AudioInfo& info, std::string& title, std::string* error);
    // Null with the reason in *error when the file cannot be read as sound.
    std::unique_ptr<SoundStream> (*open)(const std::string& path, std::string* error);
};

} // namespace hx

HX_MODULE_TABLE const hx::SoundModule hxSoundModule;

#endif

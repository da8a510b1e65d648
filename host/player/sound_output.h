// The desktop's sound output: 48 kHz stereo samples queued to the sound device, played as they come.
// The output itself is the window module's (libhx_window.so, with SDL2), loaded when first used.
#ifndef HX_PLAYER_SOUND_OUTPUT_H
#define HX_PLAYER_SOUND_OUTPUT_H

#include "runtime/module_loader.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace hx {

class SoundOutput {
public:
    // The device, paused; null with the reason without one or without the window module.
    static std::unique_ptr<SoundOutput> open(std::string& error);
    virtual ~SoundOutput() = default;
    // Interleaved stereo samples at 48 kHz after those queued; false with the reason.
    virtual bool queue(const float* samples, size_t sampleFrames, std::string& error) = 0;
    // Samples queued and not yet taken by the device.
    virtual size_t queued() const = 0;
    // Drops what is queued.
    virtual void clear() = 0;
    virtual void pause(bool paused) = 0;
};

struct SoundOutputModule {
    static constexpr const char* kLibrary = "libhx_window.so";
    static constexpr const char* kSymbol = "hxSoundOutputModule";
    static constexpr const char* kPurpose = "the sound output";

    std::unique_ptr<SoundOutput> (*open)(std::string& error);
};

} // namespace hx

HX_MODULE_TABLE const hx::SoundOutputModule hxSoundOutputModule;

#endif

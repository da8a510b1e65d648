// The window module's sound output: one SDL audio device fed from its queue.
#include "player/sound_output.h"

#include "hxhost/video_file.h"

#include <SDL.h>

namespace {

class SdlSoundOutput final : public hx::SoundOutput {
public:
    ~SdlSoundOutput() override
    {
        if (device_)
            SDL_CloseAudioDevice(device_);
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }

    bool open(std::string& error)
    {
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
            error = std::string("no sound output: ") + SDL_GetError();
            return false;
        }
        SDL_AudioSpec wanted{};
        wanted.freq = hxhost::kAudioRate;
        wanted.format = AUDIO_F32SYS;
        wanted.channels = hxhost::kAudioChannels;
        wanted.samples = 1024;
        // No changes allowed: SDL converts for a device that wants another form.
        device_ = SDL_OpenAudioDevice(nullptr, 0, &wanted, nullptr, 0);
        if (!device_) {
            error = std::string("cannot open the sound output: ") + SDL_GetError();
            return false;
        }
        return true;
    }

    bool queue(const float* samples, size_t sampleFrames, std::string& error) override
    {
        if (SDL_QueueAudio(device_, samples, static_cast<Uint32>(sampleFrames * kFrameBytes)) == 0)
            return true;
        error = std::string("the sound output failed: ") + SDL_GetError();
        return false;
    }

    size_t queued() const override { return SDL_GetQueuedAudioSize(device_) / kFrameBytes; }
    void clear() override { SDL_ClearQueuedAudio(device_); }
    void pause(bool paused) override { SDL_PauseAudioDevice(device_, paused ? 1 : 0); }

private:
    static constexpr size_t kFrameBytes = sizeof(float) * hxhost::kAudioChannels;
    SDL_AudioDeviceID device_ = 0;
};

std::unique_ptr<hx::SoundOutput> openSoundOutput(std::string& error)
{
    auto output = std::make_unique<SdlSoundOutput>();
    if (!output->open(error))
        return nullptr;
    return output;
}

} // namespace

HX_MODULE_TABLE const hx::SoundOutputModule hxSoundOutputModule = {openSoundOutput};

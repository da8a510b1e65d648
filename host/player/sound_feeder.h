// The show's sound fed to the sound output from a thread of its own, a little ahead of what is heard,
// so that a picture slow to render never starves the sound.
#ifndef HX_PLAYER_SOUND_FEEDER_H
#define HX_PLAYER_SOUND_FEEDER_H

#include "hxhost/show_audio.h"
#include "player/sound_output.h"

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace hx {

class SoundFeeder {
public:
    explicit SoundFeeder(SoundOutput& output) : output_(output) {}
    ~SoundFeeder() { stop(); }
    SoundFeeder(const SoundFeeder&) = delete;
    SoundFeeder& operator=(const SoundFeeder&) = delete;

    // Queues the mix (opened) from `frame` up to `end`, and plays it.
    void start(std::unique_ptr<hxhost::ShowAudio> mix, int64_t frame, int64_t end);
    // Pauses the output and drops what is queued.
    void stop();
    // Samples taken by the output since start: those queued less those still waiting.
    int64_t played() const;
    // Why the mix or the output failed; empty while neither has.
    std::string failure() const;

private:
    void feed(int64_t frame, int64_t end);

    SoundOutput& output_;
    std::unique_ptr<hxhost::ShowAudio> mix_;
    std::thread thread_;
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    bool stopping_ = false;
    int64_t queued_ = 0; // samples queued since start
    std::string failure_;
};

} // namespace hx

#endif

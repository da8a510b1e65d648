// Sound files for jingles and music: what a file holds (probe), and its sound as 48 kHz stereo
// (reader). Files of the sound containers the FFmpeg libraries read (AAC/M4A, Opus, Ogg Vorbis, MP3,
// FLAC, WAV, WMA, AIFF ...) are read, known by content; nothing a file says about itself is trusted: its
// length is the sound that decodes, and a broken file is a clear failure.
#ifndef HXHOST_AUDIO_H
#define HXHOST_AUDIO_H

#include "hxhost/api.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace hxhost {

struct HXHOST_API AudioInfo {
    std::string container;   // the demuxer's name: "wav", "flac", "mp3", "ogg", "mov,mp4,m4a,3gp,3g2,mj2", "asf"...
    std::string codec;       // e.g. "pcm_s16le", "flac", "mp3", "vorbis", "opus"
    int32_t sampleRate = 0;  // of the file
    int32_t channels = 0;
    int64_t samples = 0;     // decoded, per channel
    double seconds = 0;      // samples / sampleRate
    std::u16string title;    // the title tag, empty without one

    // The length in video frames at `framesPerSecond`, a started frame counting whole.
    int64_t frames(double framesPerSecond) const;
};

// Sound longer than this is refused: no jingle or music bed comes near it.
constexpr double kMaxAudioSeconds = 4 * 3600;

// Decodes the whole file to learn its length. False with the reason in *error for a file that is
// missing, not a sound container, without sound, or that decodes to nothing. A fallible service
// ("probeAudio") for fault injection.
HXHOST_API bool probeAudio(const std::string& path, AudioInfo* info, std::string* error = nullptr);

// The rate and layout every reader delivers, the export's mix format.
constexpr int32_t kMixRate = 48000;
constexpr int32_t kMixChannels = 2;

// Reads a sound file as 48 kHz stereo, block by block, whatever its own rate and channels (mono
// goes to both sides). Not thread-safe; one reader per thread.
class HXHOST_API AudioReader {
public:
    // Null with the reason in *error when the file cannot be read as sound.
    static std::unique_ptr<AudioReader> open(const std::string& path, std::string* error = nullptr);
    ~AudioReader();
    AudioReader(const AudioReader&) = delete;
    AudioReader& operator=(const AudioReader&) = delete;

    // Up to `frames` stereo frames, interleaved left, right, into `out`: the number read, 0 at the
    // end, -1 on failure (error()). Float samples lie in -1..1; s16 ones are clamped.
    int64_t read(float* out, int64_t frames);
    int64_t read(int16_t* out, int64_t frames);
    const std::string& error() const;

private:
    struct Impl;
    explicit AudioReader(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> impl_;
};

// The file's first `maxSeconds` (at most) as 48 kHz stereo interleaved floats.
HXHOST_API bool decodeAudio(const std::string& path, std::vector<float>& samples, double maxSeconds,
                            std::string* error = nullptr);

} // namespace hxhost

#endif

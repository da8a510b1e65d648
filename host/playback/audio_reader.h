// Sound files (jingles, music) decoded through the FFmpeg libraries to 48 kHz stereo floats.
#ifndef HX_AUDIO_READER_H
#define HX_AUDIO_READER_H

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace hx {

class AudioReader {
public:
    // Null with a reason when the file has no sound the libraries can decode.
    static std::unique_ptr<AudioReader> open(const std::string& path, std::string* error);
    ~AudioReader();
    // Up to `sampleFrames` interleaved stereo frames into `out`; fewer only at the end. -1 on a decoding error.
    long read(float* out, size_t sampleFrames);

private:
    struct Decoder;
    explicit AudioReader(std::unique_ptr<Decoder> decoder);
    std::unique_ptr<Decoder> decoder_;
};

// A whole short sound (a jingle) as interleaved stereo, at most `maxSampleFrames` long.
bool readWholeSound(const std::string& path, size_t maxSampleFrames, std::vector<float>& samples, std::string* error);

} // namespace hx

#endif

// Raw video for editing tools that want it: YUV4MPEG2 frames and a WAV of the sound beside them.
#include "playback/writers.h"

#include "playback/part_file.h"
#include "runtime/byte_io.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <unistd.h>
#include <vector>

namespace {

constexpr uint32_t kWavHeaderBytes = 44;

class File {
public:
    ~File()
    {
        if (file_)
            std::fclose(file_);
    }
    // Takes the part's descriptor; false (the descriptor closed) when it cannot be written.
    bool adopt(int fd)
    {
        if (fd >= 0 && !(file_ = fdopen(fd, "wb")))
            ::close(fd);
        return file_ != nullptr;
    }
    bool write(const void* bytes, size_t count) { return std::fwrite(bytes, 1, count, file_) == count; }
    bool seekStart() { return std::fseek(file_, 0, SEEK_SET) == 0; }
    bool close()
    {
        const bool ok = std::fflush(file_) == 0 && std::fclose(file_) == 0;
        file_ = nullptr;
        return ok;
    }

private:
    FILE* file_ = nullptr;
};

// The RIFF header of 16-bit stereo at 48 kHz holding `dataBytes`.
std::string wavHeader(uint32_t dataBytes)
{
    const uint32_t blockAlign = hxhost::kAudioChannels * 2;
    std::string h = "RIFF";
    hx::putU32(h, kWavHeaderBytes - 8 + dataBytes);
    h += "WAVEfmt ";
    hx::putU32(h, 16);
    hx::putU32(h, 1u | static_cast<uint32_t>(hxhost::kAudioChannels) << 16); // PCM, two channels
    hx::putU32(h, hxhost::kAudioRate);
    hx::putU32(h, hxhost::kAudioRate * blockAlign);
    hx::putU32(h, blockAlign | 16u << 16); // block alignment, 16 bits a sample
    h += "data";
    hx::putU32(h, dataBytes);
    return h;
}

class Y4mWavFile final : public hxhost::VideoFile {
public:
    Y4mWavFile(const std::string& path, const hxhost::VideoFileFormat& format)
        : VideoFile(format), video_(path), audio_(hxhost::soundFileBeside(path))
    {
    }

    bool open(std::string* error)
    {
        if (!videoFile_.adopt(video_.create(error)) || !audioFile_.adopt(audio_.create(error)))
            return false;
        int32_t n = 1, d = 1;
        hxhost::sampleAspectRatio(format_.pixelAspect, &n, &d);
        char header[128];
        const int rate = format_.fractionalRate ? 1000 * format_.framesPerSecond : format_.framesPerSecond;
        const char scan = format_.progressive ? 'p' : format_.bottomFirst ? 'b' : 't';
        const int length = std::snprintf(header, sizeof header, "YUV4MPEG2 W%d H%d F%d:%d I%c A%d:%d C420jpeg\n",
                                         format_.width, format_.height, rate, format_.fractionalRate ? 1001 : 1,
                                         scan, n, d);
        const std::string wav = wavHeader(0);
        if (!videoFile_.write(header, static_cast<size_t>(length)) || !audioFile_.write(wav.data(), wav.size()))
            return fail(error, "cannot write " + video_.part());
        return true;
    }

    bool addWovenFrame(const hxhost::WovenFrame& frame, std::string* error) override
    {
        if (!videoFile_.write("FRAME\n", 6) || !videoFile_.write(frame.planes.data(), frame.planes.size()))
            return fail(error, "cannot write " + video_.part());
        return true;
    }

    bool addAudio(const float* samples, size_t sampleFrames, std::string* error) override
    {
        const size_t count = sampleFrames * hxhost::kAudioChannels;
        if (audioBytes_ + count * 2 > UINT32_MAX - kWavHeaderBytes)
            return fail(error, "the sound is too long for a WAV file");
        pcm_.resize(count * 2);
        for (size_t i = 0; i < count; ++i) {
            const auto s = static_cast<int16_t>(std::lround(std::clamp(samples[i], -1.0f, 1.0f) * 32767.0f));
            pcm_[2 * i] = static_cast<uint8_t>(s);
            pcm_[2 * i + 1] = static_cast<uint8_t>(static_cast<uint16_t>(s) >> 8);
        }
        if (!audioFile_.write(pcm_.data(), pcm_.size()))
            return fail(error, "cannot write " + audio_.part());
        audioBytes_ += pcm_.size();
        return true;
    }

    bool finish(std::string* error) override
    {
        const std::string wav = wavHeader(static_cast<uint32_t>(audioBytes_));
        if (!audioFile_.seekStart() || !audioFile_.write(wav.data(), wav.size()) || !audioFile_.close() ||
            !videoFile_.close())
            return fail(error, "cannot write " + video_.path());
        return audio_.commit(error) && video_.commit(error);
    }

private:
    static bool fail(std::string* error, const std::string& why)
    {
        if (error)
            *error = why;
        return false;
    }

    hx::PartFile video_, audio_;
    File videoFile_, audioFile_;
    std::vector<uint8_t> pcm_;
    uint64_t audioBytes_ = 0;
};

} // namespace

namespace hx {

std::unique_ptr<hxhost::VideoFile> openY4mWavFile(const std::string& path, const hxhost::VideoFileFormat& format,
                                                  std::string* error)
{
    auto file = std::make_unique<Y4mWavFile>(path, format);
    if (!file->open(error))
        return nullptr;
    return file;
}

} // namespace hx

namespace {

class NullFile final : public hxhost::VideoFile {
public:
    explicit NullFile(const hxhost::VideoFileFormat& format) : VideoFile(format) {}
    bool addWovenFrame(const hxhost::WovenFrame&, std::string*) override { return true; }
    bool addAudio(const float*, size_t, std::string*) override { return true; }
    bool finish(std::string*) override { return true; }
};

} // namespace

namespace hx {

std::unique_ptr<hxhost::VideoFile> openNullFile(const hxhost::VideoFileFormat& format)
{
    return std::make_unique<NullFile>(format);
}

} // namespace hx

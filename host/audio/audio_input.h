// A sound file opened with the FFmpeg libraries, its audio stream decoded frame by frame. Only sound
// containers are opened, from the local file system only.
#ifndef HX_AUDIO_INPUT_H
#define HX_AUDIO_INPUT_H

#include <string>

struct AVCodecContext;
struct AVFormatContext;
struct AVFrame;
struct AVPacket;

namespace hx {

class AudioInput {
public:
    AudioInput() = default;
    ~AudioInput();
    AudioInput(const AudioInput&) = delete;
    AudioInput& operator=(const AudioInput&) = delete;

    bool open(const std::string& path, std::string* error);
    // The next decoded frame (valid until the next call), or null at the end and on failure.
    const AVFrame* next();
    bool failed() const { return !error_.empty(); }
    const std::string& error() const { return error_; }

    const AVFormatContext* format() const { return format_; }
    const AVCodecContext* codec() const { return codec_; }
    int stream() const { return stream_; }

private:
    bool refuse(const std::string& why, std::string* error);
    const AVFrame* fail(const std::string& why);
    // A frame that passes the checks of open(), or null.
    const AVFrame* checked();

    AVFormatContext* format_ = nullptr;
    AVCodecContext* codec_ = nullptr;
    AVPacket* packet_ = nullptr;
    AVFrame* frame_ = nullptr;
    int stream_ = -1;
    int badPackets_ = 0;
    bool draining_ = false;
    bool ended_ = false;
    std::string error_;
};

} // namespace hx

#endif

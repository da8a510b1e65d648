// Opening and decoding a sound file, its kind found from its content. The demuxers are limited to
// the sound containers (so a file cannot steer FFmpeg into a video or playlist format's parser), the protocol to plain files, and every frame's rate
// and channel count are checked before anyone uses them.
#include "audio/audio_input.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/dict.h>
}

#include <sys/stat.h>

namespace hx {
namespace {

// WAV, FLAC, MP3, Ogg (Vorbis, Opus, FLAC), MP4/M4A (AAC, ALAC), raw AAC, WMA, Matroska/WebM sound,
// AIFF, Core Audio, WavPack and Monkey's Audio.
constexpr const char* kContainers = "wav,w64,flac,mp3,ogg,mov,aac,asf,matroska,aiff,caf,wv,ape";
constexpr int kMinRate = 1000;
constexpr int kMaxRate = 384000;
constexpr int kMaxChannels = 16;
// A file whose packets keep failing to decode is broken, not briefly damaged.
constexpr int kMaxBadPackets = 64;

bool plausible(int rate, int channels)
{
    return rate >= kMinRate && rate <= kMaxRate && channels >= 1 && channels <= kMaxChannels;
}

} // namespace

AudioInput::~AudioInput()
{
    av_frame_free(&frame_);
    av_packet_free(&packet_);
    avcodec_free_context(&codec_);
    avformat_close_input(&format_);
}

bool AudioInput::refuse(const std::string& why, std::string* error)
{
    error_ = why;
    if (error)
        *error = why;
    return false;
}

const AVFrame* AudioInput::fail(const std::string& why)
{
    error_ = why;
    return nullptr;
}

bool AudioInput::open(const std::string& path, std::string* error)
{
    // FFmpeg would wait for ever on a FIFO; only regular files are sound files.
    struct stat info{};
    if (path.empty() || stat(path.c_str(), &info) != 0)
        return refuse("cannot open " + path + ": no such file", error);
    if (S_ISDIR(info.st_mode))
        return refuse(path + " is a folder, not a sound file", error);
    if (!S_ISREG(info.st_mode))
        return refuse(path + " is not a regular file (a pipe, device or socket)", error);
    format_ = avformat_alloc_context();
    if (!format_)
        return refuse("out of memory", error);
    format_->format_whitelist = av_strdup(kContainers);
    format_->protocol_whitelist = av_strdup("file");
    AVDictionary* options = nullptr;
    // "file:" keeps a colon in the name from being read as another protocol.
    if (avformat_open_input(&format_, ("file:" + path).c_str(), nullptr, &options) < 0) {
        av_dict_free(&options);
        format_ = nullptr; // freed by the failed open
        return refuse(path + " is not a sound file this host reads (AAC/M4A, Opus, Ogg Vorbis, MP3, FLAC, WAV, WMA, AIFF ...)", error);
    }
    av_dict_free(&options);
    if (avformat_find_stream_info(format_, nullptr) < 0)
        return refuse(path + " is damaged: its streams cannot be read", error);
    for (unsigned i = 0; i < format_->nb_streams; ++i) {
        const AVStream* s = format_->streams[i];
        // Cover art travels as a picture stream; a moving picture makes it a video, not a sound file.
        if (s->codecpar->codec_type == AVMEDIA_TYPE_VIDEO && !(s->disposition & AV_DISPOSITION_ATTACHED_PIC))
            return refuse(path + " is a video, not a sound file", error);
    }
    const AVCodec* decoder = nullptr;
    stream_ = av_find_best_stream(format_, AVMEDIA_TYPE_AUDIO, -1, -1, &decoder, 0);
    if (stream_ < 0 || !decoder)
        return refuse(path + " holds no sound this host can decode", error);
    const AVCodecParameters* parameters = format_->streams[stream_]->codecpar;
    codec_ = avcodec_alloc_context3(decoder);
    packet_ = av_packet_alloc();
    frame_ = av_frame_alloc();
    if (!codec_ || !packet_ || !frame_)
        return refuse("out of memory", error);
    if (avcodec_parameters_to_context(codec_, parameters) < 0 || avcodec_open2(codec_, decoder, nullptr) < 0)
        return refuse(path + ": its sound cannot be decoded", error);
    if (!plausible(codec_->sample_rate, codec_->ch_layout.nb_channels))
        return refuse(path + ": " + std::to_string(codec_->sample_rate) + " Hz with " +
                          std::to_string(codec_->ch_layout.nb_channels) + " channels is not a sound this host plays",
                      error);
    return true;
}

const AVFrame* AudioInput::checked()
{
    if (!plausible(frame_->sample_rate, frame_->ch_layout.nb_channels) || frame_->nb_samples < 0)
        return fail("the sound changes to an impossible rate or channel count part-way");
    return frame_;
}

const AVFrame* AudioInput::next()
{
    if (ended_ || failed())
        return nullptr;
    for (;;) {
        const int received = avcodec_receive_frame(codec_, frame_);
        if (received == 0)
            return checked();
        if (received == AVERROR_EOF) {
            ended_ = true;
            return nullptr;
        }
        if (received != AVERROR(EAGAIN))
            return fail("the sound cannot be decoded");
        if (draining_)
            return fail("the decoder stopped before its end");
        const int read = av_read_frame(format_, packet_);
        if (read < 0) {
            // The end of the file, or a damaged tail: either way what decoded so far is the sound.
            draining_ = true;
            avcodec_send_packet(codec_, nullptr);
            continue;
        }
        if (packet_->stream_index == stream_ && avcodec_send_packet(codec_, packet_) < 0 && ++badPackets_ > kMaxBadPackets) {
            av_packet_unref(packet_);
            return fail("too many damaged packets");
        }
        av_packet_unref(packet_);
    }
}

} // namespace hx

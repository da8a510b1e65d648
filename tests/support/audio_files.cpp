#include "support/audio_files.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
}

#include <cmath>
#include <memory>

namespace {

// Each kind of file by FFmpeg's names: its muxer and its encoder.
struct Kind {
    const char* container;
    const char* muxer;
    const char* encoder;
};
constexpr Kind kKinds[] = {{"wav", "wav", "pcm_s16le"}, {"flac", "flac", "flac"}, {"mp3", "mp3", "libmp3lame"},
                           {"ogg", "ogg", "libvorbis"}, {"opus", "ogg", "libopus"},  {"m4a", "ipod", "aac"},
                           {"wma", "asf", "wmav2"}};

const Kind* kindOf(const std::string& container)
{
    for (const Kind& kind : kKinds)
        if (container == kind.container)
            return &kind;
    return nullptr;
}

double waveAt(const Tone& tone, double t)
{
    if (tone.wave == "drums") {
        const double since = std::fmod(t, 0.25);
        return tone.amplitude * std::exp(-since / 0.025) * std::sin(2 * M_PI * tone.frequency * since + M_PI / 2);
    }
    return tone.amplitude * std::sin(2 * M_PI * tone.frequency * t);
}

// The first sample format the encoder takes among those this writer fills.
AVSampleFormat formatFor(const AVCodec* codec)
{
    for (const AVSampleFormat* f = codec->sample_fmts; f && *f != AV_SAMPLE_FMT_NONE; ++f)
        if (*f == AV_SAMPLE_FMT_S16 || *f == AV_SAMPLE_FMT_S16P || *f == AV_SAMPLE_FMT_FLTP || *f == AV_SAMPLE_FMT_FLT)
            return *f;
    return AV_SAMPLE_FMT_NONE;
}

void put(AVFrame* frame, int channel, int i, double value)
{
    const auto format = static_cast<AVSampleFormat>(frame->format);
    const int channels = frame->ch_layout.nb_channels;
    switch (format) {
    case AV_SAMPLE_FMT_S16:
        reinterpret_cast<int16_t*>(frame->data[0])[i * channels + channel] = static_cast<int16_t>(std::lround(value * 32767));
        break;
    case AV_SAMPLE_FMT_S16P:
        reinterpret_cast<int16_t*>(frame->extended_data[channel])[i] = static_cast<int16_t>(std::lround(value * 32767));
        break;
    case AV_SAMPLE_FMT_FLT:
        reinterpret_cast<float*>(frame->data[0])[i * channels + channel] = static_cast<float>(value);
        break;
    default:
        reinterpret_cast<float*>(frame->extended_data[channel])[i] = static_cast<float>(value);
        break;
    }
}

struct Writer {
    AVFormatContext* format = nullptr;
    AVCodecContext* codec = nullptr;
    AVFrame* frame = nullptr;
    AVPacket* packet = nullptr;
    bool opened = false;
    ~Writer()
    {
        av_frame_free(&frame);
        av_packet_free(&packet);
        avcodec_free_context(&codec);
        if (format && opened)
            avio_closep(&format->pb);
        avformat_free_context(format);
    }
    bool drain(AVStream* stream)
    {
        while (avcodec_receive_packet(codec, packet) == 0) {
            av_packet_rescale_ts(packet, codec->time_base, stream->time_base);
            packet->stream_index = stream->index;
            if (av_interleaved_write_frame(format, packet) < 0)
                return false;
        }
        return true;
    }
};

} // namespace

Tone drumLoop(const std::string& container, double seconds, double amplitude)
{
    Tone drums;
    drums.container = container;
    drums.rate = 48000;
    drums.seconds = seconds;
    drums.frequency = 80;
    drums.amplitude = amplitude;
    drums.wave = "drums";
    return drums;
}

std::string writeTone(const std::string& path, const Tone& tone)
{
    Writer w;
    const Kind* kind = kindOf(tone.container);
    if (!kind || avformat_alloc_output_context2(&w.format, nullptr, kind->muxer, path.c_str()) < 0)
        return "no muxer for " + tone.container;
    const AVCodec* encoder = avcodec_find_encoder_by_name(kind->encoder);
    if (!encoder)
        return std::string("no encoder ") + kind->encoder;
    AVStream* stream = avformat_new_stream(w.format, nullptr);
    w.codec = avcodec_alloc_context3(encoder);
    w.codec->sample_rate = tone.rate;
    av_channel_layout_default(&w.codec->ch_layout, tone.channels);
    w.codec->sample_fmt = formatFor(encoder);
    w.codec->time_base = {1, tone.rate};
    if (tone.container != "wav" && tone.container != "flac")
        w.codec->bit_rate = 128000;
    if (w.format->oformat->flags & AVFMT_GLOBALHEADER)
        w.codec->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    if (avcodec_open2(w.codec, encoder, nullptr) < 0)
        return "cannot open the encoder";
    avcodec_parameters_from_context(stream->codecpar, w.codec);
    stream->time_base = w.codec->time_base;
    if (!tone.title.empty()) {
        av_dict_set(&w.format->metadata, "title", tone.title.c_str(), 0);
        av_dict_set(&stream->metadata, "title", tone.title.c_str(), 0);
    }
    if (avio_open(&w.format->pb, path.c_str(), AVIO_FLAG_WRITE) < 0)
        return "cannot write " + path;
    w.opened = true;
    if (avformat_write_header(w.format, nullptr) < 0)
        return "cannot write the header";
    w.frame = av_frame_alloc();
    w.packet = av_packet_alloc();
    const int block = w.codec->frame_size > 0 ? w.codec->frame_size : 1024;
    const auto total = static_cast<int64_t>(std::llround(tone.seconds * tone.rate));
    for (int64_t done = 0; done < total; done += block) {
        av_frame_unref(w.frame);
        w.frame->nb_samples = static_cast<int>(std::min<int64_t>(block, total - done));
        w.frame->format = w.codec->sample_fmt;
        w.frame->sample_rate = tone.rate;
        av_channel_layout_copy(&w.frame->ch_layout, &w.codec->ch_layout);
        if (av_frame_get_buffer(w.frame, 0) < 0)
            return "out of memory";
        for (int i = 0; i < w.frame->nb_samples; ++i) {
            const double t = static_cast<double>(done + i) / tone.rate;
            for (int c = 0; c < tone.channels; ++c)
                put(w.frame, c, i, waveAt(tone, t));
        }
        w.frame->pts = done;
        if (avcodec_send_frame(w.codec, w.frame) < 0 || !w.drain(stream))
            return "cannot encode";
    }
    avcodec_send_frame(w.codec, nullptr);
    if (!w.drain(stream) || av_write_trailer(w.format) < 0)
        return "cannot finish " + path;
    return {};
}

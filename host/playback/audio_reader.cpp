#include "playback/audio_reader.h"

#include "hxhost/video_file.h"
#include "playback/ffmpeg_quiet.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
}

#include <algorithm>
#include <cstring>

namespace hx {

struct AudioReader::Decoder {
    AVFormatContext* input = nullptr;
    AVCodecContext* codec = nullptr;
    SwrContext* resampler = nullptr;
    AVPacket* packet = nullptr;
    AVFrame* frame = nullptr;
    int stream = -1;
    bool drained = false;     // the decoder has given its last frame
    bool flushed = false;     // the resampler has given its last samples
    std::vector<float> ready; // converted samples not yet read
    size_t readyStart = 0;

    ~Decoder()
    {
        swr_free(&resampler);
        av_frame_free(&frame);
        av_packet_free(&packet);
        avcodec_free_context(&codec);
        avformat_close_input(&input);
    }

    // Converts what the resampler gives for `in` (null: its tail) onto the ready samples.
    bool convert(const uint8_t** in, int count)
    {
        const int room = swr_get_out_samples(resampler, count);
        if (room < 0)
            return false;
        const size_t kept = ready.size() - readyStart;
        std::memmove(ready.data(), ready.data() + readyStart, kept * sizeof(float));
        ready.resize(kept + static_cast<size_t>(room) * hxhost::kAudioChannels);
        readyStart = 0;
        auto* out = reinterpret_cast<uint8_t*>(ready.data() + kept);
        const int made = swr_convert(resampler, &out, room, in, count);
        if (made < 0)
            return false;
        ready.resize(kept + static_cast<size_t>(made) * hxhost::kAudioChannels);
        return true;
    }

    // More samples onto `ready`; false at the end or on an error (`failed` set).
    bool decodeMore(bool& failed)
    {
        while (!drained) {
            int code = avcodec_receive_frame(codec, frame);
            if (code == 0) {
                const bool ok = convert(const_cast<const uint8_t**>(frame->extended_data), frame->nb_samples);
                av_frame_unref(frame);
                if (!ok)
                    return !(failed = true);
                return true;
            }
            if (code == AVERROR_EOF) {
                drained = true;
                break;
            }
            if (code != AVERROR(EAGAIN))
                return !(failed = true);
            code = av_read_frame(input, packet);
            if (code < 0) {
                avcodec_send_packet(codec, nullptr);
                continue;
            }
            if (packet->stream_index == stream)
                code = avcodec_send_packet(codec, packet);
            av_packet_unref(packet);
            // A damaged packet is skipped, as players do; the next one decodes on.
            (void)code;
        }
        if (flushed)
            return false;
        flushed = true;
        if (!convert(nullptr, 0))
            return !(failed = true);
        return ready.size() > readyStart;
    }
};

AudioReader::AudioReader(std::unique_ptr<Decoder> decoder) : decoder_(std::move(decoder)) {}
AudioReader::~AudioReader() = default;

std::unique_ptr<AudioReader> AudioReader::open(const std::string& path, std::string* error)
{
    auto fail = [&](const std::string& why) -> std::unique_ptr<AudioReader> {
        if (error)
            *error = path + ": " + why;
        return nullptr;
    };
    hx::quietFfmpeg();
    auto d = std::make_unique<Decoder>();
    if (avformat_open_input(&d->input, path.c_str(), nullptr, nullptr) < 0)
        return fail("cannot open the sound file");
    if (avformat_find_stream_info(d->input, nullptr) < 0)
        return fail("cannot read the sound file");
    const AVCodec* codec = nullptr;
    d->stream = av_find_best_stream(d->input, AVMEDIA_TYPE_AUDIO, -1, -1, &codec, 0);
    if (d->stream < 0 || !codec)
        return fail("no sound in the file");
    d->codec = avcodec_alloc_context3(codec);
    if (!d->codec || avcodec_parameters_to_context(d->codec, d->input->streams[d->stream]->codecpar) < 0 ||
        avcodec_open2(d->codec, codec, nullptr) < 0)
        return fail("cannot decode the sound");
    if (d->codec->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC)
        av_channel_layout_default(&d->codec->ch_layout, d->codec->ch_layout.nb_channels);
    AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
    if (d->codec->sample_rate <= 0 || d->codec->ch_layout.nb_channels <= 0 ||
        swr_alloc_set_opts2(&d->resampler, &stereo, AV_SAMPLE_FMT_FLT, hxhost::kAudioRate, &d->codec->ch_layout,
                            d->codec->sample_fmt, d->codec->sample_rate, 0, nullptr) < 0 ||
        swr_init(d->resampler) < 0)
        return fail("cannot convert the sound to 48 kHz stereo");
    d->packet = av_packet_alloc();
    d->frame = av_frame_alloc();
    if (!d->packet || !d->frame)
        return fail("out of memory");
    return std::unique_ptr<AudioReader>(new AudioReader(std::move(d)));
}

long AudioReader::read(float* out, size_t sampleFrames)
{
    Decoder& d = *decoder_;
    size_t done = 0;
    bool failed = false;
    while (done < sampleFrames) {
        const size_t available = (d.ready.size() - d.readyStart) / hxhost::kAudioChannels;
        if (available == 0) {
            if (!d.decodeMore(failed))
                break;
            continue;
        }
        const size_t take = std::min(available, sampleFrames - done);
        std::memcpy(out + done * hxhost::kAudioChannels, d.ready.data() + d.readyStart,
                    take * hxhost::kAudioChannels * sizeof(float));
        d.readyStart += take * hxhost::kAudioChannels;
        done += take;
    }
    return failed ? -1 : static_cast<long>(done);
}

bool readWholeSound(const std::string& path, size_t maxSampleFrames, std::vector<float>& samples, std::string* error)
{
    std::unique_ptr<AudioReader> reader = AudioReader::open(path, error);
    if (!reader)
        return false;
    samples.clear();
    constexpr size_t kChunk = 8192;
    while (samples.size() / hxhost::kAudioChannels < maxSampleFrames) {
        const size_t start = samples.size();
        const size_t want = std::min(kChunk, maxSampleFrames - start / hxhost::kAudioChannels);
        samples.resize(start + want * hxhost::kAudioChannels);
        const long got = reader->read(samples.data() + start, want);
        if (got < 0) {
            if (error)
                *error = path + ": the sound cannot be decoded";
            return false;
        }
        samples.resize(start + static_cast<size_t>(got) * hxhost::kAudioChannels);
        if (static_cast<size_t>(got) < want)
            break;
    }
    return true;
}

} // namespace hx

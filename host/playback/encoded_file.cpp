// MP4 and MKV through the FFmpeg libraries: H.264 coded interlaced with AAC for playing anywhere,
// FFV1 with FLAC for editing on without loss. Both carry the field order and the sample aspect.
#include "playback/encoder_module.h"

#include "playback/part_file.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/audio_fifo.h>
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
}

#include <algorithm>
#include <cmath>
#include <cstring>
#include <set>
#include <unistd.h>
#include <vector>

namespace {

std::string averror(int code)
{
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
}

class EncodedFile final : public hxhost::VideoFile {
public:
    EncodedFile(const std::string& path, const hxhost::VideoFileFormat& format, hx::Container container)
        : VideoFile(format), container_(container), part_(path)
    {
    }

    ~EncodedFile() override
    {
        if (output_ && output_->pb)
            avio_closep(&output_->pb);
        avformat_free_context(output_);
        avcodec_free_context(&video_);
        avcodec_free_context(&audio_);
        av_frame_free(&picture_);
        av_frame_free(&sound_);
        av_packet_free(&packet_);
        if (fifo_)
            av_audio_fifo_free(fifo_);
    }

    // The container and its encoders, without the file: settings they refuse are known before any work.
    bool openEncoders(std::string* error)
    {
        const bool mp4 = container_ == hx::Container::Mp4;
        if (avformat_alloc_output_context2(&output_, nullptr, mp4 ? "mp4" : "matroska", nullptr) < 0)
            return fail(error, "cannot make a container for " + part_.path());
        return openVideo(mp4, error) && openAudio(mp4, error);
    }

    bool open(std::string* error)
    {
        const int part = part_.create(error);
        if (part < 0)
            return false;
        close(part); // FFmpeg writes it by name
        if (!openEncoders(error))
            return false;
        packet_ = av_packet_alloc();
        picture_ = av_frame_alloc();
        sound_ = av_frame_alloc();
        fifo_ = av_audio_fifo_alloc(audio_->sample_fmt, hxhost::kAudioChannels, audioFrameSize());
        if (!packet_ || !picture_ || !sound_ || !fifo_)
            return fail(error, "out of memory");
        picture_->format = AV_PIX_FMT_YUV420P;
        picture_->width = format_.width;
        picture_->height = format_.height;
        if (av_frame_get_buffer(picture_, 0) < 0)
            return fail(error, "out of memory");
        // The muxer opens the file again by this name to move the index to the front.
        av_free(output_->url);
        output_->url = av_strdup(("file:" + part_.part()).c_str());
        if (!output_->url)
            return fail(error, "out of memory");
        int code = avio_open(&output_->pb, output_->url, AVIO_FLAG_WRITE);
        if (code < 0)
            return fail(error, "cannot write " + part_.part() + ": " + averror(code));
        AVDictionary* options = nullptr;
        if (container_ == hx::Container::Mp4)
            av_dict_set(&options, "movflags", "+faststart", 0); // plays while it downloads
        code = avformat_write_header(output_, &options);
        av_dict_free(&options);
        if (code < 0)
            return fail(error, "cannot write " + part_.part() + ": " + averror(code));
        return true;
    }

    bool addWovenFrame(const hxhost::WovenFrame& frame, std::string* error) override
    {
        if (av_frame_make_writable(picture_) < 0)
            return fail(error, "out of memory");
        const uint8_t* from = frame.planes.data();
        for (int p = 0; p < 3; ++p) {
            const int width = p ? format_.width / 2 : format_.width, height = p ? format_.height / 2 : format_.height;
            for (int row = 0; row < height; ++row, from += width)
                std::memcpy(picture_->data[p] + static_cast<ptrdiff_t>(row) * picture_->linesize[p], from,
                            static_cast<size_t>(width));
        }
        picture_->pts = frames_++;
        picture_->interlaced_frame = 1;
        picture_->top_field_first = format_.bottomFirst ? 0 : 1;
        return encode(video_, videoStream_, picture_, error);
    }

    bool addAudio(const float* samples, size_t sampleFrames, std::string* error) override
    {
        convertSamples(samples, sampleFrames);
        void* planes[2] = {staging_[0].data(), staging_[1].data()};
        if (av_audio_fifo_write(fifo_, planes, static_cast<int>(sampleFrames)) < static_cast<int>(sampleFrames))
            return fail(error, "out of memory");
        while (av_audio_fifo_size(fifo_) >= audioFrameSize())
            if (!encodeSound(audioFrameSize(), error))
                return false;
        return true;
    }

    bool finish(std::string* error) override
    {
        if (av_audio_fifo_size(fifo_) > 0 && !encodeSound(av_audio_fifo_size(fifo_), error))
            return false;
        if (!encode(video_, videoStream_, nullptr, error) || !encode(audio_, audioStream_, nullptr, error))
            return false;
        const int code = av_write_trailer(output_);
        if (code < 0)
            return fail(error, "cannot finish " + part_.part() + ": " + averror(code));
        if (avio_closep(&output_->pb) < 0)
            return fail(error, "cannot write " + part_.part());
        return part_.commit(error);
    }

private:
    static bool fail(std::string* error, const std::string& why)
    {
        if (error)
            *error = why;
        return false;
    }

    bool openVideo(bool mp4, std::string* error)
    {
        const AVCodec* codec = avcodec_find_encoder_by_name(mp4 ? "libx264" : "ffv1");
        if (!codec || !(video_ = avcodec_alloc_context3(codec)))
            return fail(error, std::string("no ") + (mp4 ? "H.264" : "FFV1") + " encoder");
        int32_t n = 1, d = 1;
        hxhost::sampleAspectRatio(format_.pixelAspect, &n, &d);
        video_->width = format_.width;
        video_->height = format_.height;
        video_->pix_fmt = AV_PIX_FMT_YUV420P;
        video_->time_base = {1, format_.framesPerSecond};
        video_->framerate = {format_.framesPerSecond, 1};
        video_->sample_aspect_ratio = {n, d};
        video_->field_order = format_.bottomFirst ? AV_FIELD_BB : AV_FIELD_TT;
        video_->color_range = AVCOL_RANGE_MPEG;
        video_->color_primaries = format_.highDefinition ? AVCOL_PRI_BT709 : AVCOL_PRI_BT470BG;
        video_->color_trc = format_.highDefinition ? AVCOL_TRC_BT709 : AVCOL_TRC_SMPTE170M;
        video_->colorspace = format_.highDefinition ? AVCOL_SPC_BT709 : AVCOL_SPC_BT470BG;
        video_->thread_count = format_.encoderThreads;
        if (mp4) {
            // Field pictures: each field is coded as its own picture where that is better.
            video_->flags |= AV_CODEC_FLAG_INTERLACED_DCT | AV_CODEC_FLAG_INTERLACED_ME;
            av_opt_set(video_->priv_data, "preset", format_.x264Preset.c_str(), 0);
            // The field order also goes into every picture's timing message, where players look for it.
            av_opt_set(video_->priv_data, "x264-params", format_.bottomFirst ? "bff=1:pic-struct=1" : "tff=1:pic-struct=1", 0);
            av_opt_set_int(video_->priv_data, "crf", format_.x264Crf, 0);
            video_->gop_size = 2 * format_.framesPerSecond;
        } else {
            video_->level = 3; // slices, so the encoder can use threads
            video_->gop_size = 1;
        }
        return openStream(video_, videoStream_, "video", error);
    }

    bool openAudio(bool mp4, std::string* error)
    {
        const AVCodec* codec = avcodec_find_encoder(mp4 ? AV_CODEC_ID_AAC : AV_CODEC_ID_FLAC);
        if (!codec || !(audio_ = avcodec_alloc_context3(codec)))
            return fail(error, std::string("no ") + (mp4 ? "AAC" : "FLAC") + " encoder");
        audio_->sample_rate = hxhost::kAudioRate;
        audio_->sample_fmt = mp4 ? AV_SAMPLE_FMT_FLTP : AV_SAMPLE_FMT_S16;
        audio_->time_base = {1, hxhost::kAudioRate};
        av_channel_layout_default(&audio_->ch_layout, hxhost::kAudioChannels);
        if (mp4)
            audio_->bit_rate = 192000;
        return openStream(audio_, audioStream_, "audio", error);
    }

    bool openStream(AVCodecContext* context, AVStream*& stream, const char* what, std::string* error)
    {
        if (output_->oformat->flags & AVFMT_GLOBALHEADER)
            context->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
        int code = avcodec_open2(context, context->codec, nullptr);
        if (code < 0)
            return fail(error, std::string("cannot open the ") + what + " encoder: " + averror(code));
        stream = avformat_new_stream(output_, nullptr);
        if (!stream || avcodec_parameters_from_context(stream->codecpar, context) < 0)
            return fail(error, "out of memory");
        stream->time_base = context->time_base;
        stream->sample_aspect_ratio = context->sample_aspect_ratio;
        return true;
    }

    int audioFrameSize() const { return audio_->frame_size > 0 ? audio_->frame_size : 1024; }

    // Interleaved floats into the encoder's layout: two float planes, or interleaved 16-bit.
    void convertSamples(const float* samples, size_t sampleFrames)
    {
        if (audio_->sample_fmt == AV_SAMPLE_FMT_FLTP) {
            for (auto& plane : staging_)
                plane.resize(sampleFrames * sizeof(float));
            auto* left = reinterpret_cast<float*>(staging_[0].data());
            auto* right = reinterpret_cast<float*>(staging_[1].data());
            for (size_t i = 0; i < sampleFrames; ++i) {
                left[i] = samples[2 * i];
                right[i] = samples[2 * i + 1];
            }
            return;
        }
        staging_[0].resize(sampleFrames * 2 * sizeof(int16_t));
        auto* out = reinterpret_cast<int16_t*>(staging_[0].data());
        for (size_t i = 0; i < 2 * sampleFrames; ++i)
            out[i] = static_cast<int16_t>(std::lround(std::clamp(samples[i], -1.0f, 1.0f) * 32767.0f));
    }

    bool encodeSound(int count, std::string* error)
    {
        av_frame_unref(sound_);
        sound_->nb_samples = count;
        sound_->format = audio_->sample_fmt;
        sound_->sample_rate = hxhost::kAudioRate;
        if (av_channel_layout_copy(&sound_->ch_layout, &audio_->ch_layout) < 0 || av_frame_get_buffer(sound_, 0) < 0)
            return fail(error, "out of memory");
        av_audio_fifo_read(fifo_, reinterpret_cast<void**>(sound_->data), count);
        sound_->pts = samples_;
        samples_ += count;
        return encode(audio_, audioStream_, sound_, error);
    }

    // Sends a frame (null: the end) and writes every packet the encoder hands back.
    bool encode(AVCodecContext* context, AVStream* stream, AVFrame* frame, std::string* error)
    {
        int code = avcodec_send_frame(context, frame);
        if (code < 0)
            return fail(error, "the encoder refused a frame: " + averror(code));
        while ((code = avcodec_receive_packet(context, packet_)) == 0) {
            // Every picture lasts one frame; MP4 otherwise gives the last one no time and players drop it.
            if (context == video_)
                packet_->duration = 1;
            av_packet_rescale_ts(packet_, context->time_base, stream->time_base);
            packet_->stream_index = stream->index;
            code = av_interleaved_write_frame(output_, packet_);
            if (code < 0)
                return fail(error, "cannot write " + part_.part() + ": " + averror(code));
        }
        if (code != AVERROR(EAGAIN) && code != AVERROR_EOF)
            return fail(error, "the encoder failed: " + averror(code));
        return true;
    }

    hx::Container container_;
    hx::PartFile part_;
    AVFormatContext* output_ = nullptr;
    AVCodecContext* video_ = nullptr;
    AVCodecContext* audio_ = nullptr;
    AVStream* videoStream_ = nullptr;
    AVStream* audioStream_ = nullptr;
    AVFrame* picture_ = nullptr;
    AVFrame* sound_ = nullptr;
    AVPacket* packet_ = nullptr;
    AVAudioFifo* fifo_ = nullptr;
    std::vector<uint8_t> staging_[2];
    int64_t frames_ = 0, samples_ = 0;
};

std::unique_ptr<hxhost::VideoFile> openEncodedFile(const std::string& path, const hxhost::VideoFileFormat& format,
                                                   hx::Container container, std::string* error)
{
    auto file = std::make_unique<EncodedFile>(path, format, container);
    if (!file->open(error))
        return nullptr;
    return file;
}

bool checkEncoders(const hxhost::VideoFileFormat& format, hx::Container container, std::string* error)
{
    // x264's own presets (x264_preset_names): asked for another, it would print its own complaint.
    static const std::set<std::string> kPresets = {"ultrafast", "superfast", "veryfast", "faster", "fast",
                                                   "medium", "slow", "slower", "veryslow", "placebo"};
    if (container == hx::Container::Mp4 && !kPresets.count(format.x264Preset)) {
        if (error)
            *error = "the H.264 encoder has no preset '" + format.x264Preset +
                     "' (ultrafast, superfast, veryfast, faster, fast, medium, slow, slower, veryslow or placebo)";
        return false;
    }
    return EncodedFile("", format, container).openEncoders(error);
}

} // namespace

HX_MODULE_TABLE const hx::EncoderModule hxEncoderModule = {openEncodedFile, checkEncoders};

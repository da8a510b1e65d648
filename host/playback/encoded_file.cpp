// MP4, MKV and WebM through the FFmpeg libraries: H.264 (interlaced or progressive), HEVC or AV1 with
// AAC for playing anywhere, VP9 or AV1 with Opus for browsers, FFV1 with FLAC for editing on without
// loss. Each carries the scan, the rate, the sample aspect and the colours.
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
#include <cstdlib>
#include <cstring>
#include <unistd.h>
#include <vector>

namespace {

// The H.264 levels a progressive file may take, lowest first: the most macroblocks a frame and a
// second, and the High profile's bit rate in kbit/s.
struct H264Level {
    int idc;
    int64_t frameBlocks;
    int64_t blocksPerSecond;
    int64_t maxKbps;
};
constexpr H264Level kH264Levels[] = {{31, 3600, 108000, 17500},  {32, 5120, 216000, 25000},
                                     {41, 8192, 245760, 62500},  {42, 8704, 522240, 62500},
                                     {51, 36864, 983040, 300000}, {52, 36864, 2073600, 300000}};

H264Level h264LevelOf(int width, int height, int framesPerSecond)
{
    const int64_t across = (width + 15) / 16, down = (height + 15) / 16, blocks = across * down;
    for (const H264Level& level : kH264Levels) {
        // Neither side may be longer than the square root of eight frames' worth of blocks.
        const bool sidesFit = across * across <= 8 * level.frameBlocks && down * down <= 8 * level.frameBlocks;
        if (sidesFit && blocks <= level.frameBlocks && blocks * framesPerSecond <= level.blocksPerSecond)
            return level;
    }
    return kH264Levels[std::size(kH264Levels) - 1];
}

std::string averror(int code)
{
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
}

class EncodedFile final : public hxhost::VideoFile {
public:
    EncodedFile(const std::string& path, const hxhost::VideoFileFormat& format, hx::Container container,
                const hx::ChosenEncoder& encoder)
        : VideoFile(format), container_(container), encoder_(encoder), part_(path)
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
        const char* muxer = mp4 ? "mp4" : container_ == hx::Container::WebM ? "webm" : "matroska";
        if (avformat_alloc_output_context2(&output_, nullptr, muxer, nullptr) < 0)
            return fail(error, "cannot make a container for " + part_.path());
        return openVideo(error) && openAudio(error);
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
        picture_->interlaced_frame = format_.progressive ? 0 : 1;
        picture_->top_field_first = format_.progressive || format_.bottomFirst ? 0 : 1;
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

    bool openVideo(std::string* error)
    {
        const AVCodec* codec = avcodec_find_encoder_by_name(encoder_.library.c_str());
        if (!codec || !(video_ = avcodec_alloc_context3(codec)))
            return fail(error, "no " + encoder_.library + " encoder in this FFmpeg");
        int32_t n = 1, d = 1;
        hxhost::sampleAspectRatio(format_.pixelAspect, &n, &d);
        video_->width = format_.width;
        video_->height = format_.height;
        video_->pix_fmt = AV_PIX_FMT_YUV420P;
        // A 1001 rate counts time in 1001ths of a second over the whole rate.
        video_->time_base = format_.fractionalRate ? AVRational{1001, 1000 * format_.framesPerSecond}
                                                   : AVRational{1, format_.framesPerSecond};
        video_->framerate = av_inv_q(video_->time_base);
        video_->sample_aspect_ratio = {n, d};
        video_->field_order = format_.progressive ? AV_FIELD_PROGRESSIVE : format_.bottomFirst ? AV_FIELD_BB : AV_FIELD_TT;
        video_->color_range = AVCOL_RANGE_MPEG;
        // Standard definition's primaries are those of its line system: 525 lines (480 shown) or 625.
        const bool lines525 = !format_.highDefinition && format_.height == 480;
        video_->color_primaries = format_.highDefinition ? AVCOL_PRI_BT709
                                  : lines525             ? AVCOL_PRI_SMPTE170M
                                                         : AVCOL_PRI_BT470BG;
        video_->color_trc = format_.highDefinition ? AVCOL_TRC_BT709 : AVCOL_TRC_SMPTE170M;
        video_->colorspace = format_.highDefinition ? AVCOL_SPC_BT709
                             : lines525             ? AVCOL_SPC_SMPTE170M
                                                    : AVCOL_SPC_BT470BG;
        video_->thread_count = encoder_.threads > 0 ? encoder_.threads : format_.encoderThreads;
        video_->gop_size = 2 * format_.framesPerSecond;
        if (encoder_.codec == "ffv1") {
            video_->level = 3; // slices, so the encoder can use threads
            video_->gop_size = 1;
        } else if (encoder_.codec == "h264") {
            setH264(video_);
        } else if (encoder_.codec == "hevc") {
            av_opt_set(video_->priv_data, "preset", encoder_.preset.c_str(), 0);
            av_opt_set_int(video_->priv_data, "crf", encoder_.quality, 0);
            av_opt_set(video_->priv_data, "x265-params", "log-level=error", 0);
        } else if (encoder_.codec == "av1") {
            // The encoder reports its whole configuration on standard error unless told to keep to errors.
            setenv("SVT_LOG", "2", 0);
            av_opt_set_int(video_->priv_data, "preset", std::stoi(encoder_.preset), 0);
            av_opt_set_int(video_->priv_data, "crf", encoder_.quality, 0);
        } else {
            // VP9 at constant quality: no target bit rate, rows coded side by side.
            video_->bit_rate = 0;
            av_opt_set_int(video_->priv_data, "crf", encoder_.quality, 0);
            av_opt_set_int(video_->priv_data, "cpu-used", std::stoi(encoder_.preset), 0);
            av_opt_set(video_->priv_data, "deadline", "good", 0);
            av_opt_set_int(video_->priv_data, "row-mt", 1, 0);
        }
        if (!openStream(video_, videoStream_, "video", error))
            return false;
        // Players that know HEVC in MP4 look for this tag; the muxer's own would be hev1.
        if (encoder_.codec == "hevc" && container_ == hx::Container::Mp4)
            videoStream_->codecpar->codec_tag = MKTAG('h', 'v', 'c', '1');
        return true;
    }

    void setH264(AVCodecContext* context) const
    {
        av_opt_set(context->priv_data, "preset", encoder_.preset.c_str(), 0);
        av_opt_set_int(context->priv_data, "crf", encoder_.quality, 0);
        av_opt_set(context->priv_data, "profile", "high", 0);
        if (encoder_.lookahead > 0)
            av_opt_set_int(context->priv_data, "rc-lookahead", encoder_.lookahead, 0);
        std::string params;
        if (!format_.progressive) {
            // Field pictures: each field is coded as its own picture where that is better.
            context->flags |= AV_CODEC_FLAG_INTERLACED_DCT | AV_CODEC_FLAG_INTERLACED_ME;
            // The field order also goes into every picture's timing message, where players look for it.
            params = format_.bottomFirst ? "bff=1:pic-struct=1" : "tff=1:pic-struct=1";
        } else {
            // Phones' decoders refuse streams above the level they were built for: the lowest level
            // that fits the frame and rate, and a bit rate held within it.
            const H264Level level = h264LevelOf(format_.width, format_.height, format_.framesPerSecond);
            params = "level=" + std::to_string(level.idc / 10) + "." + std::to_string(level.idc % 10) +
                     ":vbv-maxrate=" + std::to_string(level.maxKbps) + ":vbv-bufsize=" + std::to_string(level.maxKbps);
        }
        // Threads on a picture each look ahead in the caller's thread. Otherwise the look-ahead has a
        // thread of its own with the encoder's own buffer, a frame a thread and a B-frame: with a buffer
        // of one frame the encoding threads waited on it (600 frames at 1080p, two cores: 16.3 against
        // 13.4 s).
        if (encoder_.slicedThreads)
            params += ":sliced-threads=1:sync-lookahead=0";
        av_opt_set(context->priv_data, "x264-params", params.c_str(), 0);
    }

    bool openAudio(std::string* error)
    {
        const AVCodecID id = container_ == hx::Container::Mp4    ? AV_CODEC_ID_AAC
                             : container_ == hx::Container::WebM ? AV_CODEC_ID_OPUS
                                                                 : AV_CODEC_ID_FLAC;
        const AVCodec* codec = id == AV_CODEC_ID_OPUS ? avcodec_find_encoder_by_name("libopus") : avcodec_find_encoder(id);
        if (!codec || !(audio_ = avcodec_alloc_context3(codec)))
            return fail(error, std::string("no ") + avcodec_get_name(id) + " encoder");
        audio_->sample_rate = hxhost::kAudioRate;
        audio_->sample_fmt = id == AV_CODEC_ID_AAC ? AV_SAMPLE_FMT_FLTP : id == AV_CODEC_ID_OPUS ? AV_SAMPLE_FMT_FLT : AV_SAMPLE_FMT_S16;
        audio_->time_base = {1, hxhost::kAudioRate};
        av_channel_layout_default(&audio_->ch_layout, hxhost::kAudioChannels);
        if (id != AV_CODEC_ID_FLAC)
            audio_->bit_rate = id == AV_CODEC_ID_AAC ? 192000 : 160000;
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

    // Interleaved floats into the encoder's layout: as they are, two float planes, or interleaved 16-bit.
    void convertSamples(const float* samples, size_t sampleFrames)
    {
        if (audio_->sample_fmt == AV_SAMPLE_FMT_FLT) {
            staging_[0].resize(sampleFrames * 2 * sizeof(float));
            std::memcpy(staging_[0].data(), samples, staging_[0].size());
            return;
        }
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
    hx::ChosenEncoder encoder_;
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
                                                   hx::Container container, const hx::ChosenEncoder& encoder,
                                                   std::string* error)
{
    auto file = std::make_unique<EncodedFile>(path, format, container, encoder);
    if (!file->open(error))
        return nullptr;
    return file;
}

bool checkEncoders(const hxhost::VideoFileFormat& format, hx::Container container, const hx::ChosenEncoder& encoder,
                   std::string* error)
{
    return EncodedFile("", format, container, encoder).openEncoders(error);
}

} // namespace

HX_MODULE_TABLE const hx::EncoderModule hxEncoderModule = {openEncodedFile, checkEncoders};

#include "support/media_probe.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/pixdesc.h>
}

#include <cstdlib>
#include <fstream>
#include <functional>

namespace {

// Decodes the stream of `type`, handing each frame to `onFrame`; false when there is none.
bool decodeStream(const std::string& path, AVMediaType type, const std::function<void(const AVFrame&)>& onFrame,
                  MediaInfo* info = nullptr)
{
    AVFormatContext* input = nullptr;
    if (avformat_open_input(&input, path.c_str(), nullptr, nullptr) < 0)
        return false;
    bool ok = false;
    const AVCodec* codec = nullptr;
    AVCodecContext* context = nullptr;
    AVPacket* packet = av_packet_alloc();
    AVFrame* frame = av_frame_alloc();
    const int index = avformat_find_stream_info(input, nullptr) >= 0
                          ? av_find_best_stream(input, type, -1, -1, &codec, 0) : -1;
    if (index >= 0 && codec && (context = avcodec_alloc_context3(codec)) &&
        avcodec_parameters_to_context(context, input->streams[index]->codecpar) >= 0 &&
        avcodec_open2(context, codec, nullptr) >= 0) {
        ok = true;
        if (info) {
            const AVStream* stream = input->streams[index];
            info->durationSeconds = input->duration > 0 ? input->duration / static_cast<double>(AV_TIME_BASE) : 0;
            if (type == AVMEDIA_TYPE_VIDEO) {
                info->videoCodec = codec->name;
                info->width = stream->codecpar->width;
                info->height = stream->codecpar->height;
                info->timeBaseNumerator = stream->time_base.num;
                info->timeBaseDenominator = stream->time_base.den;
                const AVCodecParameters& p = *stream->codecpar;
                const char* pixels = av_get_pix_fmt_name(static_cast<AVPixelFormat>(p.format));
                info->pixelFormat = pixels ? pixels : "";
                info->colourPrimaries = av_color_primaries_name(p.color_primaries);
                info->colourTransfer = av_color_transfer_name(p.color_trc);
                info->colourSpace = av_color_space_name(p.color_space);
                const char* profile = avcodec_profile_name(p.codec_id, p.profile);
                info->profile = profile ? profile : "";
                info->level = p.level;
                char tag[AV_FOURCC_MAX_STRING_SIZE] = {};
                info->codecTag = p.codec_tag ? av_fourcc_make_string(tag, p.codec_tag) : "";
                info->rateNumerator = stream->avg_frame_rate.num;
                info->rateDenominator = stream->avg_frame_rate.den;
                const AVRational sar = av_guess_sample_aspect_ratio(input, const_cast<AVStream*>(stream), nullptr);
                info->aspectNumerator = sar.num;
                info->aspectDenominator = sar.den;
                switch (stream->codecpar->field_order) {
                case AV_FIELD_TT: info->fieldOrder = "tt"; break;
                case AV_FIELD_BB: info->fieldOrder = "bb"; break;
                case AV_FIELD_PROGRESSIVE: info->fieldOrder = "progressive"; break;
                default: info->fieldOrder = "unknown";
                }
            } else {
                info->audioCodec = codec->name;
                info->audioRate = stream->codecpar->sample_rate;
                info->audioChannels = stream->codecpar->ch_layout.nb_channels;
            }
        }
        auto drain = [&] {
            while (avcodec_receive_frame(context, frame) == 0) {
                onFrame(*frame);
                av_frame_unref(frame);
            }
        };
        while (av_read_frame(input, packet) >= 0) {
            if (packet->stream_index == index && avcodec_send_packet(context, packet) >= 0)
                drain();
            av_packet_unref(packet);
        }
        avcodec_send_packet(context, nullptr);
        drain();
    }
    av_frame_free(&frame);
    av_packet_free(&packet);
    avcodec_free_context(&context);
    avformat_close_input(&input);
    return ok;
}

float sampleAt(const AVFrame& frame, int i, int c = 0)
{
    const int n = frame.ch_layout.nb_channels;
    switch (frame.format) {
    case AV_SAMPLE_FMT_FLTP: return reinterpret_cast<const float*>(frame.extended_data[c])[i];
    case AV_SAMPLE_FMT_FLT: return reinterpret_cast<const float*>(frame.extended_data[0])[i * n + c];
    case AV_SAMPLE_FMT_S16P: return reinterpret_cast<const int16_t*>(frame.extended_data[c])[i] / 32768.0f;
    case AV_SAMPLE_FMT_S16: return reinterpret_cast<const int16_t*>(frame.extended_data[0])[i * n + c] / 32768.0f;
    case AV_SAMPLE_FMT_S32: return reinterpret_cast<const int32_t*>(frame.extended_data[0])[i * n + c] / 2147483648.0f;
    default: return 0;
    }
}

} // namespace

MediaInfo probeMedia(const std::string& path)
{
    MediaInfo info;
    bool interlaced = true, first = true;
    info.opened = decodeStream(path, AVMEDIA_TYPE_VIDEO, [&](const AVFrame& frame) {
        ++info.videoFrames;
        interlaced = interlaced && frame.interlaced_frame;
        info.interlacedFrames += frame.interlaced_frame ? 1 : 0;
        if (first)
            info.topFieldFirst = frame.top_field_first;
        first = false;
    }, &info);
    info.framesInterlaced = info.videoFrames > 0 && interlaced;
    int64_t samples = 0;
    decodeStream(path, AVMEDIA_TYPE_AUDIO, [&](const AVFrame& frame) { samples += frame.nb_samples; }, &info);
    info.audioSeconds = info.audioRate ? samples / static_cast<double>(info.audioRate) : 0;
    return info;
}

std::vector<float> decodedSound(const std::string& path)
{
    std::vector<float> sound;
    decodeStream(path, AVMEDIA_TYPE_AUDIO, [&](const AVFrame& frame) {
        for (int i = 0; i < frame.nb_samples; ++i)
            sound.push_back(sampleAt(frame, i));
    });
    return sound;
}

std::vector<float> decodedStereoSound(const std::string& path)
{
    std::vector<float> sound;
    decodeStream(path, AVMEDIA_TYPE_AUDIO, [&](const AVFrame& frame) {
        const int right = frame.ch_layout.nb_channels > 1 ? 1 : 0;
        for (int i = 0; i < frame.nb_samples; ++i) {
            sound.push_back(sampleAt(frame, i));
            sound.push_back(sampleAt(frame, i, right));
        }
    });
    return sound;
}

std::vector<std::vector<uint8_t>> decodedFrames(const std::string& path)
{
    std::vector<std::vector<uint8_t>> frames;
    decodeStream(path, AVMEDIA_TYPE_VIDEO, [&](const AVFrame& frame) {
        std::vector<uint8_t> planes;
        for (int p = 0; p < 3; ++p) {
            const int w = p ? (frame.width + 1) / 2 : frame.width, h = p ? (frame.height + 1) / 2 : frame.height;
            for (int r = 0; r < h; ++r)
                planes.insert(planes.end(), frame.data[p] + static_cast<ptrdiff_t>(r) * frame.linesize[p],
                              frame.data[p] + static_cast<ptrdiff_t>(r) * frame.linesize[p] + w);
        }
        frames.push_back(std::move(planes));
    });
    return frames;
}

std::vector<std::string> topLevelBoxes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::vector<std::string> boxes;
    in.seekg(0, std::ios::end);
    const auto end = static_cast<uint64_t>(in.tellg());
    uint64_t at = 0;
    while (at + 8 <= end) {
        unsigned char head[16] = {};
        in.seekg(static_cast<std::streamoff>(at));
        if (!in.read(reinterpret_cast<char*>(head), 8))
            break;
        uint64_t size = (uint64_t{head[0]} << 24) | (head[1] << 16) | (head[2] << 8) | head[3];
        if (size == 1 && in.read(reinterpret_cast<char*>(head + 8), 8)) {
            size = 0;
            for (int i = 8; i < 16; ++i)
                size = size << 8 | head[i];
        } else if (size == 0) {
            size = end - at; // to the end of the file
        }
        boxes.emplace_back(reinterpret_cast<const char*>(head + 4), 4);
        if (size < 8)
            break;
        at += size;
    }
    return boxes;
}

int64_t combedFrames(const std::vector<std::vector<uint8_t>>& frames, int width, int height)
{
    constexpr int kStandsOut = 24;
    int64_t combed = 0;
    for (const auto& planes : frames) {
        int64_t marked = 0;
        for (int y = 1; y + 1 < height; ++y)
            for (int x = 0; x < width; ++x) {
                const int above = planes[static_cast<size_t>((y - 1) * width + x)];
                const int here = planes[static_cast<size_t>(y * width + x)];
                const int below = planes[static_cast<size_t>((y + 1) * width + x)];
                if ((here - above > kStandsOut && here - below > kStandsOut) ||
                    (above - here > kStandsOut && below - here > kStandsOut))
                    ++marked;
            }
        combed += marked * 1000 > static_cast<int64_t>(width) * height ? 1 : 0;
    }
    return combed;
}

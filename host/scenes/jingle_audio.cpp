// A jingle is measured by opening it as audio with the FFmpeg libraries.
#include "scenes/storyboard_operators.h"

extern "C" {
#include <libavformat/avformat.h>
}

namespace hx {

std::optional<int64_t> measureJingle(const std::string& path)
{
    AVFormatContext* format = nullptr;
    if (avformat_open_input(&format, path.c_str(), nullptr, nullptr) < 0)
        return std::nullopt;
    std::optional<int64_t> length;
    if (avformat_find_stream_info(format, nullptr) >= 0 &&
        av_find_best_stream(format, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0) >= 0 && format->duration > 0)
        length = format->duration * 1000000 / AV_TIME_BASE;
    avformat_close_input(&format);
    return length;
}

} // namespace hx

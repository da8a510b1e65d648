// The FFmpeg libraries talk about every file they open; the host reports what went wrong itself. Set
// when the media module is loaded, before any of its files is opened.
extern "C" {
#include <libavutil/log.h>
}

namespace {

[[gnu::constructor]] void quietFfmpeg()
{
    av_log_set_level(AV_LOG_FATAL); // errors too: "Format not on whitelist" and the like are the host's to word
}

} // namespace

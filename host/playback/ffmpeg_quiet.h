// The FFmpeg libraries talk about every file they open; the host reports what went wrong itself.
#ifndef HX_FFMPEG_QUIET_H
#define HX_FFMPEG_QUIET_H

extern "C" {
#include <libavutil/log.h>
}

namespace hx {

inline void quietFfmpeg()
{
    av_log_set_level(AV_LOG_ERROR);
}

} // namespace hx

#endif

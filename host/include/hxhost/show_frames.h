// The export's own frames of a storyboard, for whoever shows the show elsewhere: the window's
// player renders exactly what a file would hold.
#ifndef HXHOST_SHOW_FRAMES_H
#define HXHOST_SHOW_FRAMES_H

#include "hxhost/api.h"
#include "hxhost/show_audio.h"
#include "hxhost/storyboard.h"
#include "hxhost/video_file.h"

#include <cstdint>
#include <memory>
#include <string>

namespace hxhost {

class HXHOST_API ShowFrames {
public:
    // `fadeSeconds`: the picture fades from and to black at the show's ends, as the export's does.
    // With `decodeAhead`, the next scene's photo decodes on a thread of its own while this one plays.
    ShowFrames(Storyboard board, const VideoFileFormat& format, double fadeSeconds, bool decodeAhead);
    ~ShowFrames();
    ShowFrames(const ShowFrames&) = delete;
    ShowFrames& operator=(const ShowFrames&) = delete;
    // Frame f as the export writes it. Frames go forward from any first one; going back takes a new ShowFrames.
    bool frame(int64_t f, WovenFrame& out, std::string* error);

private:
    struct Playing;
    VideoFileFormat format_;
    int64_t fadeFrames_;
    std::unique_ptr<Playing> playing_;
};

} // namespace hxhost

#endif

// The export's own frames of a storyboard, for whoever shows the show elsewhere: the window's
// player renders exactly what a file would hold.
#ifndef HX_SHOW_FRAMES_H
#define HX_SHOW_FRAMES_H

#include "hxhost/show_audio.h"
#include "hxhost/storyboard.h"
#include "hxhost/video_file.h"

#include <cstdint>
#include <memory>
#include <string>

namespace hx {

class ShowFrames {
public:
    // `fadeSeconds`: the picture fades from and to black at the show's ends, as the export's does.
    ShowFrames(hxhost::Storyboard board, const hxhost::VideoFileFormat& format, double fadeSeconds);
    ~ShowFrames();
    ShowFrames(const ShowFrames&) = delete;
    ShowFrames& operator=(const ShowFrames&) = delete;
    // Frame f as the export writes it. Frames go forward from any first one; going back takes a new ShowFrames.
    bool frame(int64_t f, hxhost::WovenFrame& out, std::string* error);

private:
    struct Playing;
    hxhost::VideoFileFormat format_;
    int64_t fadeFrames_;
    std::unique_ptr<Playing> playing_;
};

} // namespace hx

#endif

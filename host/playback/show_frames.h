// The export's own frames and sound of a storyboard, for whoever shows the show elsewhere: the
// window's player renders exactly what a file would hold.
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
    ShowFrames(hxhost::Storyboard board, const hxhost::VideoFileFormat& format);
    ~ShowFrames();
    ShowFrames(const ShowFrames&) = delete;
    ShowFrames& operator=(const ShowFrames&) = delete;
    // Frame f as the export writes it. Frames go forward from any first one; going back takes a new ShowFrames.
    bool frame(int64_t f, hxhost::WovenFrame& out, std::string* error);

private:
    struct Playing;
    hxhost::VideoFileFormat format_;
    std::unique_ptr<Playing> playing_;
};

// The show's sound as the export mixes it: the storyboard's jingles and the music bed; not yet opened.
std::unique_ptr<hxhost::ShowAudio> showSound(const hxhost::Storyboard& board, const hxhost::VideoFileFormat& format,
                                             const std::string& music);

} // namespace hx

#endif

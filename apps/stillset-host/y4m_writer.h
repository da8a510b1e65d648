// Video frames written as YUV4MPEG2 (4:2:0), one woven frame from each pair of fields.
#ifndef STILLSET_HOST_Y4M_WRITER_H
#define STILLSET_HOST_Y4M_WRITER_H

#include "host/hxopcommon.h"
#include "hxhost/video_format.h"

#include <cstdio>
#include <string>
#include <vector>

class Y4mWriter {
public:
    ~Y4mWriter();
    // The file is written beside `path` and takes its place when finished.
    // Frames of `format`; an interlaced one's fields come in `bottomFirst` order.
    bool open(const std::string& path, const hxhost::VideoFormat& format, bool bottomFirst, std::string& error);
    // Takes a field in time order (owned from then on); every second one completes a frame.
    bool addField(OpImage* field, std::string& error);
    bool finish(std::string& error);
    int frames() const { return frames_; }

private:
    // Writes the frame the two fields weave into, as 4:2:0 planes; frees both fields.
    bool writeFrame(OpImage* topField, OpImage* bottomField, std::string& error);
    FILE* file_ = nullptr;
    std::string path_, temporary_;
    OpImage* pending_ = nullptr;
    std::vector<uint8_t> planes_; // one frame's Y, U and V planes
    bool bottomFirst_ = false;
    int frames_ = 0;
};

#endif

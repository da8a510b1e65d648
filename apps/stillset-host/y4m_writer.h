// Interlaced video frames written as YUV4MPEG2 (4:2:0), one woven frame from each pair of fields.
#ifndef STILLSET_HOST_Y4M_WRITER_H
#define STILLSET_HOST_Y4M_WRITER_H

#include "host/hxopcommon.h"

#include <cstdio>
#include <string>

class Y4mWriter {
public:
    ~Y4mWriter();
    // The file is written beside `path` and takes its place when finished.
    bool open(const std::string& path, int width, int height, int framesPerSecond, int aspect, bool bottomFirst,
              std::string& error);
    // Takes a field in time order (owned from then on); every second one completes a frame.
    bool addField(OpImage* field, std::string& error);
    bool finish(std::string& error);
    int frames() const { return frames_; }

private:
    bool writeFrame(OpImage* frame, std::string& error);
    FILE* file_ = nullptr;
    std::string path_, temporary_;
    OpImage* pending_ = nullptr;
    bool bottomFirst_ = false;
    int frames_ = 0;
};

#endif

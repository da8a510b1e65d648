#include "y4m_writer.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <utility>

namespace {

// The sample aspect in thousandths as the smallest ratio that rounds to it: 1067 is 16:15.
std::pair<int, int> smallRatio(int thousandths)
{
    for (int denominator = 1;; ++denominator) {
        const auto numerator = static_cast<int>(std::lround(thousandths * denominator / 1000.0));
        if (std::abs(numerator * 1000 - thousandths * denominator) * 2 <= denominator)
            return {numerator, denominator};
    }
}

} // namespace

Y4mWriter::~Y4mWriter()
{
    opFreeImage(pending_);
    if (file_) {
        std::fclose(file_);
        std::remove(temporary_.c_str());
    }
}

bool Y4mWriter::open(const std::string& path, int width, int height, int framesPerSecond, int aspect, bool bottomFirst,
                     std::string& error)
{
    path_ = path;
    temporary_ = path + ".partial";
    file_ = std::fopen(temporary_.c_str(), "wb");
    if (!file_) {
        error = "cannot write " + temporary_;
        return false;
    }
    bottomFirst_ = bottomFirst;
    const auto [numerator, denominator] = smallRatio(aspect);
    std::fprintf(file_, "YUV4MPEG2 W%d H%d F%d:1 I%c A%d:%d C420jpeg\n", width, height, framesPerSecond,
                 bottomFirst ? 'b' : 't', numerator, denominator);
    return true;
}

bool Y4mWriter::addField(OpImage* field, std::string& error)
{
    if (!pending_) {
        pending_ = field;
        return true;
    }
    // The first field in time holds the odd rows when the bottom field comes first.
    OpImage* frame = bottomFirst_ ? opMakeFrame(field, pending_, 0, 0) : opMakeFrame(pending_, field, 0, 0);
    opFreeImage(pending_);
    opFreeImage(field);
    pending_ = nullptr;
    if (!frame) {
        error = "cannot weave a frame";
        return false;
    }
    return writeFrame(frame, error);
}

bool Y4mWriter::writeFrame(OpImage* frame, std::string& error)
{
    OpImage* planar = opConvertImage(frame, OP_FORMAT_YUV420, 0);
    if (!planar || planar->format != OP_FORMAT_YUV420) {
        opFreeImage(planar ? planar : frame); // a failed conversion hands the frame back
        error = "cannot convert a frame to 4:2:0";
        return false;
    }
    const size_t luma = static_cast<size_t>(planar->width) * planar->height;
    const size_t chroma = static_cast<size_t>((planar->width + 1) / 2) * ((planar->height + 1) / 2);
    const bool ok = std::fputs("FRAME\n", file_) >= 0 && std::fwrite(planar->planes[0], 1, luma, file_) == luma &&
                    std::fwrite(planar->planes[1], 1, chroma, file_) == chroma &&
                    std::fwrite(planar->planes[2], 1, chroma, file_) == chroma;
    opFreeImage(planar);
    if (!ok) {
        error = "cannot write " + temporary_;
        return false;
    }
    ++frames_;
    return true;
}

bool Y4mWriter::finish(std::string& error)
{
    const bool flushed = std::fflush(file_) == 0 && std::fclose(file_) == 0;
    file_ = nullptr;
    if (!flushed || std::rename(temporary_.c_str(), path_.c_str()) != 0) {
        std::remove(temporary_.c_str());
        error = "cannot write " + path_;
        return false;
    }
    return true;
}

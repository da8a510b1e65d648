// The video format a project was built at, kept as "format.txt" beside its storyboard: one line,
// the format's name and rate ("1080p 29.97"), so later sessions and exports run at it.
#include "hxhost/video_format.h"

#include "runtime/atomic_file.h"
#include "scenes/scene_bin.h"

#include <sstream>

namespace hxhost {

namespace {

constexpr const char* kHeader = "videoformat 1";
constexpr size_t kMaxBytes = 256;

std::string formatPath(const std::string& projectDirectory)
{
    return projectDirectory + "/format.txt";
}

} // namespace

bool keptVideoFormat(VideoFormat& out)
{
    const std::string directory = hx::projectDirectory();
    std::string bytes;
    if (directory.empty() || !hx::readWholeFile(formatPath(directory), bytes, kMaxBytes))
        return false;
    std::istringstream lines(bytes);
    std::string header, name, rate, rest;
    if (!std::getline(lines, header) || header != kHeader || !(lines >> name >> rate) || (lines >> rest))
        return false;
    // A format's own rate is kept too; only progressive formats take one named.
    VideoFormat format;
    if (!findVideoFormat(name, "", format, nullptr))
        return false;
    if (format.progressive && !findVideoFormat(name, rate, format, nullptr))
        return false;
    if (rateText(format) != rate)
        return false;
    out = format;
    return true;
}

bool keepVideoFormat(std::string* error)
{
    const std::string directory = hx::projectDirectory();
    if (directory.empty()) {
        if (error)
            *error = "no installation (HXHOME) to keep the format in";
        return false;
    }
    const VideoFormat& format = videoFormat();
    return hx::writeFileAtomically(formatPath(directory),
                                   std::string(kHeader) + "\n" + format.name + " " + rateText(format) + "\n", error);
}

} // namespace hxhost

// The video format a project was built at, kept as "format.txt" beside its storyboard: one line,
// the format's name and rate ("1080p 29.97"), so later sessions and exports run at it.
#include "scenes/project_format.h"

#include "runtime/atomic_file.h"
#include "scenes/scene_bin.h"

#include <sstream>

namespace {

constexpr const char* kHeader = "videoformat 1";
constexpr size_t kMaxBytes = 256;

std::string formatPath(const std::string& projectDirectory)
{
    return projectDirectory + "/format.txt";
}

} // namespace

namespace hx {

std::string encodeProjectFormat(const hxhost::VideoFormat& format)
{
    return std::string(kHeader) + "\n" + format.name + " " + hxhost::rateText(format) + "\n";
}

bool decodeProjectFormat(const std::string& bytes, hxhost::VideoFormat& out)
{
    std::istringstream lines(bytes);
    std::string header, name, rate, rest;
    if (!std::getline(lines, header) || header != kHeader || !(lines >> name >> rate) || (lines >> rest))
        return false;
    // A format's own rate is kept too; only progressive formats take one named.
    hxhost::VideoFormat format;
    if (!hxhost::findVideoFormat(name, "", format, nullptr))
        return false;
    if (format.progressive && !hxhost::findVideoFormat(name, rate, format, nullptr))
        return false;
    if (hxhost::rateText(format) != rate)
        return false;
    out = format;
    return true;
}

} // namespace hx

namespace hxhost {

bool keptVideoFormat(VideoFormat& out)
{
    const std::string directory = hx::projectDirectory();
    std::string bytes;
    return !directory.empty() && hx::readWholeFile(formatPath(directory), bytes, kMaxBytes) &&
           hx::decodeProjectFormat(bytes, out);
}

bool keepVideoFormat(std::string* error)
{
    const std::string directory = hx::projectDirectory();
    if (directory.empty()) {
        if (error)
            *error = "no installation (HXHOME) to keep the format in";
        return false;
    }
    return hx::writeFileAtomically(formatPath(directory), hx::encodeProjectFormat(videoFormat()), error);
}

} // namespace hxhost

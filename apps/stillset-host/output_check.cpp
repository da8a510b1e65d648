#include "output_check.h"

#include "hxhost/video_file.h"

#include <sys/stat.h>

#include <filesystem>

namespace {

bool sameFile(const struct stat& a, const struct stat& b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

} // namespace

bool outputsSpareInputs(const std::vector<std::string>& outputs, const std::vector<std::string>& inputs,
                        std::string& error)
{
    for (const std::string& output : outputs) {
        struct stat written {};
        if (stat(output.c_str(), &written) != 0)
            continue; // a new file takes nothing's place
        if (!S_ISREG(written.st_mode) && output != "/dev/null") {
            error = output + " exists and is not a regular file; it is not replaced";
            return false;
        }
        for (const std::string& input : inputs) {
            struct stat read {};
            if (stat(input.c_str(), &read) == 0 && sameFile(read, written)) {
                error = output + (output == input ? "" : " is " + input + ", which") +
                        " is also an input; writing it would destroy it";
                return false;
            }
        }
    }
    return true;
}

std::vector<std::string> videoOutputFiles(const std::string& output)
{
    const std::string sound = hxhost::soundFileBeside(output);
    return sound.empty() ? std::vector<std::string>{output} : std::vector<std::string>{output, sound};
}

bool isVideoOutputName(const std::string& output)
{
    if (output == "/dev/null")
        return true;
    const std::string extension = std::filesystem::path(output).extension().string();
    return extension == ".mp4" || extension == ".mkv" || extension == ".webm" || extension == ".y4m";
}

// stillset-host play: shows a host project's storyboard in a desktop window, with its sound.
#include "commands.h"
#include "host_options.h"
#include "interrupt.h"
#include "options.h"

#include "hxhost/hxhost.h"
#include "hxhost/player.h"
#include "hxhost/video_format.h"

#include <cmath>
#include <cstdio>

namespace {

const char kHelp[] =
    "usage: stillset-host play --hxhome DIR --project N [options]\n"
    "\n"
    "Plays the project's storyboard in a desktop window in real time with its sound: the frames and\n"
    "the sound the export writes, an interlaced format a field at a time. A strip under the picture\n"
    "shows the scenes to scale with their transitions; click or drag on it to seek.\n"
    "Keys: Space plays and pauses, , and . step a frame, Page Up and Page Down (or [ and ]) go to the\n"
    "previous and next scene, Home and End to the start and the end, Escape ends.\n"
    "\n"
    "  --hxhome DIR            the installation root holding the project\n"
    "  --project N             the host project, 0 or more\n"
    "  --start SECONDS         where to start (default 0)\n"
    "  --paused                show the first picture and wait for Space\n"
    "  --music FILE            a music bed under the whole show, as export takes it\n"
    "  --stats                 say at the end how many pictures were shown and how many dropped\n";

} // namespace

int runPlay(const Arguments& arguments)
{
    std::set<std::string> valued = {"--hxhome", "--project", "--start", "--music"};
    valued.insert(kFormatOptions.begin(), kFormatOptions.end());
    Options options("play", valued, {"--paused", "--stats"});
    long project = -1;
    const std::string help = kHelp + formatHelp("the one the project was built at, else pal");
    if (const int status = parseProjectCommand(options, arguments, help.c_str(), project); status >= 0)
        return status;
    double start = 0;
    if (options.has("--start")) {
        char* end = nullptr;
        const std::string& text = options.value("--start");
        start = std::strtod(text.c_str(), &end);
        if (text.empty() || *end != '\0' || !std::isfinite(start) || start < 0)
            return usageError("play: --start takes seconds, 0 or more");
    }
    std::string error;
    hxhost::setProjectNumber(static_cast<int32_t>(project));
    if (!hxhost::installHome(options.value("--hxhome"), &error) || !hxhost::lockProject(&error) ||
        !hxhost::openProject(&error))
        return runFailure("play: " + error);
    if (!applyProjectFormat(options, "play", error))
        return usageError("play: " + error);
    const hxhost::VideoFormat& format = hxhost::videoFormat();
    const double framesPerSecond = format.fractionalRate ? format.framesPerSecond * 1000.0 / 1001.0 : format.framesPerSecond;
    hxhost::PlayOptions play;
    // A hair over the product: 12 s at 29.97 is frame 359.64, which shows frame 359.
    play.startFrame = static_cast<int64_t>(std::floor(start * framesPerSecond + 1e-6));
    play.paused = options.has("--paused");
    play.music = options.value("--music");
    // A signal ends the player as its close box does.
    StopOnInterrupt closeOnInterrupt(hxhost::requestWindowClose);
    hxhost::PlayResult result;
    if (!hxhost::playStoryboard(play, result, &error))
        return runFailure("play: " + error);
    std::printf("stopped at frame %lld\n", static_cast<long long>(result.frame));
    if (options.has("--stats"))
        std::printf("pictures shown while playing: %lld, dropped: %lld\n", static_cast<long long>(result.shown),
                    static_cast<long long>(result.dropped));
    return 0;
}

// stillset-host play: shows a host project's storyboard in a desktop window, with its sound.
#include "commands.h"
#include "host_options.h"
#include "interrupt.h"
#include "options.h"
#include "sound_options.h"

#include "hxhost/scene_bin.h"
#include "hxhost/setup.h"
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
    "\n";

} // namespace

const OptionTable& playOptions()
{
    static const OptionTable table = joinTables(
        {
            textOption("--hxhome", "DIR", "the installation root holding the project"),
            wholeNumberOption("--project", "N", 0, 1000000, "the host project, 0 or more"),
            numberOption("--start", "SECONDS", 0, 86400, "where to start (default 0)"),
            switchOption("--paused", "show the first picture and wait for Space"),
            switchOption("--stats", "say at the end how many pictures were shown and how many dropped"),
        },
        {soundOptions(), formatOptions("the one the project was built at, else pal")});
    return table;
}

int runPlay(const Arguments& arguments)
{
    const std::string command = "play";
    Options options(command, playOptions());
    long project = -1;
    if (const int status = parseProjectCommand(options, arguments, kHelp, project); status >= 0)
        return status;
    const double start = options.number("--start", 0);
    std::string error;
    hxhost::PlayOptions play;
    if (!readSound(options, play.sound, error))
        return usageError(command, error);
    if (!openOwnProject(options, project, error))
        return runFailure(command, error);
    if (!applyProjectFormat(options, command, error))
        return usageError(command, error);
    const hxhost::VideoFormat& format = hxhost::videoFormat();
    const double framesPerSecond = format.fractionalRate ? format.framesPerSecond * 1000.0 / 1001.0 : format.framesPerSecond;
    // A hair over the product: 12 s at 29.97 is frame 359.64, which shows frame 359.
    play.startFrame = static_cast<int64_t>(std::floor(start * framesPerSecond + 1e-6));
    play.paused = options.has("--paused");
    // A signal ends the player as its close box does.
    StopOnInterrupt closeOnInterrupt(hxhost::requestWindowClose);
    hxhost::PlayResult result;
    if (!hxhost::playStoryboard(play, result, &error))
        return runFailure(command, error);
    std::printf("stopped at frame %lld\n", static_cast<long long>(result.frame));
    if (options.has("--stats"))
        std::printf("pictures shown while playing: %lld, dropped: %lld\n", static_cast<long long>(result.shown),
                    static_cast<long long>(result.dropped));
    return 0;
}

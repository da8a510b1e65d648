// stillset-host export: plays a host project's storyboard into a video file.
#include "commands.h"
#include "host_options.h"
#include "export_show.h"
#include "options.h"
#include "output_check.h"
#include "sound_options.h"

#include "hxhost/export.h"
#include "hxhost/scene_bin.h"
#include "hxhost/setup.h"
#include "hxhost/storyboard.h"

#include <cstdio>

namespace {

const char kHelp[] =
    "usage: stillset-host export --hxhome DIR --project N -o OUT [options]\n"
    "\n"
    "Plays the project's storyboard into a video file: every scene, pan-and-zoom effect and\n"
    "transition, with the transitions' jingles and an optional music bed. A jingle sounds until the\n"
    "next transition's jingle starts, where it fades out in 0.1 s (so a jingle longer than the gap is\n"
    "cut short), and fades out likewise at the show's end. The file is written to a part file of its\n"
    "own beside OUT and takes OUT's name only when complete; Ctrl-C stops and leaves nothing behind.\n"
    "Another process working on the project makes it stop at once.\n"
    "\n";

// What the show is played from: the project's media, the jingles and the music.
std::vector<std::string> showInputs(long project, const std::string& music)
{
    const std::string directory = hxhost::home() + "/projects/project" + std::to_string(project) + "/";
    std::vector<std::string> inputs{music};
    for (const hxhost::SceneBinItem& item : hxhost::sceneBinItems())
        inputs.push_back(directory + item.media);
    for (const hxhost::StoryboardScene& scene : hxhost::storyboard().scenes)
        if (scene.transition && !scene.transition->jingleFile.empty())
            inputs.push_back(scene.transition->jingleFile[0] == '/' ? scene.transition->jingleFile
                                                                    : directory + scene.transition->jingleFile);
    return inputs;
}

} // namespace

const OptionTable& exportOptions()
{
    static const OptionTable table = joinTables(
        {
            textOption("--output", "OUT",
                       ".mp4 (H.264, HEVC or AV1 + AAC), .webm (VP9 or AV1 + Opus), .mkv (FFV1 +\n"
                       "FLAC, lossless, or --codec) or .y4m (with OUT's .wav); /dev/null renders\n"
                       "without writing")
                .alsoNamed("-o"),
            textOption("--hxhome", "DIR", "the installation root holding the project"),
            wholeNumberOption("--project", "N", 0, 1000000, "the host project, 0 or more"),
            threadsOption(),
            wholeNumberOption("--from", "F", 0, 1L << 30, "only frames from F (default 0)"),
            wholeNumberOption("--to", "T", 1, 1L << 30,
                              "only frames up to, not including, T (default: the end); they sound,\n"
                              "fade and are as loud as they are in the whole show"),
        },
        {soundOptions(), formatOptions("the one the project was built at, else pal"), encoderOptions()});
    return table;
}

int runExport(const Arguments& arguments)
{
    const std::string command = "export";
    Options options(command, exportOptions());
    long project = -1;
    if (const int status = parseProjectCommand(options, arguments, kHelp, project); status >= 0)
        return status;
    if (!options.has("--output"))
        return usageError(command, "--hxhome, --project and -o are required" + tryHelp(command));
    std::string error;
    hxhost::ExportSettings settings;
    settings.output = options.value("--output");
    settings.threads = static_cast<int32_t>(options.wholeNumber("--threads", 0));
    settings.from = options.wholeNumber("--from", 0);
    settings.to = options.wholeNumber("--to", -1);
    settings.encoder = readEncoder(options);
    if (!readSound(options, settings.sound, error))
        return usageError(command, error);
    if (!openOwnProject(options, project, error))
        return runFailure(command, error);
    if (!applyProjectFormat(options, "export", error))
        return usageError(command, error);
    if (!hxhost::checkExportSettings(settings, &error))
        return runFailure(command, error);
    if (!outputsSpareInputs(videoOutputFiles(settings.output), showInputs(project, settings.sound.music), error))
        return usageError(command, error);

    const int status = exportShow("export", settings);
    if (status == 0)
        std::printf("wrote %s: %lld frames\n", settings.output.c_str(), static_cast<long long>(hxhost::exportFrames(settings)));
    return status;
}

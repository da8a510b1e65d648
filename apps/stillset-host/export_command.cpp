// stillset-host export: plays a host project's storyboard into a video file.
#include "commands.h"
#include "host_options.h"
#include "export_show.h"
#include "options.h"
#include "output_check.h"

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
    "transition, with the transitions' jingles and an optional music bed. The file is written to\n"
    "a part file of its own beside OUT and takes OUT's name only when complete; Ctrl-C stops and leaves\n"
    "nothing behind. Another process working on the project makes it stop at once.\n"
    "\n"
    "  -o, --output OUT        .mp4 (H.264, HEVC or AV1 + AAC), .webm (VP9 or AV1 + Opus), .mkv (FFV1 +\n"
    "                          FLAC, lossless, or --codec) or .y4m (with OUT's .wav); /dev/null renders\n"
    "                          without writing\n"
    "  --hxhome DIR            the installation root holding the project\n"
    "  --project N             the host project, 0 or more\n"
    "  --music FILE            a music bed (WAV, FLAC, MP3 or Ogg) under the whole show\n"
    "  --threads N             threads that render (two share each picture; more render frames side\n"
    "                          by side), and the encoder's threads (default: one a core)\n"
    "  --from F, --to T        only frames F up to, not including, T\n";

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

int runExport(const Arguments& arguments)
{
    std::set<std::string> valued = {"--hxhome", "--project", "--output", "--music", "--threads", "--from", "--to"};
    valued.insert(kFormatOptions.begin(), kFormatOptions.end());
    valued.insert(kEncoderOptions.begin(), kEncoderOptions.end());
    Options options("export", valued, {});
    std::string error;
    long project = -1, threads = 0, from = 0, to = -1;
    hxhost::EncoderChoice encoder;
    if (!options.parse(arguments, error) || !options.integer("--project", 0, 1000000, project, error) ||
        !options.integer("--threads", 0, 64, threads, error) || !options.integer("--from", 0, 1L << 30, from, error) ||
        !options.integer("--to", 1, 1L << 30, to, error) || !readEncoder(options, encoder, error))
        return usageError(error);
    if (options.helpAsked()) {
        std::fputs((kHelp + formatHelp("the one the project was built at, else pal") + encoderHelp()).c_str(), stdout);
        return 0;
    }
    if (!options.positional().empty())
        return usageError("export: unexpected argument '" + options.positional()[0] + "' (try export --help)");
    if (!options.has("--hxhome") || !options.has("--project") || !options.has("--output"))
        return usageError("export: --hxhome, --project and -o are required (try export --help)");
    hxhost::ExportSettings settings;
    settings.output = options.value("--output");
    settings.music = options.value("--music");
    settings.threads = static_cast<int32_t>(threads);
    settings.from = from;
    settings.to = options.has("--to") ? to : -1;
    settings.encoder = encoder;
    hxhost::setProjectNumber(static_cast<int32_t>(project));
    if (!hxhost::installHome(options.value("--hxhome"), &error) || !hxhost::lockProject(&error) ||
        !hxhost::openProject(&error))
        return runFailure("export: " + error);
    if (!applyProjectFormat(options, "export", error))
        return usageError("export: " + error);
    if (!hxhost::checkExportSettings(settings, &error))
        return runFailure("export: " + error);
    if (!outputsSpareInputs(videoOutputFiles(settings.output), showInputs(project, settings.music), error))
        return usageError("export: " + error);

    const int status = exportShow("export", settings);
    if (status == 0)
        std::printf("wrote %s: %lld frames\n", settings.output.c_str(), static_cast<long long>(hxhost::exportFrames(settings)));
    return status;
}

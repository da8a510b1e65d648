// stillset-host slideshow: photos in, finished slideshow out. The photos go into a host project's
// scene bin, the slideshow tool is driven through a generated session script as a person would drive
// it (durations, transitions, jingle, pan presets, create), and the storyboard is exported.
#include "commands.h"
#include "decode_report.h"
#include "export_show.h"
#include "host_options.h"
#include "interrupt.h"
#include "options.h"
#include "output_check.h"
#include "photo_import.h"
#include "run_folder.h"
#include "slideshow_script.h"
#include "tool_run.h"

#include "hxhost/audio.h"
#include "hxhost/export.h"
#include "hxhost/hxhost.h"
#include "hxhost/session_script.h"
#include "hxhost/storyboard.h"
#include "hxhost/transitions.h"
#include "hxhost/window.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <thread>

namespace {

namespace fs = std::filesystem;

// What people share: progressive HD, at the format's own 30 frames a second.
constexpr const char* kSlideshowFormat = "1080p";

const char kHelp[] =
    "usage: stillset-host slideshow PHOTO_OR_FOLDER... -o OUT [options]\n"
    "\n"
    "Makes a video of the photos in one go: imports them into a host project, has the slideshow tool\n"
    "build the storyboard with the durations, transitions, jingle and pan-and-zoom effects asked for,\n"
    "and plays it into OUT. Folders give their photos in name order, their subfolders' where their\n"
    "names put them; files that are not photos are named and skipped.\n"
    "\n"
    "  -o, --output OUT          .mp4 (H.264 + AAC unless --codec), .webm (VP9 or AV1 + Opus), .mkv\n"
    "                            (FFV1 + FLAC, lossless) or .y4m (with OUT's .wav)\n"
    "  --seconds S               each photo's time on screen (default 5); the tool offers 1, 2, 3, 4, 5,\n"
    "                            7, 10, 15, 20 and 30 seconds and takes the nearest\n"
    "  --transition NAME         a transition between photos, in turn (default dissolve); may be\n"
    "                            repeated. '--transition list' prints the transitions there are\n"
    "  --no-transition           cut from photo to photo\n"
    "  --transition-seconds S    a transition's length (default 1); 0.2, 0.5, 1, 2, 3, 4, 5, 7 or 10\n"
    "  --random                  the transitions in random order rather than as listed\n"
    "  --repeat N                how many photos in a row share a transition (default 1)\n"
    "  --pan P                   a pan-and-zoom preset 0 to 4, in turn (default all five); may be repeated:\n"
    "                            0 zoom in, 1 top left to bottom right, 2 top right to bottom left,\n"
    "                            3 bottom right to top left, 4 bottom left to top right\n"
    "  --no-pan                  still photos\n"
    "  --no-recurse              a folder's own photos only, naming the subfolders left out\n"
    "  --jingle FILE             a sound played at every transition\n"
    "  --music FILE              a music bed under the whole show\n"
    "  --edit                    before the video is made, open the tool on the photos in a desktop\n"
    "                            window: reorder, turn, crop, change the choices, then Create or close\n"
    "  --hxhome DIR              keep the host project in DIR (project --project N, default 0) for later\n"
    "                            editing with 'stillset-host session'; by default a temporary one is used\n"
    "  --project N               with --hxhome: the host project, which must not have a photo list yet\n"
    "  --threads N               as for 'export'\n"
    "  --count-decodes           at the end, say how often each photo was decoded and at what size\n";

// The host home of the run: the one asked for, or a temporary one removed when the run ends.
class HostHome {
public:
    bool make(const std::string& asked, std::string& error)
    {
        if (!asked.empty()) {
            path_ = asked;
            return true;
        }
        if (!temporary_.make("stillset-slideshow", error))
            return false;
        path_ = temporary_.path();
        return true;
    }
    const std::string& path() const { return path_; }

private:
    std::string path_;
    RunFolder temporary_;
};

int listTransitions()
{
    for (const hxhost::TransitionType& type : hxhost::transitionCatalogue())
        std::printf("%s\n", type.file.c_str());
    return 0;
}

bool number(const Options& options, const std::string& name, double low, double high, double& out, std::string& error)
{
    if (!options.has(name))
        return true;
    const std::string text = options.value(name);
    double value = 0;
    if (!parseDecimal(text, value) || value < low || value > high) {
        char range[64];
        std::snprintf(range, sizeof range, " takes a number from %g to %g", low, high);
        error = name + range + ", not '" + text + "'";
        return false;
    }
    out = value;
    return true;
}

// Says so when the tool's popup could not give exactly what was asked.
void tellRounding(const char* what, const std::string& asked, const PopupPick& pick, const char* unit)
{
    if (!pick.exact)
        std::fprintf(stderr, "slideshow: %s %s is not on offer; using %g%s\n", what, asked.c_str(), pick.value, unit);
}

// The choices the options make, with --repeat read already; false with a one-line error.
bool readChoices(const Options& options, long repeat, SlideshowChoices& c, std::string& error)
{
    double seconds = 5, transitionSeconds = 1;
    if (!number(options, "--seconds", 0.5, 3600, seconds, error) ||
        !number(options, "--transition-seconds", 0.1, 60, transitionSeconds, error))
        return false;
    const PopupPick duration = photoDuration(seconds), length = transitionLength(transitionSeconds),
                    repeats = transitionRepeat(static_cast<double>(repeat));
    tellRounding("a photo's time of", options.value("--seconds"), duration, " s");
    tellRounding("a transition's length of", options.value("--transition-seconds"), length, " s");
    tellRounding("sharing a transition among", options.value("--repeat"), repeats, " photos");
    c.durationCode = duration.code;
    c.transitionLengthCode = length.code;
    c.repeatCode = repeats.code;
    c.randomOrder = options.has("--random");

    if (options.has("--no-transition") && options.has("--transition")) {
        error = "--transition and --no-transition exclude each other";
        return false;
    }
    if (!options.has("--no-transition"))
        c.transitions = options.has("--transition") ? options.values("--transition") : std::vector<std::string>{"dissolve"};
    for (std::string& name : c.transitions) {
        const hxhost::TransitionType* type = hxhost::findTransition(name);
        if (!type) {
            error = "there is no transition '" + name + "' (see --transition list)";
            return false;
        }
        name = type->file; // as the operator picker offers it
    }

    if (options.has("--no-pan") && options.has("--pan")) {
        error = "--pan and --no-pan exclude each other";
        return false;
    }
    if (!options.has("--no-pan"))
        c.panPresets = {0, 1, 2, 3, 4};
    if (options.has("--pan")) {
        c.panPresets.clear();
        for (const std::string& text : options.values("--pan")) {
            if (text.size() != 1 || text[0] < '0' || text[0] > '4') {
                error = "--pan takes a preset from 0 to 4, not '" + text + "'";
                return false;
            }
            c.panPresets.push_back(text[0] - '0');
        }
    }

    if (options.has("--jingle")) {
        if (c.transitions.empty()) {
            error = "--jingle sounds at the transitions, and there are none";
            return false;
        }
        std::string why;
        if (!hxhost::probeAudio(options.value("--jingle"), nullptr, &why)) {
            error = "--jingle: " + why;
            return false;
        }
        c.jingleFile = fs::absolute(options.value("--jingle")).string();
    }
    return true;
}

// A project the tool has worked on keeps its own photo list; the command never mixes its photos in.
bool projectIsNew(const std::string& home, long project)
{
    const fs::path tool = fs::path(home) / "programs/stillset" / ("project" + std::to_string(project + 1));
    std::error_code ignored;
    return !fs::exists(tool / "slset.dat", ignored) && !fs::exists(tool / "photos.hxl", ignored);
}

// One run of the tool playing `script`; false with a one-line error.
bool runScripted(Plugin& plugin, const std::string& script, std::string& error)
{
    if (!hxhost::parseSessionScript(script, "slideshow", *hxhost::scriptedUser(), &error))
        return false;
    ToolRun run;
    if (!runTool(plugin, defaultPluginPath("stillset"), 0, run, error))
        return false;
    if (run.result != 0 || !run.userPlayedAll) {
        error = "the slideshow tool could not build the storyboard";
        return false;
    }
    return true;
}

} // namespace

int runSlideshow(const Arguments& arguments)
{
    std::set<std::string> valued = {"--output", "--seconds", "--transition", "--transition-seconds", "--repeat", "--pan",
                                    "--jingle", "--music", "--hxhome", "--project", "--threads"};
    valued.insert(kFormatOptions.begin(), kFormatOptions.end());
    valued.insert(kEncoderOptions.begin(), kEncoderOptions.end());
    Options options("slideshow", valued, {"--random", "--no-pan", "--no-transition", "--edit", "--no-recurse",
                                                          "--count-decodes"});
    std::string error;
    long project = 0, threads = 0, repeat = 1;
    hxhost::EncoderChoice encoder;
    if (!options.parse(arguments, error) || !options.integer("--project", 0, 1000000, project, error) ||
        !options.integer("--threads", 0, 64, threads, error) || !options.integer("--repeat", 1, 1000, repeat, error) ||
        !readEncoder(options, encoder, error))
        return usageError(error);
    if (options.helpAsked()) {
        std::fputs((kHelp + formatHelp(kSlideshowFormat + std::string(" at 30")) + encoderHelp()).c_str(), stdout);
        return 0;
    }
    if (options.values("--transition") == std::vector<std::string>{"list"})
        return listTransitions();
    if (options.positional().empty() || !options.has("--output"))
        return usageError("slideshow: photos and -o OUT are required (try slideshow --help)");
    if (!isVideoOutputName(options.value("--output")))
        return usageError("slideshow: -o takes a .mp4, .webm, .mkv or .y4m file, not '" + options.value("--output") + "'");
    if (options.has("--project") && !options.has("--hxhome"))
        return usageError("slideshow: --project needs --hxhome");
    for (const std::string& path : options.positional())
        if (std::error_code missing; !fs::exists(path, missing))
            return usageError("slideshow: " + path + ": no such file or folder");
    SlideshowChoices choices;
    if (!applyFormat(options, kSlideshowFormat, error) || !readChoices(options, repeat, choices, error))
        return usageError("slideshow: " + error);
    if (options.has("--music") && !hxhost::probeAudio(options.value("--music"), nullptr, &error))
        return usageError("slideshow: --music: " + error);
    const std::vector<std::string> photos = photoFilesOf(options.positional(), !options.has("--no-recurse"));
    std::vector<std::string> inputs = photos;
    for (const char* sound : {"--jingle", "--music"})
        if (options.has(sound))
            inputs.push_back(options.value(sound));
    if (!outputsSpareInputs(videoOutputFiles(options.value("--output")), inputs, error))
        return usageError("slideshow: " + error);

    hxhost::ExportSettings settings;
    settings.output = options.value("--output");
    settings.music = options.value("--music");
    settings.threads = static_cast<int32_t>(threads);
    settings.encoder = encoder;
    if (!hxhost::checkExportSettings(settings, &error))
        return runFailure("slideshow: " + error);

    HostHome home;
    if (!home.make(options.value("--hxhome"), error))
        return runFailure("slideshow: " + error);
    hxhost::setProjectNumber(static_cast<int32_t>(project));
    if (!hxhost::installHome(home.path(), &error) || !hxhost::lockProject(&error))
        return runFailure("slideshow: " + error);
    // Asked only once the project is this process's: another could have given it a list meanwhile.
    if (options.has("--hxhome") && !projectIsNew(home.path(), project))
        return usageError("slideshow: project " + std::to_string(project) + " in " + home.path() +
                          " already has the tool's photo list; choose a new --project or edit it with 'session'");
    if (!hxhost::openProject(&error))
        return runFailure("slideshow: " + error);
    if (importPhotoFiles(photos) == 0)
        return runFailure("slideshow: no photos to show");
    if (!hxhost::saveProject(&error))
        return runFailure("slideshow: " + error);

    // The tool's thumbnails and clip renders scale whole photos: their rows are shared by all cores.
    hxhost::setPixelThreads(static_cast<int32_t>(threads > 0 ? threads : std::max(1u, std::thread::hardware_concurrency())));
    const bool edit = options.has("--edit");
    Plugin plugin;
    if (!runScripted(plugin, slideshowScript(choices, !edit), error))
        return runFailure("slideshow: " + error);
    if (edit) {
        // The person finishes the show; when they close without creating it, it is created as they left it.
        hxhost::WindowOptions window;
        window.title = "stillset: " + options.value("--output");
        ToolRun run;
        if (!runTool(plugin, defaultPluginPath("stillset"), 0, run, error, &window))
            return runFailure("slideshow: --edit: " + error);
        if (interrupted())
            return runFailure("slideshow: interrupted; no video was made");
        if (run.result != 0)
            return runFailure("slideshow: the slideshow tool ended with a failure");
        if (hxhost::storyboard().scenes.empty() && !runScripted(plugin, createScript(), error))
            return runFailure("slideshow: " + error);
    }

    if (const int status = exportShow("slideshow", settings); status != 0)
        return status;
    std::printf("wrote %s: %lld frames\n", settings.output.c_str(), static_cast<long long>(hxhost::exportFrames(settings)));
    if (options.has("--hxhome"))
        std::printf("the project stays in %s (project %ld)\n", home.path().c_str(), project);
    if (options.has("--count-decodes"))
        printDecodeCounts();
    return 0;
}

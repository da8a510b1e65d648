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
#include "music_fit.h"
#include "slideshow_script.h"
#include "sound_options.h"
#include "tool_and_player.h"
#include "tool_run.h"

#include "hxhost/audio.h"
#include "hxhost/export.h"
#include "hxhost/scene_bin.h"
#include "hxhost/session_script.h"
#include "hxhost/setup.h"
#include "hxhost/show_start.h"
#include "hxhost/storyboard.h"
#include "hxhost/transitions.h"
#include "hxhost/user.h"
#include "hxhost/window.h"

#include <algorithm>
#include <cmath>
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
    "\n";

// What --fit-music chose, and how far the show's length is from the music's.
void tellFit(const MusicFit& fit, double musicSeconds)
{
    const double miss = fit.showSeconds - musicSeconds;
    char transitions[40] = "no transitions";
    if (fit.transitionSeconds > 0)
        std::snprintf(transitions, sizeof transitions, "transitions %g s", fit.transitionSeconds);
    std::printf("slideshow: --fit-music: photos %g s, %s: the show lasts %.2f s, %.2f s %s than the music\n",
                fit.photoSeconds, transitions, fit.showSeconds, std::fabs(miss), miss < 0 ? "shorter" : "longer");
}

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

// Says so when the tool's popup could not give exactly what was asked.
void tellRounding(const char* what, const std::string& asked, const PopupPick& pick, const char* unit)
{
    if (!pick.exact) {
        char value[32];
        std::snprintf(value, sizeof value, "%g", pick.value);
        tell("slideshow", std::string(what) + " " + asked + " is not on offer; using " + value + unit);
    }
}

// The choices the options make; false with a one-line error.
bool readChoices(const Options& options, SlideshowChoices& c, std::string& error)
{
    if (options.has("--fit-music") && (options.has("--seconds") || options.has("--transition-seconds"))) {
        error = "--fit-music chooses the photos' and the transitions' seconds; give it or them";
        return false;
    }
    if (options.has("--fit-music") && !options.has("--music")) {
        error = "--fit-music fits the show to its --music, and there is none";
        return false;
    }
    const PopupPick duration = photoDuration(options.number("--seconds", 5)),
                    length = transitionLength(options.number("--transition-seconds", 1)),
                    repeats = transitionRepeat(static_cast<double>(options.wholeNumber("--repeat", 1)));
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
        for (const std::string& preset : options.values("--pan"))
            c.panPresets.push_back(std::stoi(preset));
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

// What the command says once the video is written; its exit status.
int reportWritten(const hxhost::ExportSettings& settings, const std::string& keptHome, long project)
{
    std::printf("wrote %s: %lld frames\n", settings.output.c_str(), static_cast<long long>(hxhost::exportFrames(settings)));
    if (!keptHome.empty())
        std::printf("the project stays in %s (project %ld)\n", keptHome.c_str(), project);
    return 0;
}

} // namespace

const OptionTable& slideshowOptions()
{
    static const OptionTable table = joinTables(
        {
            textOption("--output", "OUT",
                       ".mp4 (H.264 + AAC unless --codec), .webm (VP9 or AV1 + Opus), .mkv\n"
                       "(FFV1 + FLAC, lossless) or .y4m (with OUT's .wav)")
                .alsoNamed("-o"),
            numberOption("--seconds", "S", 0.5, 3600,
                         "each photo's time on screen (default 5); the tool offers 1, 2, 3, 4, 5,\n"
                         "7, 10, 15, 20 and 30 seconds and takes the nearest"),
            textOption("--transition", "NAME",
                       "a transition between photos, in turn (default dissolve); may be\n"
                       "repeated. '--transition list' prints the transitions there are"),
            switchOption("--no-transition", "cut from photo to photo"),
            numberOption("--transition-seconds", "S", 0.1, 60,
                         "a transition's length (default 1); 0.2, 0.5, 1, 2, 3, 4, 5, 7 or 10"),
            switchOption("--random", "the transitions in random order rather than as listed"),
            wholeNumberOption("--repeat", "N", 1, 1000, "how many photos in a row share a transition (default 1)"),
            wholeNumberOption("--pan", "P", 0, 4,
                              "a pan-and-zoom preset 0 to 4, in turn (default all five); may be repeated:\n"
                              "0 zoom in, 1 top left to bottom right, 2 top right to bottom left,\n"
                              "3 bottom right to top left, 4 bottom left to top right"),
            switchOption("--no-pan", "still photos"),
            switchOption("--no-recurse", "a folder's own photos only, naming the subfolders left out"),
            textOption("--jingle", "FILE",
                       "a sound played at every transition, until the next one starts: a jingle\n"
                       "longer than the time between two transitions fades out in 0.1 s as the\n"
                       "next one starts, and the last one likewise at the show's end"),
            switchOption("--fit-music",
                         "with --music: the photo duration and transition length on offer that\n"
                         "bring the show closest to the music's length (instead of --seconds and\n"
                         "--transition-seconds) and says what it chose; the music fades out with\n"
                         "the picture (--fade)"),
            switchOption("--edit", "before the video is made, open the tool on the photos in a desktop\n"
                                   "window: reorder, turn, crop, change the choices, then Create or close;\n"
                                   "after Create the show plays in the window, to write it from there or\n"
                                   "go back to the tool"),
            textOption("--hxhome", "DIR",
                       "keep the host project in DIR (project --project N, default 0) for later\n"
                       "editing with 'stillset-host session'; by default a temporary one is used"),
            wholeNumberOption("--project", "N", 0, 1000000,
                              "with --hxhome: the host project, which must not have a photo list yet"),
            threadsOption(),
            switchOption("--count-decodes", "at the end, say how often each photo was decoded and at what size"),
        },
        {soundOptions(), formatOptions(kSlideshowFormat + std::string(" at 30")), encoderOptions()});
    return table;
}

int runSlideshow(const Arguments& arguments)
{
    const std::string command = "slideshow";
    Options options(command, slideshowOptions());
    if (const int status = parseCommand(options, arguments, kHelp); status >= 0)
        return status;
    std::string error;
    if (options.values("--transition") == std::vector<std::string>{"list"})
        return listTransitions();
    if (options.positional().empty() || !options.has("--output"))
        return usageError(command, "photos and -o OUT are required" + tryHelp(command));
    if (!isVideoOutputName(options.value("--output")))
        return usageError(command, "-o takes a .mp4, .webm, .mkv or .y4m file, not '" + options.value("--output") + "'");
    if (options.has("--project") && !options.has("--hxhome"))
        return usageError(command, "--project needs --hxhome");
    for (const std::string& path : options.positional())
        if (std::error_code missing; !fs::exists(path, missing))
            return usageError(command, path + ": no such file or folder");
    SlideshowChoices choices;
    hxhost::SoundSettings sound;
    if (!applyFormat(options, kSlideshowFormat, error) || !readChoices(options, choices, error) ||
        !readSound(options, sound, error))
        return usageError(command, error);
    hxhost::AudioInfo music;
    if (options.has("--music") && !hxhost::probeAudio(options.value("--music"), &music, &error))
        return usageError(command, "--music: " + error);
    const std::vector<std::string> photos = photoFilesOf(options.positional(), !options.has("--no-recurse"));
    std::vector<std::string> inputs = photos;
    for (const char* soundFile : {"--jingle", "--music"})
        if (options.has(soundFile))
            inputs.push_back(options.value(soundFile));
    if (!outputsSpareInputs(videoOutputFiles(options.value("--output")), inputs, error))
        return usageError(command, error);

    hxhost::ExportSettings settings;
    settings.output = options.value("--output");
    settings.sound = sound;
    settings.threads = static_cast<int32_t>(options.wholeNumber("--threads", 0));
    settings.encoder = readEncoder(options);
    if (!hxhost::checkExportSettings(settings, &error))
        return runFailure(command, error);

    HostHome home;
    if (!home.make(options.value("--hxhome"), error))
        return runFailure(command, error);
    const long project = options.wholeNumber("--project", 0);
    hxhost::setProjectNumber(static_cast<int32_t>(project));
    if (!hxhost::installHome(home.path(), &error) || !hxhost::lockProject(&error))
        return runFailure(command, error);
    // Asked only once the project is this process's: another could have given it a list meanwhile.
    if (options.has("--hxhome") && !projectIsNew(home.path(), project))
        return usageError(command, "project " + std::to_string(project) + " in " + home.path() +
                          " already has the tool's photo list; choose a new --project or edit it with 'session'");
    if (!hxhost::openProject(&error))
        return runFailure(command, error);
    const size_t imported = importPhotoFiles(photos);
    if (imported == 0)
        return runFailure(command, "no photos to show");
    if (options.has("--fit-music")) {
        const auto shared = static_cast<int32_t>(transitionRepeat(static_cast<double>(options.wholeNumber("--repeat", 1))).value);
        const MusicFit fit = fitToMusic(static_cast<int64_t>(imported), music.seconds, hxhost::videoFormat(),
                                        !choices.transitions.empty(), shared);
        choices.durationCode = fit.durationCode;
        choices.transitionLengthCode = fit.transitionLengthCode;
        tellFit(fit, music.seconds);
    }
    if (!hxhost::saveProject(&error))
        return runFailure(command, error);

    // The tool's thumbnails and clip renders scale whole photos: their rows are shared by all cores.
    hxhost::setPixelThreads(settings.threads > 0 ? settings.threads
                                                 : static_cast<int32_t>(std::max(1u, std::thread::hardware_concurrency())));
    const bool edit = options.has("--edit");
    // The export follows the build at once: its first photo decodes beside the build's last steps.
    hxhost::decodeFirstSceneAhead(!edit);
    Plugin plugin;
    if (!runScripted(plugin, slideshowScript(choices, !edit), error))
        return runFailure(command, error);
    if (edit) {
        // The person finishes the show; when they close without creating it, it is created as they left it.
        hxhost::WindowOptions window;
        window.title = "stillset: " + options.value("--output");
        WindowWork work;
        if (!editAndPlay(plugin, defaultPluginPath("stillset"), 0, window, settings, work, error))
            return runFailure(command, "--edit: " + error);
        if (interrupted())
            return runFailure(command, "interrupted; no video was made");
        if (work.run.result != 0)
            return runFailure(command, "the slideshow tool ended with a failure");
        if (work.played && work.played->choice == hxhost::PlayResult::Choice::Written)
            return reportWritten(settings, options.has("--hxhome") ? home.path() : "", project);
        if (hxhost::storyboard().scenes.empty() && !runScripted(plugin, createScript(), error))
            return runFailure(command, error);
    }

    if (const int status = exportShow("slideshow", settings); status != 0)
        return status;
    const int written = reportWritten(settings, options.has("--hxhome") ? home.path() : "", project);
    if (options.has("--count-decodes"))
        printDecodeCounts();
    return written;
}

// stillset-host session: runs the slideshow tool on a host project, as the host's user starts it.
#include "commands.h"
#include "host_options.h"
#include "options.h"
#include "photo_import.h"
#include "tool_and_player.h"

#include "hxhost/log.h"
#include "hxhost/scene_bin.h"
#include "hxhost/session_script.h"
#include "hxhost/setup.h"
#include "hxhost/user.h"
#include "hxhost/video_format.h"
#include "hxhost/window.h"

#include <cstdio>

namespace {

const char kHelp[] =
    "usage: stillset-host session --hxhome DIR --project N [options]\n"
    "\n"
    "Opens (or creates) host project N under the installation DIR, imports photos into its scene bin,\n"
    "runs the slideshow tool on it under a scripted user, or with --window under the person at a\n"
    "desktop window, and prints the log entries the tool wrote.\n"
    "The tool keeps its settings and photo list in DIR/programs/stillset/project<N+1>, so the next\n"
    "session finds the photos as this one left them.\n"
    "\n"
    "Without --script the user answers the tool's question whether to import the scene bin with yes\n"
    "when --import brought photos, takes the default (Cancel or No) of any other requester, and\n"
    "closes the main window. With a script the user plays it and closes the main window after it.\n"
    "With --window the person does all that with mouse and keyboard; closing the window closes the\n"
    "main window. After \"Create slideshow\" the show plays in the window (as 'play' plays it), and\n"
    "the person can go back to the tool from there.\n"
    "The tool's progress meters are shown on standard error.\n"
    "\n";

// The picture asked for with --screenshot, taken once the script has run out and before the user closes.
void screenshotAtTheEnd(const std::string& path)
{
    hxhost::UserAction action;
    action.kind = hxhost::ActionKind::Screenshot;
    action.gadget.window = u"main";
    action.path = path;
    hxhost::scriptedUser()->addAction(action);
}

// "1280x720" into the window's size; false for anything else.
bool parseWindowSize(const std::string& text, hxhost::WindowOptions& options)
{
    int width = 0, height = 0;
    char end = 0;
    if (std::sscanf(text.c_str(), "%dx%d%c", &width, &height, &end) != 2 || width < 160 || height < 120 ||
        width > 16384 || height > 16384)
        return false;
    options.width = width;
    options.height = height;
    return true;
}

} // namespace

const OptionTable& sessionOptions()
{
    static const OptionTable table = joinTables(
        {
            textOption("--hxhome", "DIR", "the installation root (created when missing)"),
            wholeNumberOption("--project", "N", 0, 1000000, "the host's active project number, 0 or more"),
            textOption("--import", "PATH",
                       "a JPEG, PNG, HEIC, WebP or TIFF photo, or a folder of them, for the scene bin;\n"
                       "may be repeated; a folder's subfolders too. Files that are not\n"
                       "photos are skipped and named"),
            switchOption("--no-recurse", "import a folder's own files only, naming the subfolders left out"),
            textOption("--script", "FILE", "a session script: what the user does (format: see README)"),
            textOption("--screenshot", "OUT.png", "a picture of the main window when the script has run out"),
            switchOption("--window", "show the host screen in a desktop window and let the person at\n"
                                     "its mouse and keyboard use the tool (not with --script)"),
            textOption("--window-size", "WxH", "the window's size (default: the screen fitted to the desktop)"),
            screenOption(),
            textOption("--plugin", "PATH", "the slideshow plug-in (default: libstillset.so beside the host library)"),
            switchOption("--render-only", "creating the slideshow renders the photos' clips only and leaves the\n"
                                          "storyboard as it is"),
        },
        {formatOptions("the one the project was built at, else pal")});
    return table;
}

int runSession(const Arguments& arguments)
{
    const std::string command = "session";
    Options options(command, sessionOptions());
    long project = -1;
    if (const int status = parseProjectCommand(options, arguments, kHelp, project); status >= 0)
        return status;
    std::string error;
    hxhost::VideoFormat checked;
    if (!chooseFormat(options, hxhost::VideoFormat{}, checked, error) || !applyScreen(options, error))
        return usageError(command, error);
    const bool windowed = options.has("--window");
    hxhost::WindowOptions windowOptions;
    if (windowed && (options.has("--script") || options.has("--screenshot")))
        return usageError(command, "--window takes no --script or --screenshot: the person at the window acts");
    if (options.has("--window-size") && (!windowed || !parseWindowSize(options.value("--window-size"), windowOptions)))
        return usageError(command, "--window-size takes WIDTHxHEIGHT (at least 160x120) and goes with --window");
    std::shared_ptr<hxhost::ScriptedUser> user = hxhost::scriptedUser();
    if (options.has("--script") && !hxhost::loadSessionScript(options.value("--script"), *user, &error))
        return usageError(command, error);

    if (!openOwnProject(options, project, error))
        return runFailure(command, error);
    if (!applyProjectFormat(options, "session", error))
        return usageError(command, error);
    const size_t imported = importPhotoFiles(photoFilesOf(options.values("--import"), !options.has("--no-recurse")));
    if (!hxhost::saveProject(&error))
        return runFailure(command, error);
    if (!options.has("--script") && !windowed && imported > 0)
        user->addAnswer(1); // yes to importing the scene bin into an empty photo list
    if (options.has("--screenshot"))
        screenshotAtTheEnd(options.value("--screenshot"));
    Plugin plugin;
    WindowWork work;
    ToolRun& run = work.run;
    const uint32_t flags = options.has("--render-only") ? OP_FLAG_RENDER_ONLY : 0;
    const std::string pluginPath = options.value("--plugin", defaultPluginPath("stillset"));
    // At the window the player follows "Create slideshow", and goes back to the tool when asked.
    if (windowed ? !editAndPlay(plugin, pluginPath, flags, windowOptions, std::nullopt, work, error)
                 : !runTool(plugin, pluginPath, flags, run, error))
        return runFailure(command, error);
    for (const hxhost::LogEntry& entry : hxhost::logEntries()) {
        std::printf("log level %d %s:%d module 0x%08X", entry.level, entry.source.c_str(), entry.line, entry.module);
        // The tool's entries say nothing but their place; the host's may name a file it refused.
        if (entry.text.find_first_not_of(' ') != std::string::npos)
            std::printf(": %s", entry.text.c_str());
        std::printf("\n");
    }
    std::printf("session ended with %d\n", run.result);
    return run.result == 0 && run.userPlayedAll ? 0 : 1;
}

#include "commands.h"

#include "hxhost/scene_bin.h"
#include "hxhost/setup.h"

#include <cstdio>

const std::vector<Command>& commands()
{
    static const std::vector<Command> all = {
        {"info", "print the description of an operator plug-in", runInfo, infoOptions},
        {"slideshow", "make a video of photos in one go: import, build and export", runSlideshow, slideshowOptions},
        {"session", "run the slideshow tool on a host project", runSession, sessionOptions},
        {"render-photo", "render one photo as the slideshow tool renders its clip", runRenderPhoto, renderPhotoOptions},
        {"pan", "render a pan-and-zoom motion over one photo as Y4M video", runPan, panOptions},
        {"storyboard", "print a host project's storyboard, or undo its last step", runStoryboard, storyboardOptions},
        {"export", "play a project's storyboard into an MP4, MKV or Y4M file", runExport, exportOptions},
        {"play", "play a project's storyboard in a desktop window, with its sound", runPlay, playOptions},
    };
    return all;
}

void tell(const std::string& command, const std::string& message)
{
    std::fprintf(stderr, "stillset-host: %s%s\n", command.empty() ? "" : (command + ": ").c_str(), message.c_str());
}

int usageError(const std::string& command, const std::string& message)
{
    tell(command, message);
    return 2;
}

int runFailure(const std::string& command, const std::string& message)
{
    tell(command, message);
    return 1;
}

int parseCommand(Options& options, const Arguments& arguments, const std::string& help)
{
    std::string error;
    if (!options.parse(arguments, error))
        return usageError(options.command(), error);
    if (options.helpAsked()) {
        std::fputs((help + optionHelp(options.table())).c_str(), stdout);
        return 0;
    }
    return -1;
}

int parseProjectCommand(Options& options, const Arguments& arguments, const std::string& help, long& project)
{
    if (const int status = parseCommand(options, arguments, help); status >= 0)
        return status;
    const std::string& command = options.command();
    const std::string hint = tryHelp(command);
    if (!options.positional().empty())
        return usageError(command, "unexpected argument '" + options.positional()[0] + "'" + hint);
    if (!options.has("--hxhome") || !options.has("--project"))
        return usageError(command, "--hxhome and --project are required" + hint);
    project = options.wholeNumber("--project", 0);
    return -1;
}

bool openOwnProject(const Options& options, long project, std::string& error)
{
    hxhost::setProjectNumber(static_cast<int32_t>(project));
    return hxhost::installHome(options.value("--hxhome"), &error) && hxhost::lockProject(&error) &&
           hxhost::openProject(&error);
}

// stillset-host: loads the plug-ins through their exports and runs them against the reference host.
#include "commands.h"
#include "interrupt.h"
#include "options.h"

#include "hxhost/warnings.h"

#include <cstdio>
#include <cstring>

namespace {

const char kUsage[] =
    "usage: stillset-host COMMAND [OPTIONS]\n"
    "\n"
    "Commands:\n"
    "  info PLUGIN      print the description of an operator plug-in\n"
    "  slideshow        make a video of photos in one go: import, build and export\n"
    "  session          run the slideshow tool on a host project\n"
    "  render-photo     render one photo as the slideshow tool renders its clip\n"
    "  pan              render a pan-and-zoom motion over one photo as Y4M video\n"
    "  storyboard       print a host project's storyboard, or undo its last step\n"
    "  export           play a project's storyboard into an MP4, MKV or Y4M file\n"
    "\n"
    "Run 'stillset-host COMMAND --help' for the options of a command.\n";

} // namespace

int usageError(const std::string& message)
{
    std::fprintf(stderr, "stillset-host: %s\n", message.c_str());
    return 2;
}

int runFailure(const std::string& message)
{
    usageError(message);
    return 1;
}

bool isHelp(const std::string& argument)
{
    return argument == "--help" || argument == "-h";
}

int parseProjectCommand(Options& options, const Arguments& arguments, const char* help, long& project)
{
    std::string error;
    if (!options.parse(arguments, error) || !options.integer("--project", 0, 1000000, project, error))
        return usageError(error);
    if (options.helpAsked()) {
        std::fputs(help, stdout);
        return 0;
    }
    const std::string& command = options.command();
    if (!options.positional().empty())
        return usageError(command + ": unexpected argument '" + options.positional()[0] + "' (try " + command + " --help)");
    if (!options.has("--hxhome") || project < 0)
        return usageError(command + ": --hxhome and --project are required (try " + command + " --help)");
    return -1;
}

// The command's exit status.
int runCommand(int argc, char** argv)
{
    if (argc < 2)
        return usageError("no command given (try --help)");
    // A damaged stored file found by any command is said at once, whatever the command goes on to do.
    hxhost::setWarningSink([](const std::string& text) { std::fprintf(stderr, "stillset-host: %s\n", text.c_str()); });
    const std::string command = argv[1];
    const Arguments arguments(argv + 2, argv + argc);
    if (isHelp(command)) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (command == "info")
        return runInfo(arguments);
    if (command == "session")
        return runSession(arguments);
    if (command == "render-photo")
        return runRenderPhoto(arguments);
    if (command == "pan")
        return runPan(arguments);
    if (command == "storyboard")
        return runStoryboard(arguments);
    if (command == "export")
        return runExport(arguments);
    if (command == "slideshow")
        return runSlideshow(arguments);
    return usageError("unknown command '" + command + "' (try --help)");
}

int main(int argc, char** argv)
{
    watchForInterrupts();
    const int status = runCommand(argc, argv);
    return interrupted() ? 130 : status;
}

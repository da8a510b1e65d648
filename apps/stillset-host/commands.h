// The host program's commands. Each takes the arguments after its name and returns the exit status.
#ifndef STILLSET_HOST_COMMANDS_H
#define STILLSET_HOST_COMMANDS_H

#include "options.h"

#include <string>
#include <vector>

struct Command {
    const char* name;
    const char* summary;                 // the line in the program's usage
    int (*run)(const Arguments& arguments);
    const OptionTable& (*options)();     // every option the command takes
};
// In the order the program's usage lists them.
const std::vector<Command>& commands();

int runInfo(const Arguments& arguments);
int runSession(const Arguments& arguments);
int runRenderPhoto(const Arguments& arguments);
int runPan(const Arguments& arguments);
int runStoryboard(const Arguments& arguments);
int runExport(const Arguments& arguments);
int runPlay(const Arguments& arguments);
int runSlideshow(const Arguments& arguments);

const OptionTable& infoOptions();
const OptionTable& sessionOptions();
const OptionTable& renderPhotoOptions();
const OptionTable& panOptions();
const OptionTable& storyboardOptions();
const OptionTable& exportOptions();
const OptionTable& playOptions();
const OptionTable& slideshowOptions();

// "stillset-host: COMMAND: message" on standard error, the one form of every error and note the
// program writes; without a command for the program's own. usageError() returns the status for a
// usage error, runFailure() the status for a command that failed while it ran.
void tell(const std::string& command, const std::string& message);
int usageError(const std::string& command, const std::string& message);
int runFailure(const std::string& command, const std::string& message);

// The start every command shares: parses the options and prints `help` and the option lines when
// asked. -1 to go on, else the exit status.
int parseCommand(Options& options, const Arguments& arguments, const std::string& help);
// The start every command on a host project shares: parses the options, prints `help` and the
// option lines when asked, refuses stray arguments and requires --hxhome and --project. -1 to go on
// with `project` set, else the exit status.
int parseProjectCommand(Options& options, const Arguments& arguments, const std::string& help, long& project);
// Installs the home --hxhome names, takes project `project` for this process and opens it; false
// with the reason.
bool openOwnProject(const Options& options, long project, std::string& error);

#endif

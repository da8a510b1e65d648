// The host program's commands. Each takes the arguments after its name and returns the exit status.
#ifndef STILLSET_HOST_COMMANDS_H
#define STILLSET_HOST_COMMANDS_H

#include <string>
#include <vector>

using Arguments = std::vector<std::string>;

int runInfo(const Arguments& arguments);
int runSession(const Arguments& arguments);
int runRenderPhoto(const Arguments& arguments);
int runPan(const Arguments& arguments);
int runStoryboard(const Arguments& arguments);
int runExport(const Arguments& arguments);
int runPlay(const Arguments& arguments);
int runSlideshow(const Arguments& arguments);

// One-line error on standard error; the status for a usage error.
int usageError(const std::string& message);
// One-line error on standard error; the status for a command that failed while it ran.
int runFailure(const std::string& message);
bool isHelp(const std::string& argument);

class Options;
// The start every command on a host project shares: parses the options, prints `help` when asked,
// refuses stray arguments and requires --hxhome and --project. -1 to go on with `project` set, else
// the exit status.
int parseProjectCommand(Options& options, const Arguments& arguments, const char* help, long& project);

#endif

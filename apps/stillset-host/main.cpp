// stillset-host: loads the plug-ins through their exports and runs them against the reference host.
#include "commands.h"
#include "interrupt.h"

#include "hxhost/warnings.h"

#include <cstdio>

namespace {

std::string usage()
{
    std::string text = "usage: stillset-host COMMAND [OPTIONS]\n\nCommands:\n";
    for (const Command& command : commands()) {
        char line[160];
        std::snprintf(line, sizeof line, "  %-14s  %s\n", command.name, command.summary);
        text += line;
    }
    return text + "\nRun 'stillset-host COMMAND --help' for the options of a command.\n";
}

// The command's exit status.
int runCommand(int argc, char** argv)
{
    if (argc < 2)
        return usageError("", "no command given (try stillset-host --help)");
    // A damaged stored file found by any command is said at once, whatever the command goes on to do.
    hxhost::setWarningSink([](const std::string& text) { tell("", text); });
    const std::string name = argv[1];
    if (isHelp(name)) {
        std::fputs(usage().c_str(), stdout);
        return 0;
    }
    for (const Command& command : commands())
        if (name == command.name)
            return command.run(Arguments(argv + 2, argv + argc));
    return usageError("", "unknown command '" + name + "' (try stillset-host --help)");
}

} // namespace

int main(int argc, char** argv)
{
    watchForInterrupts();
    const int status = runCommand(argc, argv);
    return interrupted() ? 130 : status;
}

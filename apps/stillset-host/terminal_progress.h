// The tool's progress meters on standard error: a bar with the meter's text, the count and the time
// left when standard error is a terminal, plain lines otherwise.
#ifndef STILLSET_HOST_TERMINAL_PROGRESS_H
#define STILLSET_HOST_TERMINAL_PROGRESS_H

// From now on every meter the plug-in opens is shown.
void showMetersOnTerminal();

#endif

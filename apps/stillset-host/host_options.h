// Options that set the host up before a plug-in runs: the video format, the encoder and the screen.
#ifndef STILLSET_HOST_HOST_OPTIONS_H
#define STILLSET_HOST_HOST_OPTIONS_H

#include "options.h"

#include "hxhost/video_file.h"
#include "hxhost/video_format.h"

#include <string>

// --format NAME (or --standard pal|hd1080, its older name) and --fps RATE, the format table in the
// help; `fallback` says what runs without them.
OptionTable formatOptions(const std::string& fallback);
// The format the options ask for, else `fallback` (at --fps when only that is given); false with a
// message for a format or rate there is not.
bool chooseFormat(const Options& options, const hxhost::VideoFormat& fallback, hxhost::VideoFormat& out,
                  std::string& error);
// Sets the host's format from the options, else `fallbackName` at its own rate.
bool applyFormat(const Options& options, const std::string& fallbackName, std::string& error);
// For a command on an existing project: the options' format, else the one the project was built at,
// else PAL. Says on standard error when the options override the project's own.
bool applyProjectFormat(const Options& options, const std::string& command, std::string& error);

// --codec, --quality (or --crf) and --preset, each codec's defaults in the help.
OptionTable encoderOptions();
hxhost::EncoderChoice readEncoder(const Options& options);
// --threads N: the threads of an export.
OptionEntry threadsOption();
// --screen 1920x1080|1280x720 (default 1920x1080).
OptionEntry screenOption();
// False with a message when the host cannot show the screen asked for.
bool applyScreen(const Options& options, std::string& error);

#endif

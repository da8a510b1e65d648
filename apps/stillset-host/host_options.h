// Options that set the host up before a plug-in runs: the video format, the encoder and the screen.
#ifndef STILLSET_HOST_HOST_OPTIONS_H
#define STILLSET_HOST_HOST_OPTIONS_H

#include "options.h"

#include "hxhost/video_file.h"
#include "hxhost/video_format.h"

#include <set>
#include <string>

// --format NAME (or --standard pal|hd1080, its older name) and --fps RATE.
inline const std::set<std::string> kFormatOptions = {"--format", "--standard", "--fps"};
// The help lines of those options, the format table with them; `fallback` says what runs without them.
std::string formatHelp(const std::string& fallback);
// The format the options ask for, else `fallback` (at --fps when only that is given); false with a
// message for a format or rate there is not.
bool chooseFormat(const Options& options, const hxhost::VideoFormat& fallback, hxhost::VideoFormat& out,
                  std::string& error);
// Sets the host's format from the options, else `fallbackName` at its own rate.
bool applyFormat(const Options& options, const std::string& fallbackName, std::string& error);
// For a command on an existing project: the options' format, else the one the project was built at,
// else PAL. Says on standard error when the options override the project's own.
bool applyProjectFormat(const Options& options, const std::string& command, std::string& error);

// --codec, --quality (or --crf) and --preset.
inline const std::set<std::string> kEncoderOptions = {"--codec", "--quality", "--crf", "--preset"};
// Their help lines, with each codec's defaults.
std::string encoderHelp();
// False with a message for a quality that is not a number from 0 to 63.
bool readEncoder(const Options& options, hxhost::EncoderChoice& out, std::string& error);
// --screen 1920x1080|1280x720 (default 1920x1080); false with a message for anything else.
bool applyScreen(const Options& options, std::string& error);

#endif

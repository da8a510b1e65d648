// Options that shape a show's sound and its ends: the music bed, the loudness and the fades.
#ifndef STILLSET_HOST_SOUND_OPTIONS_H
#define STILLSET_HOST_SOUND_OPTIONS_H

#include "options.h"

#include "hxhost/show_audio.h"

#include <string>

// --music FILE, --loudness LUFS|off and --fade SECONDS.
OptionTable soundOptions();
// The settings the options ask for; false with a message for a loudness that is neither 'off' nor in range.
bool readSound(const Options& options, hxhost::SoundSettings& out, std::string& error);

#endif

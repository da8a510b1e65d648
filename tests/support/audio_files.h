// Sound files with known content for the tests, written with the FFmpeg libraries.
#ifndef TESTS_SUPPORT_AUDIO_FILES_H
#define TESTS_SUPPORT_AUDIO_FILES_H

#include <string>

struct Tone {
    std::string container = "wav"; // "wav", "flac", "mp3", "ogg" (Vorbis), "opus", "m4a" (AAC) or "wma"
    int rate = 44100;
    int channels = 2;
    double seconds = 1.0;
    double frequency = 440.0;
    double amplitude = 0.5;
    // "sine"; or "drums": four thumps a second at `frequency`, each peaking at `amplitude` and dying
    // away in a tenth of a second, as loud and peaky as a drum loop
    std::string wave = "sine";
    std::string title;             // no tag when empty
};

// An 80 Hz drum loop at 48 kHz peaking at `amplitude`.
Tone drumLoop(const std::string& container, double seconds, double amplitude);

// Writes the tone; the empty string on success, else why not.
std::string writeTone(const std::string& path, const Tone& tone);

#endif

// Playing the active project's storyboard into a video file: every scene, effect and transition
// field by field, with the jingles and an optional music bed, through hxhost::VideoFile.
#ifndef HXHOST_EXPORT_H
#define HXHOST_EXPORT_H

#include "hxhost/api.h"
#include "hxhost/show_audio.h"
#include "hxhost/video_file.h"

#include <cstdint>
#include <functional>
#include <string>

namespace hxhost {

struct ExportSettings {
    std::string output;              // .mp4, .mkv, .webm, .y4m (with a .wav), or /dev/null to render only
    SoundSettings sound;             // the music bed, the loudness and the fades at the show's ends
    int32_t threads = 0;             // render workers and encoder threads; 0: one a core
    int64_t from = 0;                // the first frame written
    int64_t to = -1;                 // the frame to stop before; -1: the storyboard's end
    EncoderChoice encoder;
    // Told after each frame: frames done of the frames to do.
    std::function<void(int64_t done, int64_t total)> progress;
    // Asked before each frame; true stops the export, and nothing is left under the output's name.
    std::function<bool()> stop;
};

// Frames the export of the active storyboard writes with these settings: to - from.
HXHOST_API int64_t exportFrames(const ExportSettings& settings);

// What an export with these settings would refuse of the output's kind or the encoder's settings (an
// unknown preset), found before any work; false with the reason.
HXHOST_API bool checkExportSettings(const ExportSettings& settings, std::string* error = nullptr);

// False with the reason when the storyboard is empty, the range is wrong, a scene cannot be played,
// a sound cannot be read, the file cannot be written or the export was stopped; no file is left then.
HXHOST_API bool exportStoryboard(const ExportSettings& settings, std::string* error = nullptr);

} // namespace hxhost

#endif

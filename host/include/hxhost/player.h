// The player: the active project's storyboard shown in the desktop window in real time with its
// sound, the frames the export writes and the sound it mixes, with a timeline strip to seek on,
// controls on screen and on keys, and, when asked, the file written from the window with its progress.
#ifndef HXHOST_PLAYER_H
#define HXHOST_PLAYER_H

#include "hxhost/api.h"
#include "hxhost/show_audio.h"
#include "hxhost/export.h"
#include "hxhost/window.h"

#include <cstdint>
#include <optional>
#include <string>

namespace hxhost {

// Where the player's frame puts its parts, frame pixels; the window shows the frame fitted to it.
struct PlayerLayout {
    int32_t width = 0, height = 0;
    ViewRect picture; // the show, at its display aspect, centred
    ViewRect strip;   // the timeline strip: a small picture a scene, lengths to scale
    int32_t statusTop = 0;
};
// The layout for the current video format.
HXHOST_API PlayerLayout playerLayout();

struct PlayOptions {
    WindowOptions window;
    int64_t startFrame = 0;
    bool paused = false;
    SoundSettings sound; // the music bed, loudness and fades, as the export takes them
    // Offer going back to the tool (the person's choice ends the player).
    bool offerTool = false;
    // Offer writing the file with these settings; the player shows its progress and a Stop button.
    std::optional<ExportSettings> write;
};

struct PlayResult {
    enum class Choice { Closed, BackToTool, Written } choice = Choice::Closed;
    int64_t frame = 0;    // the frame shown last
    int64_t shown = 0;    // pictures shown while playing (fields of an interlaced format)
    int64_t dropped = 0;  // pictures whose time passed before they could be shown
};

// Plays until the person closes the window, presses Escape, goes back to the tool or writes the file.
// False with the reason when the window cannot open, the show cannot play, or writing failed (the
// window then closes; nothing is left under the output's name).
HXHOST_API bool playStoryboard(const PlayOptions& options, PlayResult& result, std::string* error = nullptr);

} // namespace hxhost

#endif

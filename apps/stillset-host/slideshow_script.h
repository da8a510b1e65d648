// What the slideshow command asks of the tool, and the session script in which a user asks it: the
// photos' duration, the transitions with their length, order and sharing, the jingle, the pan presets,
// then the create button.
#ifndef STILLSET_HOST_SLIDESHOW_SCRIPT_H
#define STILLSET_HOST_SLIDESHOW_SCRIPT_H

#include <cstdint>
#include <string>
#include <vector>

struct SlideshowChoices {
    int32_t durationCode = 4;             // the duration popup's entry: 5 seconds
    std::vector<std::string> transitions; // the host's transition names, in order
    int32_t transitionLengthCode = 2;     // the length popup's entry: 1 second
    bool randomOrder = false;
    int32_t repeatCode = 0;               // "Use each" once
    std::vector<int32_t> panPresets;      // 0 to 4, in order
    std::string jingleFile;
};

// The tool's popups offer fixed values; each pick is the entry nearest to what was asked.
struct PopupPick {
    int32_t code;   // the entry
    double value;   // what it stands for
    bool exact;     // the asked value was on offer
};
// An entry of a popup and what it stands for.
struct PopupEntry {
    int32_t code;
    double value;
};
// Every entry of the duration and transition length popups, in order.
std::vector<PopupEntry> photoDurations();
std::vector<PopupEntry> transitionLengths();
PopupPick photoDuration(double seconds);
PopupPick transitionLength(double seconds);
PopupPick transitionRepeat(double times);

// The session script for a tool whose photo list is empty and whose scene bin holds the photos;
// it ends by pressing "Create slideshow" when `create`.
std::string slideshowScript(const SlideshowChoices& choices, bool create = true);
// A session that only presses "Create slideshow".
std::string createScript();

#endif

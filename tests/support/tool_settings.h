// The slideshow tool's stored choices ("slset.dat", version 5) written for a test, so that its
// create button builds a storyboard with transitions, pan effects and a jingle.
#ifndef TESTS_SUPPORT_TOOL_SETTINGS_H
#define TESTS_SUPPORT_TOOL_SETTINGS_H

#include <cstdint>
#include <string>
#include <vector>

struct ToolChoices {
    int32_t durationCode = 4;             // given to photos as they come in
    std::vector<std::string> transitions; // operator files: "transition/dissolve"
    int32_t transitionLengthCode = 2;     // 1 second
    std::vector<uint32_t> panModes;       // one pan effect each
    std::string jingleFile;
};

void writeToolSettings(const std::string& projectDirectory, const ToolChoices& choices);

#endif

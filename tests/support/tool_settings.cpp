#include "support/tool_settings.h"

#include <filesystem>
#include <fstream>

namespace {

void word(std::string& out, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

void text(std::string& out, const std::string& value)
{
    word(out, static_cast<uint32_t>(value.size()));
    out += value;
}

} // namespace

void writeToolSettings(const std::string& projectDirectory, const ToolChoices& choices)
{
    std::string out;
    for (uint32_t value : {5u, static_cast<uint32_t>(choices.durationCode), 1u, 3u,
                           static_cast<uint32_t>(!choices.transitions.empty()),
                           static_cast<uint32_t>(choices.transitionLengthCode), 0u, 0u,
                           static_cast<uint32_t>(choices.transitions.size())})
        word(out, value);
    for (const std::string& name : choices.transitions) {
        text(out, name);
        word(out, 0); // variant
        word(out, 0); // no block: the transition's defaults
    }
    text(out, choices.jingleFile);
    const std::string name = choices.jingleFile.empty() ? "" : "Jingle";
    word(out, static_cast<uint32_t>(name.size()));
    for (char c : name)
        out += std::string{c, '\0'};
    for (uint32_t value : {static_cast<uint32_t>(!choices.panModes.empty()), 0u, 0u,
                           static_cast<uint32_t>(choices.panModes.size())})
        word(out, value);
    for (uint32_t mode : choices.panModes) {
        text(out, "longterm/stillsetpan.opw");
        word(out, mode); // variant
        word(out, 4);
        word(out, mode); // the pan operator's block: its mode
    }
    for (uint32_t value : {0u, 1u, 0u}) // grid position, replace the storyboard, reserved
        word(out, value);
    std::filesystem::create_directories(projectDirectory);
    std::ofstream(projectDirectory + "/slset.dat", std::ios::binary) << out;
}

#include "slideshow_script.h"

#include <cmath>
#include <iterator>

namespace {

// The values of the tool's popups, in entry order.
constexpr double kDurations[] = {1, 2, 3, 4, 5, 7, 10, 15, 20, 30};
constexpr double kTransitionLengths[] = {0.2, 0.5, 1, 2, 3, 4, 5, 7, 10};
constexpr double kRepeats[] = {1, 2, 3, 5, 10, 20};
constexpr int32_t kDefaultDurationCode = 4;

// Ties go to the longer entry: a show that runs a little long loses nothing.
template <size_t N> PopupPick nearest(const double (&values)[N], double asked)
{
    size_t best = 0;
    for (size_t i = 1; i < N; ++i)
        if (std::fabs(values[i] - asked) <= std::fabs(values[best] - asked))
            best = i;
    return {static_cast<int32_t>(best), values[best], std::fabs(values[best] - asked) < 1e-9};
}

// A text of the script: quoted, with its quotes and backslashes escaped.
std::string quoted(const std::string& text)
{
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\')
            out += '\\';
        out += c;
    }
    return out + "\"";
}

void addTransitions(const SlideshowChoices& c, std::string& s)
{
    s += "press \"Transitions...\"\n";
    for (size_t i = 0; i < c.transitions.size(); ++i) {
        if (i > 0) // a new transition lands after the selected row
            s += "select list " + std::to_string(i - 1) + "\n";
        s += "pick-operators " + c.transitions[i] + "\n";
        s += "press \"Add...\"\n";
    }
    if (!c.jingleFile.empty()) {
        s += "pick-file " + quoted(c.jingleFile) + "\n";
        s += "press \"Music...\"\n";
    }
    s += "choose \"Length\" " + std::to_string(c.transitionLengthCode) + "\n";
    s += "choose \"Order\" " + std::string(c.randomOrder ? "1" : "0") + "\n";
    s += "choose \"Use each\" " + std::to_string(c.repeatCode) + "\n";
    s += "press ok in \"Transitions\"\n";
}

void addEffects(const SlideshowChoices& c, std::string& s)
{
    s += "press \"Effects...\"\n";
    for (size_t i = 0; i < c.panPresets.size(); ++i) {
        if (i > 0)
            s += "select list " + std::to_string(i - 1) + "\n";
        s += "press \"Add...\"\n";
        s += "select list " + std::to_string(c.panPresets[i]) + "\n";
        s += "press ok\n"; // the preset list, above the effects requester
    }
    s += "press ok in \"Effects\"\n";
}

template <size_t N> std::vector<PopupEntry> entries(const double (&values)[N])
{
    std::vector<PopupEntry> out;
    for (size_t i = 0; i < N; ++i)
        out.push_back({static_cast<int32_t>(i), values[i]});
    return out;
}

} // namespace

std::vector<PopupEntry> photoDurations()
{
    return entries(kDurations);
}

std::vector<PopupEntry> transitionLengths()
{
    return entries(kTransitionLengths);
}

PopupPick photoDuration(double seconds)
{
    return nearest(kDurations, seconds);
}

PopupPick transitionLength(double seconds)
{
    return nearest(kTransitionLengths, seconds);
}

PopupPick transitionRepeat(double times)
{
    return nearest(kRepeats, times);
}

std::string slideshowScript(const SlideshowChoices& c, bool create)
{
    std::string s = "# Made by stillset-host slideshow.\n"
                    "answer yes\n"; // take the scene bin's photos into the empty list
    if (c.durationCode != kDefaultDurationCode) {
        s += "press \"Default duration...\"\n";
        s += "choose \"Duration\" in \"Default duration\" " + std::to_string(c.durationCode) + "\n";
        s += "press ok in \"Default duration\"\n";
        s += "check \"To all photos\" on\n";
        s += "press ok in \"Apply the new default duration\"\n";
    }
    if (!c.transitions.empty())
        addTransitions(c, s);
    if (!c.panPresets.empty())
        addEffects(c, s);
    return create ? s + createScript() : s;
}

std::string createScript()
{
    return "press \"Create slideshow\"\n";
}

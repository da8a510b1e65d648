#include "unfinished_build.h"

std::string unfinishedBuildNote(const hxhost::Storyboard& board)
{
    if (board.unfinishedFrom < 0)
        return {};
    const size_t first = static_cast<size_t>(board.unfinishedFrom) + 1, last = board.scenes.size();
    const std::string scenes = first == last ? "scene " + std::to_string(first)
                                             : "scenes " + std::to_string(first) + " to " + std::to_string(last);
    return "the last build of this storyboard did not finish: " + scenes +
           " may lack their effects and transitions (the next \"Create slideshow\" offers to finish it)";
}

// The fade at a show's ends, shared by its picture and its sound so that both move together.
#ifndef HX_SHOW_FADE_H
#define HX_SHOW_FADE_H

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace hx {

// The level, 0 to 1, `fromStart` steps after the show's start and `toEnd` steps before its end, with
// fades `length` steps long (none when 0); in a show shorter than two fades they meet in the middle.
inline double showFadeLevel(int64_t fromStart, int64_t toEnd, int64_t length)
{
    if (length <= 0)
        return 1.0;
    return std::clamp(static_cast<double>(std::min(fromStart, toEnd)) / static_cast<double>(length), 0.0, 1.0);
}

// A fade of `seconds` in steps of 1 / perSecond (none for a negative length).
inline int64_t fadeSteps(double seconds, double perSecond)
{
    return static_cast<int64_t>(std::llround(std::max(seconds, 0.0) * perSecond));
}

} // namespace hx

#endif

// The value text of a slider from the program's format ("%ld", "%ld%%").
#ifndef HX_GUI_SLIDER_TEXT_H
#define HX_GUI_SLIDER_TEXT_H

#include <cstdint>
#include <string>

namespace hx {

// Integer conversions (%d %i %ld %u, with width) take the value and %% gives %; anything else in
// the format is shown as it stands, so a format can never read beyond the one value.
std::u16string sliderText(const std::u16string& format, int32_t value);

} // namespace hx

#endif

// Icons kept as text, so that a change to one reads as a change in a diff:
//   icon <width> <height>
//   <key> <AARRGGBB>        one line per colour; a key is two characters without blanks
//   rows
//   <height lines of width keys>
// Lines starting with '#' are comments.
#ifndef HX_TEXT_ICON_H
#define HX_TEXT_ICON_H

#include "image/png_io.h"

namespace hx {

bool readTextIcon(const std::string& path, ArgbPicture& picture, size_t maxPixels, std::string* error);

} // namespace hx

#endif

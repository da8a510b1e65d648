// The bytes of a project's "format.txt": the format it was built at, by name and rate.
#ifndef HX_PROJECT_FORMAT_H
#define HX_PROJECT_FORMAT_H

#include "hxhost/video_format.h"

#include <string>

namespace hx {

// The bytes that keep `format`.
std::string encodeProjectFormat(const hxhost::VideoFormat& format);
// The format the bytes keep; false, `out` untouched, for anything but a format of the table at a
// rate it runs at.
bool decodeProjectFormat(const std::string& bytes, hxhost::VideoFormat& out);

} // namespace hx

#endif

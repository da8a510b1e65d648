// Conversions between UTF-8 and the host's 16-bit texts.
#ifndef HX_UTF_H
#define HX_UTF_H

#include <string>

namespace hx {

std::u16string utf8To16(const std::string& text);
std::string utf16To8(const std::u16string& text);

} // namespace hx

#endif

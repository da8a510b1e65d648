// The host's pictures and texts made for people: a picture saved as PNG, a 16-bit text as UTF-8.
#ifndef HXHOST_FOR_PEOPLE_H
#define HXHOST_FOR_PEOPLE_H

#include "hxhost/api.h"

#include <string>

struct OpImage;

namespace hxhost {

// Saves a format-1 picture as an RGB PNG at its display aspect (non-square pixels widened),
// with the current standard's colours; the file is replaced atomically.
HXHOST_API bool writeImagePng(const OpImage* image, const std::string& path, std::string* error = nullptr);

// A 16-bit text of the host as UTF-8, for printing.
HXHOST_API std::string utf8Of(const std::u16string& text);

} // namespace hxhost

#endif

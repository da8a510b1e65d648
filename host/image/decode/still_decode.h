// Still pictures decoded for the scene bin: oriented for display and fitted to what an image holds.
#ifndef HX_STILL_DECODE_H
#define HX_STILL_DECODE_H

#include "image/image_blocks.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace hx {

// Format-1 pixels, rows without gaps, at most 32767 a side.
struct Still {
    int32_t width = 0;
    int32_t height = 0;
    PooledBytes pixels;
    size_t bytes() const { return static_cast<size_t>(width) * static_cast<size_t>(height) * 4; }
};

// A file decoded on any thread: the still, or the reason it has none ("<path>: ..."); `note` names what
// was wrong short of failing (a broken colour profile).
// `reduced` says the still is a small copy of a picture of `fullWidth` x `fullHeight` (as seen).
struct DecodedStill {
    std::shared_ptr<const Still> still;
    std::string error;
    std::string note;
    bool reduced = false;
    int32_t fullWidth = 0;
    int32_t fullHeight = 0;
};
// JPEG, PNG, HEIF, WebP or TIFF, told apart by their content. Touches no host state. With
// `checkOnly`, a JPEG decodes a small copy: every byte read, at most a quarter of the pixels.
DecodedStill decodeStillFile(const std::string& path, bool highDefinition, size_t maxPixels, bool checkOnly = false);
// The same for a file's bytes; `name` stands for the file in the reasons.
DecodedStill decodeStillBytes(const std::string& bytes, const std::string& name, bool highDefinition, size_t maxPixels,
                              bool checkOnly = false);

// On the host's thread: counts the decode ("decodeStill"), logs its note, and hands over the still,
// or null with the reason in *error.
std::shared_ptr<const Still> acceptStill(DecodedStill decoded, std::string* error);

// Notes the decode for hxhost::stillDecodes(), under `file`.
void countDecode(const std::string& file, const DecodedStill& decoded);

// Both of the above, at the host's pixel limit; counted under `path`.
std::shared_ptr<const Still> decodeStill(const std::string& path, bool highDefinition, std::string* error);

} // namespace hx

#endif

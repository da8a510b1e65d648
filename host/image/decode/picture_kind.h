// Which decoder a file's bytes are for, by their content alone: names and extensions lie.
#ifndef HX_PICTURE_KIND_H
#define HX_PICTURE_KIND_H

#include <string>

namespace hx {

enum class PictureKind { Unknown, Jpeg, Png, Heif, Webp, Tiff };

PictureKind pictureKindOf(const std::string& bytes);

} // namespace hx

#endif

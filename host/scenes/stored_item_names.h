// The scene bin items the project's other stores name. A bin read without its high-water mark (an
// older bin, a damaged one, none at all) starts its ids above all of them, so that no new item takes
// the id of a photo, a clip or a scene that something stored still points at.
#ifndef HX_STORED_ITEM_NAMES_H
#define HX_STORED_ITEM_NAMES_H

#include <cstdint>
#include <string>

namespace hx {

// Over the whole entries of the slideshow tool's stored photo lists in `directory` ("photos.hxl"
// and the lists set aside beside it); 0 when none names an item.
uint32_t highestItemInPhotoLists(const std::string& directory);
// Over the stills the photo clips of the project directory were rendered from.
uint32_t highestItemInPhotoClips(const std::string& projectDirectory);
// Over the clips the scenes of the project's stored storyboard play.
uint32_t highestItemInStoryboard(const std::string& projectDirectory);

} // namespace hx

#endif

// Effects and transitions placed on storyboard scenes, and the operators loaded for them.
#ifndef HX_STORYBOARD_OPERATORS_H
#define HX_STORYBOARD_OPERATORS_H

#include <cstdint>
#include <optional>
#include <string>

namespace hx {

// Unloads every operator loaded for a placement (nslSBTransitionLoad, nslSBLongFXLoad).
void unloadPlacedOperators();
// The length of a jingle's audio in microseconds, or nothing when the file is no audio we can read.
std::optional<int64_t> measureJingle(const std::string& path);

} // namespace hx

#endif

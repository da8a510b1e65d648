// Text of the toolkit: DejaVu Sans through FreeType at the font height of the screen.
#ifndef HX_GUI_FONT_H
#define HX_GUI_FONT_H

#include "gui/canvas.h"

#include <cstdint>
#include <string_view>

namespace hx {

// Width in pixels of the text's advances with kerning; 0 when the font cannot be loaded.
int32_t textWidth(std::u16string_view text);
// Draws one line whose box of font height starts at `top`; text beyond maxWidth ends in "...".
void drawText(const Canvas& canvas, int32_t x, int32_t top, std::u16string_view text, uint32_t rgb,
              int32_t maxWidth = INT32_MAX);

} // namespace hx

#endif

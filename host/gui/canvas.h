// Drawing into a window's pixels: a clip rectangle and an origin for the program's coordinates.
#ifndef HX_GUI_CANVAS_H
#define HX_GUI_CANVAS_H

#include <cstdint>
#include <optional>
#include <string_view>

struct UgWindow;

namespace hx {

struct Rect {
    int32_t x0 = 0, y0 = 0, x1 = -1, y1 = -1; // inclusive corners
    bool empty() const { return x1 < x0 || y1 < y0; }
    Rect intersect(const Rect& other) const;
    int32_t width() const { return x1 - x0 + 1; }
    int32_t height() const { return y1 - y0 + 1; }
};

struct Canvas {
    UgWindow* window = nullptr;
    int32_t originX = 0, originY = 0; // added to every coordinate drawn
    Rect clip;                        // in window pixels

    void fill(Rect area, uint32_t rgb) const;                    // area in canvas coordinates
    void blend(int32_t x, int32_t y, uint32_t argb) const;       // one pixel with alpha
    void put(int32_t x, int32_t y, uint32_t rgb) const;
    // Raised (light top-left) or sunken frame of `thickness` pixels inside `area`.
    void frame(Rect area, uint32_t topLeft, uint32_t bottomRight, int32_t thickness) const;
    void line(int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t thickness, uint32_t rgb) const;
    Canvas clipped(Rect area) const; // area in canvas coordinates
};

// The whole window in window pixels.
Canvas windowCanvas(UgWindow* window);
// The program's part of the window, in its own coordinates.
Canvas contentCanvas(UgWindow* window);
// Where a drawing call goes: the window's content, or with a null window the toolkit's current
// target (the grid cell being painted); none when there is neither.
std::optional<Canvas> drawingTarget(UgWindow* window);
void setCurrentTarget(std::optional<Canvas> target);
// Forgets a closed window's canvases.
void forgetWindowTarget(const UgWindow* window);

} // namespace hx

#endif

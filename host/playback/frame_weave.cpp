#include "playback/frame_weave.h"

namespace hx {

bool fieldsWeave(const OpImage* top, const OpImage* bottom)
{
    return top && bottom && top->format == OP_FORMAT_YUVA && bottom->format == OP_FORMAT_YUVA && top->planes[0] &&
           bottom->planes[0] && top->width == bottom->width && top->height == bottom->height && top->width % 2 == 0 &&
           top->height % 2 == 0 && top->width > 0 && top->height > 0;
}

void weaveFields420(const OpImage* top, const OpImage* bottom, const Planes420& out)
{
    const int32_t width = top->width, fieldRows = top->height;
    const size_t rowBytes = static_cast<size_t>(width) * 4;
    for (int32_t r = 0; r < 2 * fieldRows; ++r) {
        const uint8_t* p = (r % 2 ? bottom : top)->planes[0] + static_cast<size_t>(r / 2) * rowBytes;
        uint8_t* y = out.y + static_cast<size_t>(r) * out.yStride;
        for (int32_t x = 0; x < width; ++x)
            y[x] = p[4 * x + 3];
    }
    // Chroma row c belongs to the top field when c is even and to the bottom field when odd; each
    // averages 2 x 2 pixels of two neighbouring rows of its own field.
    for (int32_t c = 0; c < fieldRows; ++c) {
        const OpImage* field = c % 2 ? bottom : top;
        const int32_t fieldRow = (c / 2) * 2;
        const uint8_t* a = field->planes[0] + static_cast<size_t>(fieldRow) * rowBytes;
        const uint8_t* b = a + rowBytes;
        uint8_t* u = out.u + static_cast<size_t>(c) * out.uStride;
        uint8_t* v = out.v + static_cast<size_t>(c) * out.vStride;
        for (int32_t x = 0; x < width / 2; ++x, a += 8, b += 8) {
            u[x] = static_cast<uint8_t>((a[1] + a[5] + b[1] + b[5] + 2) >> 2);
            v[x] = static_cast<uint8_t>((a[2] + a[6] + b[2] + b[6] + 2) >> 2);
        }
    }
}

} // namespace hx

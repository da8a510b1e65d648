// The toolkit's text: DejaVu Sans rendered by FreeType, glyphs cached per size.
#include "gui/font.h"

#include "gui/screen.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <map>
#include <vector>

namespace {

constexpr const char* kFontPath = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

struct Glyph {
    int32_t left = 0, top = 0, width = 0, height = 0, advance = 0; // advance in 26.6 units
    uint32_t index = 0;
    std::vector<uint8_t> coverage;
};

struct Font {
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    int32_t pixelSize = 0;
    int32_t ascender = 0;
    std::map<char32_t, Glyph> glyphs;

    Font()
    {
        if (FT_Init_FreeType(&library) != 0)
            return;
        if (FT_New_Face(library, kFontPath, 0, &face) != 0)
            face = nullptr;
    }
    ~Font()
    {
        if (face)
            FT_Done_Face(face);
        if (library)
            FT_Done_FreeType(library);
    }
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;

    // Sizes the face so that ascender and descender fill the font height of the screen.
    bool ready()
    {
        if (!face)
            return false;
        const int32_t height = hx::fontHeight();
        const int32_t size = std::max(6, height * face->units_per_EM / (face->ascender - face->descender));
        if (size != pixelSize) {
            if (FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(size)) != 0)
                return false;
            pixelSize = size;
            ascender = static_cast<int32_t>((face->size->metrics.ascender + 32) >> 6);
            glyphs.clear();
        }
        return true;
    }

    const Glyph& glyph(char32_t code)
    {
        auto found = glyphs.find(code);
        if (found != glyphs.end())
            return found->second;
        Glyph& g = glyphs[code];
        g.index = FT_Get_Char_Index(face, code);
        if (FT_Load_Glyph(face, g.index, FT_LOAD_RENDER | FT_LOAD_TARGET_LIGHT) != 0)
            return g;
        const FT_GlyphSlot slot = face->glyph;
        g.left = slot->bitmap_left;
        g.top = slot->bitmap_top;
        g.width = static_cast<int32_t>(slot->bitmap.width);
        g.height = static_cast<int32_t>(slot->bitmap.rows);
        g.advance = static_cast<int32_t>(slot->advance.x);
        g.coverage.resize(static_cast<size_t>(g.width) * g.height);
        for (int32_t y = 0; y < g.height; ++y)
            for (int32_t x = 0; x < g.width; ++x)
                g.coverage[static_cast<size_t>(y) * g.width + x] = slot->bitmap.buffer[y * slot->bitmap.pitch + x];
        return g;
    }

    int32_t kerning(uint32_t previous, uint32_t next)
    {
        if (!previous || !FT_HAS_KERNING(face))
            return 0;
        FT_Vector delta{};
        FT_Get_Kerning(face, previous, next, FT_KERNING_DEFAULT, &delta);
        return static_cast<int32_t>(delta.x);
    }
};

Font& font()
{
    static Font f;
    return f;
}

std::u32string decode(std::u16string_view text)
{
    std::u32string out;
    for (size_t i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i];
        if (unit >= 0xD800 && unit < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000) {
            out += static_cast<char32_t>(0x10000 + ((unit - 0xD800) << 10) + (text[i + 1] - 0xDC00));
            ++i;
        } else {
            out += unit;
        }
    }
    return out;
}

// Pen positions (26.6) of each character and the end.
std::vector<int32_t> penPositions(Font& f, const std::u32string& text)
{
    std::vector<int32_t> pens;
    int32_t pen = 0;
    uint32_t previous = 0;
    for (char32_t code : text) {
        const Glyph& g = f.glyph(code);
        pen += f.kerning(previous, g.index);
        pens.push_back(pen);
        pen += g.advance;
        previous = g.index;
    }
    pens.push_back(pen);
    return pens;
}

void drawRun(Font& f, const hx::Canvas& canvas, int32_t x, int32_t baseline, const std::u32string& text, uint32_t rgb)
{
    const std::vector<int32_t> pens = penPositions(f, text);
    for (size_t i = 0; i < text.size(); ++i) {
        const Glyph& g = f.glyph(text[i]);
        const int32_t gx = x + ((pens[i] + 32) >> 6) + g.left, gy = baseline - g.top;
        for (int32_t y = 0; y < g.height; ++y)
            for (int32_t col = 0; col < g.width; ++col)
                if (const uint8_t c = g.coverage[static_cast<size_t>(y) * g.width + col])
                    canvas.blend(gx + col, gy + y, static_cast<uint32_t>(c) << 24 | (rgb & 0xFFFFFF));
    }
}

} // namespace

namespace hx {

int32_t textWidth(std::u16string_view text)
{
    Font& f = font();
    if (!f.ready())
        return 0;
    return (penPositions(f, decode(text)).back() + 63) >> 6;
}

void drawText(const Canvas& canvas, int32_t x, int32_t top, std::u16string_view text, uint32_t rgb, int32_t maxWidth)
{
    Font& f = font();
    if (!f.ready() || maxWidth <= 0)
        return;
    std::u32string run = decode(text);
    if (textWidth(text) > maxWidth) {
        const std::u32string dots = U"...";
        const int32_t room = maxWidth - ((penPositions(f, dots).back() + 63) >> 6);
        const std::vector<int32_t> pens = penPositions(f, run);
        size_t keep = 0;
        while (keep < run.size() && ((pens[keep + 1] + 63) >> 6) <= room)
            ++keep;
        run = run.substr(0, keep) + dots;
    }
    drawRun(f, canvas, x, top + f.ascender, run, rgb);
}

} // namespace hx

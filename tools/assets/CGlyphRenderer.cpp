#include "tools/assets/CGlyphRenderer.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <climits>
#include <cmath>
#include <stdexcept>

namespace Assets {

CGlyphRenderer::CGlyphRenderer(const std::string& fontPath) : library(nullptr), face(nullptr)
{
    FT_Library lib = nullptr;
    if (FT_Init_FreeType(&lib) != 0)
        throw std::runtime_error("CGlyphRenderer::CGlyphRenderer() - FreeType failed to start");
    FT_Face f = nullptr;
    if (FT_New_Face(lib, fontPath.c_str(), 0, &f) != 0) {
        FT_Done_FreeType(lib);
        throw std::runtime_error("CGlyphRenderer::CGlyphRenderer() - cannot read the font '" + fontPath +
                                 "' (install fonts-dejavu-core)");
    }
    library = lib;
    face = f;
}

CGlyphRenderer::~CGlyphRenderer()
{
    FT_Done_Face(static_cast<FT_Face>(face));
    FT_Done_FreeType(static_cast<FT_Library>(library));
}

template <typename Visit>
void CGlyphRenderer::Render(const std::string& text, int pixelSize, double xScale, Visit visit)
{
    FT_Face f = static_cast<FT_Face>(face);
    if (FT_Set_Pixel_Sizes(f, 0, static_cast<FT_UInt>(pixelSize)) != 0)
        throw std::runtime_error("CGlyphRenderer - bad pixel size");
    FT_Matrix matrix;
    matrix.xx = static_cast<FT_Fixed>(std::lround(xScale * 65536.0));
    matrix.xy = 0;
    matrix.yx = 0;
    matrix.yy = 0x10000;
    FT_Set_Transform(f, &matrix, nullptr);
    long pen = 0; // 26.6 fixed point
    FT_UInt previous = 0;
    for (unsigned char ch : text) {
        FT_UInt index = FT_Get_Char_Index(f, ch);
        if (previous != 0 && index != 0 && FT_HAS_KERNING(f)) {
            FT_Vector kern;
            if (FT_Get_Kerning(f, previous, index, FT_KERNING_DEFAULT, &kern) == 0)
                pen += static_cast<long>(std::lround(kern.x * xScale));
        }
        if (FT_Load_Glyph(f, index, FT_LOAD_DEFAULT | FT_LOAD_NO_HINTING) != 0 ||
            FT_Render_Glyph(f->glyph, FT_RENDER_MODE_NORMAL) != 0)
            throw std::runtime_error("CGlyphRenderer - cannot render a glyph");
        const FT_Bitmap& bitmap = f->glyph->bitmap;
        int left = static_cast<int>((pen + 32) >> 6) + f->glyph->bitmap_left;
        int top = -f->glyph->bitmap_top;
        for (unsigned row = 0; row < bitmap.rows; ++row)
            for (unsigned col = 0; col < bitmap.width; ++col)
                if (bitmap.buffer[row * static_cast<unsigned>(std::abs(bitmap.pitch)) + col] >= 128)
                    visit(left + static_cast<int>(col), top + static_cast<int>(row));
        pen += f->glyph->advance.x;
        previous = index;
    }
    FT_Set_Transform(f, nullptr, nullptr);
}

STextBox CGlyphRenderer::Measure(const std::string& text, int pixelSize, double xScale)
{
    STextBox box{INT_MAX, INT_MAX, INT_MIN, INT_MIN};
    Render(text, pixelSize, xScale, [&box](int x, int y) {
        box.left = std::min(box.left, x);
        box.top = std::min(box.top, y);
        box.right = std::max(box.right, x + 1);
        box.bottom = std::max(box.bottom, y + 1);
    });
    if (box.left == INT_MAX)
        box = {0, 0, 0, 0};
    return box;
}

void CGlyphRenderer::Draw(CBitmapImage& image, const std::string& text, int x, int baseline, int pixelSize,
                          uint32_t colour, int outlineWidth, uint32_t outlineColour, double xScale)
{
    if (outlineWidth <= 0) {
        Render(text, pixelSize, xScale, [&](int px, int py) { image.Set(x + px, baseline + py, colour); });
        return;
    }
    STextBox box = Measure(text, pixelSize, xScale);
    int margin = outlineWidth + 1;
    int w = box.right - box.left + 2 * margin, h = box.bottom - box.top + 2 * margin;
    if (w <= 2 * margin || h <= 2 * margin)
        return;
    // Draw the glyphs on a layer, grow the outline there, then copy the layer.
    uint32_t empty = colour == kTransparent ? 0x000001 : kTransparent;
    CBitmapImage layer(w, h, empty);
    int ox = margin - box.left, oy = margin - box.top;
    Render(text, pixelSize, xScale, [&](int px, int py) { layer.Set(ox + px, oy + py, colour); });
    layer.Outline(empty, outlineColour, outlineWidth);
    image.Blit(layer, x - ox, baseline - oy, empty);
}

void CGlyphRenderer::DrawCentred(CBitmapImage& image, const std::string& text, int cx, int cy, int pixelSize,
                                 uint32_t colour, int outlineWidth, uint32_t outlineColour, double xScale)
{
    STextBox box = Measure(text, pixelSize, xScale);
    int x = cx - (box.left + box.right) / 2;
    int baseline = cy - (box.top + box.bottom) / 2;
    Draw(image, text, x, baseline, pixelSize, colour, outlineWidth, outlineColour, xScale);
}

} // namespace Assets

#pragma once
// Text drawn from a TrueType font with hard edges: FreeType's coverage is
// thresholded at one half, so a glyph's pixels are either its colour or left
// untouched, never a blend with the background.

#include "tools/assets/CBitmapImage.h"

#include <cstdint>
#include <string>

namespace Assets {

struct STextBox {
    int left, top, right, bottom; // ink extent relative to the pen origin on the baseline; right/bottom exclusive
};

class CGlyphRenderer {
public:
    // Opens the font file; throws std::runtime_error naming the file when it
    // cannot be read.
    explicit CGlyphRenderer(const std::string& fontPath);
    ~CGlyphRenderer();
    CGlyphRenderer(const CGlyphRenderer&) = delete;
    CGlyphRenderer& operator=(const CGlyphRenderer&) = delete;

    // Ink extent of `text` (ASCII) at `pixelSize` pixels per em, with glyphs
    // stretched horizontally by xScale.
    STextBox Measure(const std::string& text, int pixelSize, double xScale = 1.0);
    // Draws `text` with its pen origin at (x, baseline). With outlineWidth > 0
    // the glyphs get an outline of that many pixels in `outlineColour`.
    void Draw(CBitmapImage& image, const std::string& text, int x, int baseline, int pixelSize,
              uint32_t colour, int outlineWidth = 0, uint32_t outlineColour = 0, double xScale = 1.0);
    // Draws `text` centred horizontally on cx with its ink vertically centred on cy.
    void DrawCentred(CBitmapImage& image, const std::string& text, int cx, int cy, int pixelSize,
                     uint32_t colour, int outlineWidth = 0, uint32_t outlineColour = 0, double xScale = 1.0);

private:
    // Calls visit(x, y) for every pixel that a glyph covers at least half of,
    // relative to the pen origin on the baseline (y grows downwards).
    template <typename Visit> void Render(const std::string& text, int pixelSize, double xScale, Visit visit);

    void* library; // FT_Library
    void* face;    // FT_Face
};

} // namespace Assets

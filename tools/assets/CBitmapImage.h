#pragma once
// A 24-bit picture in memory, rows top-down, with the few drawing operations
// the game's pictures need, and its encoding as the game's bitmap files.
//
// Colour contract of the game's pictures: pure white 0xFFFFFF is transparent,
// pure magenta 0xFF00FF is a half-transparent grey, anything else is opaque.
// Every operation here draws with hard edges (no blending), so no pixel is a
// mix of a colour with the white background.

#include <cstdint>
#include <string>
#include <vector>

namespace Assets {

constexpr uint32_t kTransparent = 0xFFFFFF;
constexpr uint32_t kHalfGrey = 0xFF00FF;

class CBitmapImage {
public:
    // width x height pixels of `fill` (0xRRGGBB).
    CBitmapImage(int width, int height, uint32_t fill = kTransparent);

    int Width() const { return width; }
    int Height() const { return height; }
    uint32_t Get(int x, int y) const;
    // Outside the picture nothing happens.
    void Set(int x, int y, uint32_t colour);

    // The rectangle x0..x1-1, y0..y1-1 (clipped).
    void FillRect(int x0, int y0, int x1, int y1, uint32_t colour);
    // A rectangle with rounded corners of the given radius.
    void FillRoundRect(int x0, int y0, int x1, int y1, int radius, uint32_t colour);
    // The frame of `thickness` pixels just inside x0..x1-1, y0..y1-1.
    void FrameRect(int x0, int y0, int x1, int y1, int thickness, uint32_t colour);
    // A polygon in pixel coordinates (pixel centres at +0.5), any winding,
    // filled by the even-odd rule at pixel centres.
    void FillPolygon(const std::vector<double>& xy, uint32_t colour);
    void FillCircle(double cx, double cy, double radius, uint32_t colour);
    void FillRing(double cx, double cy, double inner, double outer, uint32_t colour);
    // A thick straight line from (x0, y0) to (x1, y1) with square ends.
    void Line(double x0, double y0, double x1, double y1, double thickness, uint32_t colour);
    // Copies `other` with its top-left at (x, y); pixels of `other` equal to
    // `skip` are left out.
    void Blit(const CBitmapImage& other, int x, int y, uint32_t skip = kTransparent);
    // Grows an outline: every `background` pixel within `radius` pixels of a
    // pixel that is neither `background` nor `outline` becomes `outline`.
    void Outline(uint32_t background, uint32_t outline, int radius);

    // The bitmap file: 14-byte file header, 40-byte information header,
    // 24 bits per pixel, uncompressed, rows bottom-up, blue-green-red, each row
    // padded with zero bytes to a multiple of 4.
    std::vector<uint8_t> EncodeBmp() const;
    void WriteBmp(const std::string& path) const;
    // An 8-bit RGB PNG file (previews); throws std::runtime_error naming
    // the file when it cannot be written.
    void WritePng(const std::string& path) const;

private:
    int width;
    int height;
    std::vector<uint32_t> pixels;
};

} // namespace Assets

#include "tools/assets/CIconSet.h"

#include "tools/assets/CBitmapImage.h"
#include "engine/PngFile.h"

#include <cmath>
#include <filesystem>
#include <stdexcept>

namespace Assets {

namespace {

constexpr int kSamples = 4; // per pixel, across and down

// Palette: as the game's pictures (none near white, which is the key of
// what is left transparent).
constexpr uint32_t kRim = 0x24501E;
constexpr uint32_t kField = 0x4C8E36;
constexpr uint32_t kInk = 0x101018;
constexpr uint32_t kRed = 0xE02A1E;
constexpr uint32_t kSteel = 0xB4B8C4;
constexpr uint32_t kDark = 0x2A2A30;
constexpr uint32_t kYellow = 0xFFD40C;

// Draws in units of the icon (0..1 across and down) on the supersampled
// image; on the pixel grid every edge falls on a whole pixel of the icon.
class CPen {
public:
    CPen(CBitmapImage& image, int size, bool grid) : image(image), size(size), grid(grid) {}

    void Rect(double x0, double y0, double x1, double y1, uint32_t colour, double radius = 0.0)
    {
        const int r = static_cast<int>(std::lround(radius * size * kSamples));
        image.FillRoundRect(At(x0), At(y0), At(x1), At(y1), r, colour);
    }
    // A rectangle with an outline of `ink` around it, `width` thick (at
    // least one pixel of the icon).
    void Outlined(double x0, double y0, double x1, double y1, uint32_t colour, double width, double radius = 0.0)
    {
        const double w = std::max(width, 1.0 / size);
        Rect(x0 - w, y0 - w, x1 + w, y1 + w, kInk, radius + w);
        Rect(x0, y0, x1, y1, colour, radius);
    }
    // A disc; on the pixel grid the square that covers it.
    void Disc(double cx, double cy, double radius, uint32_t colour)
    {
        if (grid) {
            Rect(cx - radius, cy - radius, cx + radius, cy + radius, colour);
            return;
        }
        image.FillCircle(cx * size * kSamples, cy * size * kSamples, radius * size * kSamples, colour);
    }

private:
    // Supersampled pixel of a coordinate, snapped to whole icon pixels on
    // the grid.
    int At(double v) const
    {
        const double pixels = v * size;
        return grid ? kSamples * static_cast<int>(std::lround(pixels)) : static_cast<int>(std::lround(pixels * kSamples));
    }

    CBitmapImage& image;
    int size;
    bool grid;
};

void DrawIcon(CPen& pen, bool small)
{
    // The tile.
    pen.Rect(0.0, 0.0, 1.0, 1.0, kRim, 0.19);
    pen.Rect(0.0625, 0.0625, 0.9375, 0.9375, kField, 0.14);
    if (small) {
        // 16 x 16 pixels of design, a pixel of field left around the robot.
        const double p = 1.0 / 16;
        pen.Rect(7 * p, 2 * p, 9 * p, 4 * p, kInk);       // antenna
        pen.Rect(4 * p, 4 * p, 12 * p, 8 * p, kSteel);    // head
        pen.Rect(5 * p, 5 * p, 7 * p, 7 * p, kInk);       // eyes
        pen.Rect(9 * p, 5 * p, 11 * p, 7 * p, kInk);
        pen.Rect(2 * p, 8 * p, 4 * p, 14 * p, kDark);     // tracks
        pen.Rect(12 * p, 8 * p, 14 * p, 14 * p, kDark);
        pen.Rect(4 * p, 8 * p, 12 * p, 12 * p, kRed);     // body
        pen.Rect(5 * p, 10 * p, 11 * p, 11 * p, kYellow); // bumper stripe
        pen.Rect(4 * p, 12 * p, 12 * p, 14 * p, kDark);
        return;
    }
    const double line = 0.022;
    pen.Rect(0.485, 0.11, 0.515, 0.24, kInk);                   // antenna
    pen.Disc(0.5, 0.11, 0.05, kInk);
    pen.Disc(0.5, 0.11, 0.032, kRed);
    pen.Outlined(0.13, 0.5, 0.27, 0.87, kDark, line, 0.04);     // tracks
    pen.Outlined(0.73, 0.5, 0.87, 0.87, kDark, line, 0.04);
    pen.Outlined(0.27, 0.77, 0.73, 0.87, kDark, line);
    pen.Outlined(0.25, 0.47, 0.75, 0.79, kRed, line, 0.05);     // body
    pen.Outlined(0.35, 0.6, 0.65, 0.66, kYellow, line * 0.6);   // bumper stripe
    pen.Outlined(0.31, 0.22, 0.69, 0.45, kSteel, line, 0.06);   // head
    pen.Disc(0.415, 0.335, 0.06, kInk);                         // eyes
    pen.Disc(0.415, 0.335, 0.038, kYellow);
    pen.Disc(0.585, 0.335, 0.06, kInk);
    pen.Disc(0.585, 0.335, 0.038, kYellow);
}

} // namespace

const std::vector<int>& CIconSet::Sizes()
{
    static const std::vector<int> sizes = {16, 32, 48, 64, 128, 256};
    return sizes;
}

std::vector<uint32_t> CIconSet::Build(int size)
{
    if (size < 16 || size > 1024)
        throw std::runtime_error("CIconSet::Build() - bad size " + std::to_string(size));
    CBitmapImage big(size * kSamples, size * kSamples, kTransparent);
    const bool small = size <= 32;
    CPen pen(big, size, small);
    DrawIcon(pen, small);

    // Each pixel: the mean colour of its covered samples, alpha the share of
    // samples covered.
    std::vector<uint32_t> icon(static_cast<size_t>(size) * static_cast<size_t>(size), 0);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            unsigned red = 0, green = 0, blue = 0, covered = 0;
            for (int sy = 0; sy < kSamples; ++sy) {
                for (int sx = 0; sx < kSamples; ++sx) {
                    const uint32_t c = big.Get(x * kSamples + sx, y * kSamples + sy);
                    if (c == kTransparent)
                        continue;
                    red += (c >> 16) & 0xFF;
                    green += (c >> 8) & 0xFF;
                    blue += c & 0xFF;
                    ++covered;
                }
            }
            if (covered == 0)
                continue;
            const unsigned total = kSamples * kSamples;
            const uint32_t alpha = (255 * covered + total / 2) / total;
            icon[static_cast<size_t>(y) * static_cast<size_t>(size) + static_cast<size_t>(x)] =
                (alpha << 24) | (((red + covered / 2) / covered) << 16) | (((green + covered / 2) / covered) << 8) |
                ((blue + covered / 2) / covered);
        }
    }
    return icon;
}

void CIconSet::WriteAll(const std::string& outDir, const std::string& name)
{
    for (int size : Sizes()) {
        const std::string folder = outDir + "/" + std::to_string(size) + "x" + std::to_string(size) + "/apps";
        std::filesystem::create_directories(folder);
        const std::vector<uint32_t> icon = Build(size);
        std::string error;
        if (!Orvel::WritePngFile(folder + "/" + name + ".png", size, size, icon.data(), true, &error))
            throw std::runtime_error("CIconSet::WriteAll() - " + error);
    }
}

} // namespace Assets

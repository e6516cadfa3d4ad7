#include "tools/assets/CBitmapImage.h"

#include "engine/PngFile.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <stdexcept>

namespace Assets {

CBitmapImage::CBitmapImage(int w, int h, uint32_t fill) : width(w), height(h)
{
    if (w <= 0 || h <= 0 || w > 16384 || h > 16384)
        throw std::runtime_error("CBitmapImage::CBitmapImage() - bad size");
    pixels.assign(static_cast<size_t>(w) * static_cast<size_t>(h), fill);
}

uint32_t CBitmapImage::Get(int x, int y) const
{
    if (x < 0 || y < 0 || x >= width || y >= height)
        throw std::runtime_error("CBitmapImage::Get() - pixel outside the picture");
    return pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)];
}

void CBitmapImage::Set(int x, int y, uint32_t colour)
{
    if (x < 0 || y < 0 || x >= width || y >= height)
        return;
    pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)] = colour & 0xFFFFFF;
}

void CBitmapImage::FillRect(int x0, int y0, int x1, int y1, uint32_t colour)
{
    for (int y = std::max(0, y0); y < std::min(height, y1); ++y)
        for (int x = std::max(0, x0); x < std::min(width, x1); ++x)
            Set(x, y, colour);
}

void CBitmapImage::FillRoundRect(int x0, int y0, int x1, int y1, int radius, uint32_t colour)
{
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            double px = x + 0.5, py = y + 0.5;
            double cx = std::clamp(px, static_cast<double>(x0 + radius), static_cast<double>(x1 - radius));
            double cy = std::clamp(py, static_cast<double>(y0 + radius), static_cast<double>(y1 - radius));
            if ((px - cx) * (px - cx) + (py - cy) * (py - cy) <= static_cast<double>(radius) * radius)
                Set(x, y, colour);
        }
    }
}

void CBitmapImage::FrameRect(int x0, int y0, int x1, int y1, int thickness, uint32_t colour)
{
    FillRect(x0, y0, x1, y0 + thickness, colour);
    FillRect(x0, y1 - thickness, x1, y1, colour);
    FillRect(x0, y0, x0 + thickness, y1, colour);
    FillRect(x1 - thickness, y0, x1, y1, colour);
}

void CBitmapImage::FillPolygon(const std::vector<double>& xy, uint32_t colour)
{
    size_t count = xy.size() / 2;
    if (count < 3)
        return;
    double minY = xy[1], maxY = xy[1];
    for (size_t i = 0; i < count; ++i) {
        minY = std::min(minY, xy[2 * i + 1]);
        maxY = std::max(maxY, xy[2 * i + 1]);
    }
    for (int y = std::max(0, static_cast<int>(std::floor(minY))); y <= std::min(height - 1, static_cast<int>(maxY)); ++y) {
        double py = y + 0.5;
        std::vector<double> crossings;
        for (size_t i = 0; i < count; ++i) {
            double ax = xy[2 * i], ay = xy[2 * i + 1];
            double bx = xy[2 * ((i + 1) % count)], by = xy[2 * ((i + 1) % count) + 1];
            if ((ay <= py && by > py) || (by <= py && ay > py))
                crossings.push_back(ax + (py - ay) * (bx - ax) / (by - ay));
        }
        std::sort(crossings.begin(), crossings.end());
        for (size_t k = 0; k + 1 < crossings.size(); k += 2) {
            // Pixels whose centre lies inside [left, right).
            int first = static_cast<int>(std::ceil(crossings[k] - 0.5));
            int last = static_cast<int>(std::ceil(crossings[k + 1] - 0.5)) - 1;
            for (int x = first; x <= last; ++x)
                Set(x, y, colour);
        }
    }
}

void CBitmapImage::FillCircle(double cx, double cy, double radius, uint32_t colour)
{
    FillRing(cx, cy, -1.0, radius, colour);
}

void CBitmapImage::FillRing(double cx, double cy, double inner, double outer, uint32_t colour)
{
    int y0 = static_cast<int>(std::floor(cy - outer)), y1 = static_cast<int>(std::ceil(cy + outer));
    int x0 = static_cast<int>(std::floor(cx - outer)), x1 = static_cast<int>(std::ceil(cx + outer));
    for (int y = y0; y <= y1; ++y) {
        for (int x = x0; x <= x1; ++x) {
            double dx = x + 0.5 - cx, dy = y + 0.5 - cy;
            double d2 = dx * dx + dy * dy;
            if (d2 <= outer * outer && (inner < 0.0 || d2 >= inner * inner))
                Set(x, y, colour);
        }
    }
}

void CBitmapImage::Line(double x0, double y0, double x1, double y1, double thickness, uint32_t colour)
{
    double dx = x1 - x0, dy = y1 - y0;
    double length = std::sqrt(dx * dx + dy * dy);
    if (length <= 0.0)
        return;
    double h = thickness / 2.0;
    double ux = dx / length * h, uy = dy / length * h; // along, half thickness
    double nx = -uy, ny = ux;
    FillPolygon({x0 - ux + nx, y0 - uy + ny, x1 + ux + nx, y1 + uy + ny, x1 + ux - nx, y1 + uy - ny,
                 x0 - ux - nx, y0 - uy - ny},
                colour);
}

void CBitmapImage::Blit(const CBitmapImage& other, int x, int y, uint32_t skip)
{
    for (int sy = 0; sy < other.height; ++sy)
        for (int sx = 0; sx < other.width; ++sx) {
            uint32_t c = other.Get(sx, sy);
            if (c != skip)
                Set(x + sx, y + sy, c);
        }
}

void CBitmapImage::Outline(uint32_t background, uint32_t outline, int radius)
{
    std::vector<uint32_t> source = pixels;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            if (source[static_cast<size_t>(y) * width + x] != background)
                continue;
            bool near = false;
            for (int dy = -radius; dy <= radius && !near; ++dy)
                for (int dx = -radius; dx <= radius && !near; ++dx) {
                    int qx = x + dx, qy = y + dy;
                    if (qx < 0 || qy < 0 || qx >= width || qy >= height || dx * dx + dy * dy > radius * radius + radius)
                        continue;
                    uint32_t q = source[static_cast<size_t>(qy) * width + qx];
                    near = q != background && q != outline;
                }
            if (near)
                pixels[static_cast<size_t>(y) * width + x] = outline;
        }
    }
}

std::vector<uint8_t> CBitmapImage::EncodeBmp() const
{
    uint32_t rowBytes = (static_cast<uint32_t>(width) * 3u + 3u) & ~3u;
    uint32_t imageBytes = rowBytes * static_cast<uint32_t>(height);
    uint32_t fileBytes = 54u + imageBytes;
    std::vector<uint8_t> out;
    out.reserve(fileBytes);
    auto put16 = [&out](uint32_t v) {
        out.push_back(static_cast<uint8_t>(v));
        out.push_back(static_cast<uint8_t>(v >> 8));
    };
    auto put32 = [&out](uint32_t v) {
        for (int i = 0; i < 4; ++i)
            out.push_back(static_cast<uint8_t>(v >> (8 * i)));
    };
    // File header.
    out.push_back('B');
    out.push_back('M');
    put32(fileBytes);
    put16(0);
    put16(0);
    put32(54);
    // Information header.
    put32(40);
    put32(static_cast<uint32_t>(width));
    put32(static_cast<uint32_t>(height)); // positive: rows bottom-up
    put16(1);                             // planes
    put16(24);                            // bits per pixel
    put32(0);                             // no compression
    put32(imageBytes);
    put32(2835); // 72 dots per inch, in dots per metre
    put32(2835);
    put32(0); // no colour table
    put32(0);
    for (int y = height - 1; y >= 0; --y) {
        for (int x = 0; x < width; ++x) {
            uint32_t c = Get(x, y);
            out.push_back(static_cast<uint8_t>(c));
            out.push_back(static_cast<uint8_t>(c >> 8));
            out.push_back(static_cast<uint8_t>(c >> 16));
        }
        for (uint32_t pad = static_cast<uint32_t>(width) * 3u; pad < rowBytes; ++pad)
            out.push_back(0);
    }
    return out;
}

void CBitmapImage::WriteBmp(const std::string& path) const
{
    std::vector<uint8_t> bytes = EncodeBmp();
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        throw std::runtime_error("CBitmapImage::WriteBmp() - cannot create '" + path + "'");
    size_t written = std::fwrite(bytes.data(), 1, bytes.size(), file);
    int closed = std::fclose(file);
    if (written != bytes.size() || closed != 0)
        throw std::runtime_error("CBitmapImage::WriteBmp() - cannot write '" + path + "'");
}

void CBitmapImage::WritePng(const std::string& path) const
{
    std::string error;
    if (!Orvel::WritePngFile(path, width, height, pixels.data(), false, &error))
        throw std::runtime_error("CBitmapImage::WritePng() - " + error);
}

} // namespace Assets

#include "engine/LoadOverlay.h"

#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/DataFiles.h"
#include "engine/DXOverlay.h"
#include "tlib/DXException.h"
#include "tlib/TException.h"
#include "tlib/TReadStream.h"
#include "tlib/TString.h"

namespace Orvel {

namespace {

constexpr long kPixelDataOffset = 54; // file header (14) + information header (40)
constexpr uint32_t kTransparent = 0x00FFFFFF;
constexpr uint32_t kMagenta = 0x00FF00FF;
constexpr uint32_t kHalfGrey = 0x7F7F7F7F;

} // namespace

int NextPowerOfTwo(int n)
{
    if (n > (1 << 30))
        DXThrow("NextPowerOfTwo() - Value too large");
    int p = 1;
    while (n > p)
        p *= 2;
    return p;
}

DXOverlay* LoadOverlay(DXDevice* device, const char* fileName, int width, int height, bool translucent)
{
    if (width <= 0 || height <= 0 || width > kMaxOverlaySize || height > kMaxOverlaySize)
        DXThrow("LoadOverlay() - Invalid size");
    const int textureWidth = NextPowerOfTwo(width);
    const int textureHeight = NextPowerOfTwo(height);
    std::vector<uint32_t> pixels(static_cast<size_t>(textureWidth) * static_cast<size_t>(textureHeight), kTransparent);

    const tlib::TString path = DataFilePath(fileName);
    // An open failure names the path already; everything after it names the
    // file that failed.
    tlib::TReadStream stream(path, true);
    try {
        stream.Seek(kPixelDataOffset, 0);
        const uint32_t alpha = translucent ? 0xCF000000u : 0xFF000000u;
        const int rowBytes = 3 * width;
        const int filler = rowBytes % 4 == 0 ? 0 : 4 - rowBytes % 4;
        std::vector<uint8_t> row(static_cast<size_t>(rowBytes));
        // File rows run bottom-up; one read per row of blue, green, red triples.
        for (int r = 0; r < height; ++r) {
            stream.Read(row.data(), rowBytes);
            if (stream.Eof())
                throw tlib::TException("TReadStream::Read() - Cannot read past end of file");
            uint32_t* texel = pixels.data() + static_cast<size_t>(height - 1 - r) * static_cast<size_t>(textureWidth);
            for (int x = 0; x < width; ++x) {
                const uint8_t* bgr = row.data() + 3 * x;
                const uint32_t colour = (uint32_t{bgr[2]} << 16) | (uint32_t{bgr[1]} << 8) | bgr[0];
                if (colour == kTransparent)
                    texel[x] = kTransparent;
                else if (colour == kMagenta)
                    texel[x] = kHalfGrey;
                else
                    texel[x] = colour | alpha;
            }
            if (filler != 0)
                stream.Seek(filler, 1);
        }
        return new DXOverlay(device, width, height, textureWidth, textureHeight, pixels.data());
    } catch (...) {
        RethrowNamingFile(path);
    }
}

} // namespace Orvel

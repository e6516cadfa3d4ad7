#pragma once
// Reads a 24-bit uncompressed bottom-up bitmap from the data folder into a
// DXOverlay. The caller gives the picture's size; the file's headers (its
// first 54 bytes) are skipped unread.

namespace Orvel {

class DXDevice;
class DXOverlay;

// The picture in the data file fileName (engine/DataFiles.h) of width x
// height pixels; the caller owns the result. Pure white (255, 255, 255) becomes transparent 0x00FFFFFF,
// pure magenta (255, 0, 255) half-transparent grey 0x7F7F7F7F, any other
// colour gets alpha 0xFF, or 0xCF when translucent. Texels outside the
// picture are 0x00FFFFFF.
// Raises DXException "LoadOverlay() - Invalid size" for a width or height
// outside 1..kMaxOverlaySize, TException from the stream for a missing file
// or one that ends before its last pixel row, and the texture's errors; every
// error after the file was opened ends with " (reading '<path>')".
// Runs on the window's thread or the loading thread.
DXOverlay* LoadOverlay(DXDevice* device, const char* fileName, int width, int height, bool translucent);

constexpr int kMaxOverlaySize = 4096;

// The smallest power of two >= n; 1 for every n <= 1. Raises DXException
// "NextPowerOfTwo() - Value too large" above 2^30.
int NextPowerOfTwo(int n);

} // namespace Orvel

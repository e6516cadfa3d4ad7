#include "platform/gl/GLLetterbox.h"

#include <cstdint>

namespace OrvelGL {

LetterboxRect ComputeLetterbox(int sourceWidth, int sourceHeight, int drawableWidth, int drawableHeight)
{
    if (sourceWidth <= 0 || sourceHeight <= 0 || drawableWidth <= 0 || drawableHeight <= 0)
        return LetterboxRect{0, 0, 0, 0};
    // Compare drawableWidth / sourceWidth with drawableHeight / sourceHeight
    // in integers (64-bit products) so that equal ratios give no bar at all.
    int64_t wideTest = int64_t(drawableWidth) * sourceHeight;
    int64_t tallTest = int64_t(drawableHeight) * sourceWidth;
    int width, height;
    if (wideTest > tallTest) {
        // The drawable is wider than the image: bars left and right.
        height = drawableHeight;
        width = int((int64_t(sourceWidth) * drawableHeight + sourceHeight / 2) / sourceHeight);
    } else {
        // Taller (or the same shape): bars above and below.
        width = drawableWidth;
        height = int((int64_t(sourceHeight) * drawableWidth + sourceWidth / 2) / sourceWidth);
    }
    // An extreme ratio still shows at least one pixel of the image.
    if (width < 1)
        width = 1;
    if (height < 1)
        height = 1;
    if (width > drawableWidth)
        width = drawableWidth;
    if (height > drawableHeight)
        height = drawableHeight;
    return LetterboxRect{(drawableWidth - width) / 2, (drawableHeight - height) / 2, width, height};
}

} // namespace OrvelGL

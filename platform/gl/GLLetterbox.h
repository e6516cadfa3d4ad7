#pragma once
// Where Present puts the back buffer in the window: the largest rectangle of
// the back buffer's aspect ratio that fits the drawable, centred, the rest
// black. Pixels, origin bottom-left as OpenGL's viewport takes it (the bars
// are symmetric, so top-left gives the same numbers).

namespace OrvelGL {

struct LetterboxRect {
    int x, y, width, height;
};

// A zero or negative size gives an empty rectangle at (0, 0); otherwise the
// rectangle is at least one pixel each way.
LetterboxRect ComputeLetterbox(int sourceWidth, int sourceHeight, int drawableWidth, int drawableHeight);

} // namespace OrvelGL

#pragma once
// The pictures of the Data folder, drawn in code with text from the DejaVu
// fonts: the game's 17, and the 4 the application draws over the game (the
// pause and the speeds beside the energy figure).
//
// Each picture has the size that the game loads it with. White is left
// where the picture must vanish, magenta where it must show as a
// half-transparent grey, and every other pixel is opaque and never near white
// (all drawing has hard edges).

#include "tools/assets/CBitmapImage.h"

#include <string>
#include <vector>

namespace Assets {

struct SPictureEntry {
    std::string name;
    int width;
    int height;
};

class CPictureSet {
public:
    // The file names with their sizes: the game's 17, then the
    // application's 4.
    static const std::vector<SPictureEntry>& Entries();

    // fontDir holds DejaVuSans.ttf and DejaVuSans-Bold.ttf; a missing font
    // throws std::runtime_error naming the file.
    explicit CPictureSet(const std::string& fontDir);

    // Draws the picture of that file name; throws for an unknown name.
    CBitmapImage Build(const std::string& name) const;

private:
    std::string fontDir;
};

} // namespace Assets

#pragma once
// The preview command: renders every model through the engine and the
// headless OpenGL back end as the game's two views see it, renders a map-view
// and two walk-view scenes with the HUD pictures over them, and lays the
// pictures out on a contact sheet. Writes PNG files into the output folder
// (and the Data folder they were made from into OUT_DIR/Data).

#include <string>

namespace Assets {

class CAssetPreview {
public:
    // Writes models.png, pictures.png, scene-map.png, scene-walk-start.png and
    // scene-walk-near.png. Changes the working directory while it runs and
    // restores it. Throws on any failure.
    static void Run(const std::string& outDir, const std::string& fontDir);
};

} // namespace Assets

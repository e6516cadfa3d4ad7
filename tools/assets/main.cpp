// tavrin-assets: writes the game's Data folder (14 models, the game's 17
// pictures and the application's 4), and
// with the platform back ends renders a preview of them.
//
//   tavrin-assets [--fonts DIR] DATA_DIR
//   tavrin-assets [--fonts DIR] preview OUT_DIR
//   tavrin-assets icons OUT_DIR NAME
//
// icons writes the application icon as OUT_DIR/<n>x<n>/apps/NAME.png for
// every size of CIconSet.
//
// The output is the same bytes on every run. Exit code 0 on success, 1 with a
// message on standard error otherwise.

#include "tools/assets/CDataWriter.h"
#include "tools/assets/CIconSet.h"
#ifdef TAVRIN_ASSETS_PREVIEW
#include "tools/assets/CAssetPreview.h"
#endif

#include "tlib/DXException.h"
#include "tlib/TException.h"

#include <cstdio>
#include <cstring>
#include <exception>
#include <string>

#ifndef TAVRIN_FONT_DIR
#define TAVRIN_FONT_DIR "/usr/share/fonts/truetype/dejavu"
#endif

namespace {

int Usage()
{
    std::fprintf(stderr, "usage: tavrin-assets [--fonts DIR] DATA_DIR\n"
                         "       tavrin-assets [--fonts DIR] preview OUT_DIR\n"
                         "       tavrin-assets icons OUT_DIR NAME\n");
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    std::string fonts = TAVRIN_FONT_DIR;
    int i = 1;
    if (i + 1 < argc && std::strcmp(argv[i], "--fonts") == 0) {
        fonts = argv[i + 1];
        i += 2;
    }
    try {
        if (i + 3 == argc && std::strcmp(argv[i], "icons") == 0) {
            Assets::CIconSet::WriteAll(argv[i + 1], argv[i + 2]);
            return 0;
        }
        if (i + 2 == argc && std::strcmp(argv[i], "preview") == 0) {
#ifdef TAVRIN_ASSETS_PREVIEW
            Assets::CAssetPreview::Run(argv[i + 1], fonts);
            return 0;
#else
            std::fprintf(stderr, "tavrin-assets: built without the platform back ends; no preview\n");
            return 1;
#endif
        }
        if (i + 1 != argc)
            return Usage();
        Assets::CDataWriter::WriteAll(argv[i], fonts);
        return 0;
    } catch (const tlib::TException& e) {
        std::fprintf(stderr, "tavrin-assets: %s\n", e.Message());
    } catch (const DXException& e) {
        std::fprintf(stderr, "tavrin-assets: %s\n", e.Message());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "tavrin-assets: %s\n", e.what());
    }
    return 1;
}
